#include "control/ctlVevAre.h"
// Placeholder until the selection lands.
void ctlVevAre::CollegaEventi() {}
void ctlVevAre::CaricaDitte() {}
qint16 ctlVevAre::MeseIndex(const QString& Mese) const
{
    const int i = m_Mesi.indexOf(Mese);
    return qint16(i < 0 ? -1 : i + 1);
}
void ctlVevAre::cmbDitte_Click() {}
void ctlVevAre::cmbAnni_Click() {}
void ctlVevAre::cmbMesi_Click() {}
void ctlVevAre::cmbPeriodo_Click() {}
void ctlVevAre::Lista_KeyPress(int) {}
