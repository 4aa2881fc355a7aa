#include "control/ctlVevAre.h"
// Placeholder until the rates land.
void ctlVevAre::CaricaValute() {}
double ctlVevAre::CambioPeriodo(const QString&, const QString&, const QString&) { return 0; }
double ctlVevAre::CambioMese(const QString&, qint16, const QString&, const QString&) { return 0; }
void ctlVevAre::SalvaCambio() {}
void ctlVevAre::cmbValuta_Change() {}
void ctlVevAre::txtCambio_Change() {}
void ctlVevAre::cmdEditCambio_Click() {}
