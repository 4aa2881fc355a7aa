#include "xbrl/SqlXbrl.h"
#include "platform/db/Connection.h"
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QSqlQuery esegui(Connection& c, const QString& sql, const QVariantList& valori)
{
    c.clearErrors();
    QSqlQuery q(c.database());
    bool ok = q.prepare(c.translate(sql));
    if (ok) {
        // An absent text is the empty text, as a literal '' was: never NULL.
        for (const QVariant& v : valori)
            q.addBindValue(v.typeId() == QMetaType::QString && v.toString().isNull() ? QVariant(QStringLiteral("")) : v);
        ok = q.exec();
    }
    if (!ok) {
        const QSqlError e = q.lastError();
        const QString testo = e.databaseText().trimmed().isEmpty() ? e.text().trimmed() : e.databaseText().trimmed();
        c.fail(Connection::describe(testo), c.database().driverName());
    }
    return q;
}

}  // namespace

namespace sqlxbrl {

void esegui(Connection& connessione, const QString& sql, const QVariantList& valori) { ::esegui(connessione, sql, valori); }

QString leggi(Connection& connessione, const QString& sql, const QVariantList& valori)
{
    QSqlQuery q = ::esegui(connessione, sql, valori);
    return q.next() ? q.value(0).toString() : QString();
}

QList<QStringList> righe(Connection& connessione, const QString& sql, const QVariantList& valori)
{
    QSqlQuery q = ::esegui(connessione, sql, valori);
    QList<QStringList> out;
    while (q.next()) {
        QStringList riga;
        for (int i = 0; i < q.record().count(); ++i) riga << q.value(i).toString();
        out << riga;
    }
    return out;
}

QString taglia(Connection& connessione, const QString& tabella, const QString& colonna, const QString& testo)
{
    for (const ColumnInfo& c : connessione.columns(tabella))
        if (c.name.compare(colonna, Qt::CaseInsensitive) == 0 && c.definedSize > 0 && testo.size() > c.definedSize)
            return testo.left(c.definedSize);
    return testo;
}

}  // namespace sqlxbrl
