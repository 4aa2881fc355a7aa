#include "control/ctlVevAre.h"
// Placeholder until the posting engine lands.
void ctlVevAre::ClickOk() {}
qint16 ctlVevAre::NuovoPeriodo(const QString&, const QString&, qint16, bool) { return 1; }
void ctlVevAre::ImportaValori() {}
QString ctlVevAre::PulisciRiga(const QString& riga) { return riga; }
QString ctlVevAre::SezioneDaLettera(const QString&, double) { return QStringLiteral(" "); }
QString ctlVevAre::FormattaCodiceCEE(QString& codice) { return codice; }
QString ctlVevAre::SezioneConto(const QString&, const QString&) { return {}; }
bool ctlVevAre::ContoCreabile(const QString&, const QString&, bool) { return true; }
