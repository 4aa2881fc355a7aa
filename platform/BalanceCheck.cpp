#include "platform/BalanceCheck.h"
// Placeholder until the balance check lands.
void BalanceCheck::Verifica(Connection&, QString&, QString&, qint16&, qint16&, qint32&, bool&, qint16&) {}
