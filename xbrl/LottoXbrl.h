#pragma once
#include <QList>
#include <QSet>
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
    bool ignoto = false;  // the connection was lost while it was committed: stored or not
    QString motivo;       // why nothing was saved
};

// Several filings on the screen, each in its own transaction, the mapping read once per
// run: the caption shows "n / N" while it works, each outcome is handed over as it ends
// and the log closes with a summary, one row per file. The paths in `nonRegolari` are not
// read: each ends as "non è un file regolare".
QList<EsitoXbrl> importaFileXbrl(ctlVevAre& screen, const QStringList& files,
                                 const std::function<void(const EsitoXbrl&)>& esito = {},
                                 const QSet<QString>& nonRegolari = {});

// The *.xbrl files of the paths in order: a folder gives all of its own, recursively, in
// name order; a file is taken as it is. A folder's entries that are no regular files (a
// dangling link, a link loop, a pipe) come in their place too, and are added to `nonRegolari`.
QStringList fileXbrl(const QStringList& percorsi, QSet<QString>* nonRegolari = nullptr);
