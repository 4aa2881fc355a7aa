#pragma once
#include "import/ChiaveRiga.h"
#include <QHash>
#include <QString>
#include <vector>

class ctlVevAre;

// Where, in an export of many companies and months, the blocks of each company, year and
// month start: a block is a run of consecutive lines of one key, recorded from its first
// line that the rules accept. A line that cannot be placed ends the run it interrupts;
// blank lines neither start nor end one. Built in one pass before an automatic run, so
// that each engine call reads only its key's blocks, wherever they stand in the export.
class IndiceBlocchi {
public:
    struct Inizio {
        qint64 posizione = 0;   // byte position of the block's first line
        qint64 righePrima = 0;  // lines before it
    };

    // Reads the data file with the screen's layout and rules.
    static IndiceBlocchi costruisci(ctlVevAre& screen, const QString& percorso);

    // The key's blocks in file order; none when no line of the key would be posted.
    std::vector<Inizio> blocchi(const ChiaveRiga& chiave) const;
    // Every key with something to post, in the order of its first block: the groups of the export.
    const std::vector<ChiaveRiga>& chiavi() const { return m_chiavi; }
    // The file's encoding as the one pass found it.
    bool utf8() const { return m_utf8; }

private:
    QHash<quint64, std::vector<Inizio>> m_blocchi;
    std::vector<ChiaveRiga> m_chiavi;
    bool m_utf8 = false;
};
