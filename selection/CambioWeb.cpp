#include "control/ctlVevAre.h"
// Placeholder until the web rates land.
double ctlVevAre::GetCambioRSS(qint16&, qint16&, QString&) { return 0; }
void ctlVevAre::cmdGetRate_Click() {}
