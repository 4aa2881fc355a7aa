#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class ctlVevAre;

// One filing's outcome in a run of many.
struct EsitoXbrl {
    QString file;
    QString ditta;
    QStringList anni;  // years saved
    bool salvata = false;
    QString motivo;  // why nothing was saved
};

// Several filings on the screen, each in its own transaction, the mapping read once per
// run: the caption shows "n / N" while it works, each outcome is handed over as it ends
// and the log closes with a summary.
QList<EsitoXbrl> importaFileXbrl(ctlVevAre& screen, const QStringList& files,
                                 const std::function<void(const EsitoXbrl&)>& esito = {});

// The *.xbrl files of the paths in order: a folder gives all of its own, recursively, in
// name order; a file is taken as it is.
QStringList fileXbrl(const QStringList& percorsi);
