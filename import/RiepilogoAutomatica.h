#pragma once
#include "control/ctlVevAre.h"
#include <QString>
#include <QStringList>

class Connection;

// "11/2025": how the automatic runs name a group's month.
QString MeseAnno(qint16 mese, qint16 anno);
// True when the error says that the database's disk is full (SQLite or PostgreSQL).
bool DiscoPieno(const QString& errore);
// What is said of a commit whose outcome is unknown (the connection was lost while it
// ran): the periods to look at, each as PeriodoDaControllare names it.
QString SalvataggioNonVerificabile(const QStringList& periodi);
// "3 di 12/2025": period 3 of December 2025.
QString PeriodoDaControllare(int periodo, int mese, const QString& anno);
// Commits the import of the periods named. When the connection is lost while it commits,
// nobody knows whether they were stored: the error says so (and `ignoto`, when given, is set).
void CommitImportazione(Connection& conn, const QStringList& periodi, bool* ignoto = nullptr);
// A group as the log names it: company, month/year, the period saved and the reason.
QString DescrizioneGruppo(const ctlVevAre::EsitoGruppo& gruppo);
