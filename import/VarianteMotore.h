#pragma once
#include "import/PeriodoImportazione.h"

// What tells the three posting engines apart. They share one line loop; each field
// names one difference.
struct VarianteMotore {
    // Opening and closing of the period (existence test, literals, question).
    PeriodoImportazione::Motore periodo = PeriodoImportazione::Motore::Base;

    // Lines are picked by company number, year and month (the exports of many companies):
    // the first block of the company's lines is posted and reading ends after it.
    bool perDitta = false;

    // The account code is written in the reporting format (FormattaCodiceCEE) instead of
    // being trimmed.
    bool codiceCEE = false;

    enum class Conti {
        CreaSempre,     // a missing account is created and noted as new
        SeConsentito,   // created only where ContoCreabile allows, its section from the model account
        MaiCreati,      // a missing account drops the value
    };
    Conti conti = Conti::CreaSempre;

    enum class Correlazioni {
        SegnalaMancanti,  // an existing account without correlations is noted
        DalModello,       // a new account, or one without correlations, copies the model's
        Nessuna,
    };
    Correlazioni correlazioni = Correlazioni::SegnalaMancanti;

    // A blank description stays blank instead of "*** CONTO SENZA DESCRIZIONE ***".
    bool descrizioneVuota = false;
    // The log shows the description trimmed.
    bool descrizioneRipulita = false;
    // Anomaly columns 5 and 6 tell posted accounts (True, False) from dropped values
    // (False, True); column 2 is the company number instead of "0".
    bool anomalieConNumeroDitta = false;
    // The engine ends with the log row "Importazione terminata con successo".
    bool rigaFinale = false;
    // The failure report shows only the connection's errors, not the engine's own.
    bool soloErroriConnessione = false;

    static VarianteMotore Base() { return {}; }
    static VarianteMotore Kadro()
    {
        VarianteMotore v;
        v.periodo = PeriodoImportazione::Motore::Kadro;
        v.perDitta = true;
        v.conti = Conti::SeConsentito;
        v.correlazioni = Correlazioni::DalModello;
        v.descrizioneRipulita = true;
        v.anomalieConNumeroDitta = true;
        v.rigaFinale = true;
        return v;
    }
    static VarianteMotore CEE()
    {
        VarianteMotore v;
        v.periodo = PeriodoImportazione::Motore::CEE;
        v.perDitta = true;
        v.codiceCEE = true;
        v.conti = Conti::MaiCreati;
        v.correlazioni = Correlazioni::Nessuna;
        v.descrizioneVuota = true;
        v.anomalieConNumeroDitta = true;
        v.rigaFinale = true;
        v.soloErroriConnessione = true;
        return v;
    }
};
