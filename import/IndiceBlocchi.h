#pragma once
#include "import/ChiaveRiga.h"
#include <QHash>
#include <QString>
#include <optional>

class ctlVevAre;

// Where, in an export of many companies and months, each company's first block starts as
// the engines see it: the first line of that company number, year and month that the
// rules accept. Built in one pass before an automatic run, so that each engine call
// starts reading at its block instead of at the top of the file, with the same result.
class IndiceBlocchi {
public:
    struct Inizio {
        qint64 posizione = 0;     // byte position of the block's first line
        qint64 righePrima = 0;    // lines before it
        ChiaveRiga chiavePrima;   // the key the lines before it leave behind
    };

    // Reads the data file with the screen's layout and rules. A line whose key cannot be
    // read (a number too large) is where every later block would fail: the blocks after
    // it, and the companies without one, start there.
    static IndiceBlocchi costruisci(ctlVevAre& screen, const QString& percorso);

    // Where the engine for this key starts; nothing when it would read to the end of the
    // file without posting.
    std::optional<Inizio> inizio(const ChiaveRiga& chiave) const;
    // The file's encoding as the one pass found it.
    bool utf8() const { return m_utf8; }

private:
    QHash<quint64, Inizio> m_blocchi;
    std::optional<Inizio> m_errore;
    bool m_utf8 = false;
};
