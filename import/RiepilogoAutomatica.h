#pragma once
#include "control/ctlVevAre.h"
#include <QString>
#include <QStringList>

// "11/2025": how the automatic runs name a group's month.
QString MeseAnno(qint16 mese, qint16 anno);
// True when the error says that the database's disk is full (SQLite or PostgreSQL).
bool DiscoPieno(const QString& errore);
// What is said of a commit whose outcome is unknown (the connection was lost while it
// ran): the periods to look at, as "3 di 12/2025".
QString SalvataggioNonVerificabile(const QStringList& periodi);
// A group as the log names it: company, month/year, the period saved and the reason.
QString DescrizioneGruppo(const ctlVevAre::EsitoGruppo& gruppo);
