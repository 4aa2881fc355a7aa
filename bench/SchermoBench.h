#pragma once
#include "NoDialogs.h"
#include "control/ctlVevAre.h"
#include "platform/db/Connection.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/ListControl.h"
#include <memory>

// A screen ready to post one company's data file through its definition, on a connection
// of its own, in EUR.
struct SchermoBench {
    CGlobal global;
    NoDialogs dialogs;
    ctlVevAre screen{dialogs};

    SchermoBench(const QString& database, const QString& app, const QString& lavoro, const QString& ditta,
                 const QString& ragioneSociale, const QString& importazione)
        : global(std::make_unique<Connection>(database), "EUR", "KTRBench", app)
    {
        screen.setCGlobal(&global);
        screen.m_WorkingFolder = lavoro;
        screen.cmbDitte->AddItem(ragioneSociale);
        screen.m_CodiceDitta = ditta;
        screen.m_CodicePDC = "BENCH";
        screen.m_Valuta = "EUR";
        screen.m_Cambio = 1;
        screen.m_CodImportazione = importazione;
        if (!screen.CaricaConf()) qFatal("definition not loaded");
    }
};
