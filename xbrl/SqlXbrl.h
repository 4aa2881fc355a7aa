#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class Connection;

// Statements of the XBRL import whose texts come from the document: the values are
// bound, never written into the statement.
namespace sqlxbrl {
void esegui(Connection& connessione, const QString& sql, const QVariantList& valori);
// The first column of the first row, empty when there is none.
QString leggi(Connection& connessione, const QString& sql, const QVariantList& valori);
// Every row, each as the texts of its columns.
QList<QStringList> righe(Connection& connessione, const QString& sql, const QVariantList& valori);
// A text cut to the declared size of its column (unlimited columns keep it whole).
QString taglia(Connection& connessione, const QString& tabella, const QString& colonna, const QString& testo);
}  // namespace sqlxbrl
