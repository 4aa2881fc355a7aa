#include "control/ctlVevAre.h"
#include "platform/ui/LogList.h"
#include <limits>

namespace {
// Colours are given as blue-green-red integers (&H00BBGGRR).
QColor coloreBGR(int bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }
}  // namespace

void ctlVevAre::InsertLog(const QString& Conto, const QString& Descrizione, const QString& Valore, bool Errore,
                          bool Evidenzia)
{
    const int riga = lwLog->addRow(Conto, Descrizione, Valore);
    if (Evidenzia || Errore) {
        if (Evidenzia) {
            lwLog->setRowColor(riga, coloreBGR(65280));
            lwLog->setCellColor(riga, 1, coloreBGR(49152));
            lwLog->setCellBold(riga, 1, true);
        }
        // An error overrides the highlight colours; the bold of both stays.
        if (Errore) {
            lwLog->setRowColor(riga, coloreBGR(255));
            lwLog->setCellColor(riga, 1, coloreBGR(255));
            lwLog->setRowBold(riga, true);
        }
    }
    lwLog->ensureRowVisible(riga);
}

void ctlVevAre::ResetAnomalie()
{
    m_NumAnomalie = 0;
    m_Anomalie = TabellaAnomalie(1);
}

void ctlVevAre::AggiungiAnomalia(const RigaAnomalia& riga)
{
    // A first import into a new chart notes every line: the count is 32-bit, and still
    // never wraps.
    if (m_NumAnomalie == std::numeric_limits<qint32>::max()) throw AppError::overflow();
    ++m_NumAnomalie;
    m_Anomalie.resize(m_NumAnomalie + 1);
    m_Anomalie[m_NumAnomalie - 1] = riga;
}
