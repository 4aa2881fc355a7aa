#include "TestDb.h"
#include "model/Schema.h"
#include <QSqlQuery>

TestDb::TestDb(const QString& backend, Content content)
{
    if (backend == QLatin1String("postgresql")) {
        m_connectionString = QStringLiteral("postgresql:") + qEnvironmentVariable("KTR_TEST_PG");
        Connection c(m_connectionString);
        c.Execute(QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE"));
        c.Execute(QStringLiteral("CREATE SCHEMA public"));
    } else {
        m_connectionString = m_dir.filePath(QStringLiteral("analisi.sqlite"));
    }
    if (content == Empty) return;
    Connection c(m_connectionString);
    Schema::create(c);
    if (content == Demo) Schema::loadDemo(c);
}

std::vector<QString> TestDb::backends()
{
    std::vector<QString> b{QStringLiteral("sqlite")};
    if (!qEnvironmentVariableIsEmpty("KTR_TEST_PG")) b.push_back(QStringLiteral("postgresql"));
    return b;
}

QVariant scalar(Connection& c, const QString& sql)
{
    QSqlQuery q(c.database());
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!q.exec(sql) || !q.next()) return QVariant();
    return q.value(0);
}
