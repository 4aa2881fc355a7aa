#pragma once
#include "platform/db/Connection.h"
#include <QString>
#include <QStringList>
#include <cstdio>

// The PostgreSQL server a benchmark also measures: the second argument, or KTR_TEST_PG.
// Empty when there is none; "-" when the argument is no connection.
inline QString serverBench(int argc, char* argv[])
{
    QString pg = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (pg.isEmpty() && !qEnvironmentVariableIsEmpty("KTR_TEST_PG")) pg = "postgresql:" + qEnvironmentVariable("KTR_TEST_PG");
    return pg.isEmpty() || pg.startsWith(QLatin1String("postgresql:")) ? pg : QStringLiteral("-");
}

// Databases of the server made afresh for each run, empty or copies of a prepared template.
class ServerBench {
public:
    explicit ServerBench(const QString& connessione) : m_admin(connessione)
    {
        for (const QString& coppia : connessione.mid(11).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (!coppia.startsWith(QLatin1String("dbname="))) m_parametri << coppia;
    }
    // libpq's parameters of a database of the server, and the connection string.
    QString conninfo(const QString& db) const { return (m_parametri + QStringList{"dbname=" + db}).join(QLatin1Char(' ')); }
    QString database(const QString& db) const { return "postgresql:" + conninfo(db); }
    // A new database, empty or a copy of `modello`; its connection string.
    QString nuovo(const QString& db, const QString& modello = {}) const
    {
        Connection c(m_admin);
        c.Execute("DROP DATABASE IF EXISTS " + db);
        c.Execute("CREATE DATABASE " + db + (modello.isEmpty() ? QString() : " TEMPLATE " + modello));
        // The copy's pages are written out now, not during the run that follows.
        c.tenta([&] { c.Execute("CHECKPOINT"); });
        return database(db);
    }

private:
    QString m_admin;
    QStringList m_parametri;
};
