#include "control/ctlVevAre.h"
// Placeholder until the log lands.
void ctlVevAre::InsertLog(const QString&, const QString&, const QString&, bool, bool) {}
void ctlVevAre::StampaAnomalie() {}
void ctlVevAre::VerificaQuadratura(const QString&, const QString&, qint16, qint16) {}
void ctlVevAre::ResetAnomalie()
{
    m_NumAnomalie = 0;
    m_Anomalie = TabellaAnomalie(1);
}
void ctlVevAre::AggiungiAnomalia(const RigaAnomalia& riga)
{
    ++m_NumAnomalie;
    m_Anomalie.resize(m_NumAnomalie + 1);
    m_Anomalie[m_NumAnomalie - 1] = riga;
}
