#include "control/ctlVevAre.h"
// Placeholder until the definition files land.
bool ctlVevAre::CaricaConf() { return false; }
QString ctlVevAre::EstraiCampo(const QString&, qint16&) { return {}; }
QString ctlVevAre::EstraiCampo(const QString&, qint16&, qint16&) { return {}; }
bool ctlVevAre::VerificaRegole(const QString&) { return true; }
