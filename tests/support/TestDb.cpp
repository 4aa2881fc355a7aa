#include "TestDb.h"
#include "model/Schema.h"
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

TestDb::TestDb(const QString& backend, Content content)
{
    if (backend == QLatin1String("postgresql")) {
        // A schema of its own, so tests running side by side on one server never meet.
        static int counter = 0;
        m_schema = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        const QString server = QStringLiteral("postgresql:") + qEnvironmentVariable("KTR_TEST_PG");
        Connection c(server);
        c.Execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
        c.Execute(QStringLiteral("CREATE SCHEMA %1").arg(m_schema));
        m_server = server;
        m_connectionString = server + QStringLiteral(" options=-csearch_path=") + m_schema;
    } else {
        m_connectionString = m_dir.filePath(QStringLiteral("analisi.sqlite"));
    }
    if (content == Empty) return;
    Connection c(m_connectionString);
    Schema::create(c);
    if (content == Demo) Schema::loadDemo(c);
}

TestDb::~TestDb()
{
    if (m_schema.isEmpty()) return;
    try {
        Connection c(m_server);
        c.Execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
    } catch (...) {
    }
}

std::vector<QString> TestDb::backends() { return {QStringLiteral("sqlite"), QStringLiteral("postgresql")}; }

QString TestDb::mancante(const QString& backend)
{
    if (backend != QLatin1String("postgresql") || !qEnvironmentVariableIsEmpty("KTR_TEST_PG")) return QString();
    const QString motivo = qEnvironmentVariable("KTR_TEST_PG_MOTIVO");  // scripts/test.sh says why
    return QStringLiteral("PostgreSQL non disponibile: ") + (motivo.isEmpty() ? QStringLiteral("KTR_TEST_PG non impostato") : motivo);
}

QVariant scalar(Connection& c, const QString& sql)
{
    QSqlQuery q(c.database());
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!q.exec(sql) || !q.next()) return QVariant();
    return q.value(0);
}

QStringList tabelle(Connection& c, std::initializer_list<const char*> nomi)
{
    QStringList out;
    for (const char* nome : nomi) {
        QStringList righe = rowsOf(c, QStringLiteral("SELECT * FROM %1").arg(QLatin1String(nome)));
        righe.sort();
        out += righe;
    }
    return out;
}

QStringList rowsOf(Connection& c, const QString& sql, const QVariantList& valori)
{
    QSqlQuery q(c.database());
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    q.prepare(sql);
    for (const QVariant& v : valori) q.addBindValue(v);
    EXPECT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    QStringList out;
    while (q.next()) {
        QStringList cols;
        for (int i = 0; i < q.record().count(); ++i) cols << q.value(i).toString();
        out << cols.join('|');
    }
    return out;
}

QString scriviFile(const QString& percorso, const QByteArray& contenuto)
{
    QFile f(percorso);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(contenuto) == contenuto.size()) << percorso.toStdString();
    return percorso;
}

QString impronta(const QString& percorso)
{
    QFile f(percorso);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << percorso.toStdString();
    const QByteArray b = f.readAll();
    return QStringLiteral("%1|%2").arg(b.size()).arg(QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex()));
}

Uscita catturata(const std::function<int()>& comando)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Uscita u;
    u.codice = comando();
    u.out = QString::fromStdString(testing::internal::GetCapturedStdout()).split('\n', Qt::SkipEmptyParts);
    u.err = QString::fromStdString(testing::internal::GetCapturedStderr());
    return u;
}

QProcess* avviaKtr(const QStringList& argomenti, const QString& casa)
{
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), casa);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), casa + QStringLiteral("/data"));
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(KTR_BINARY), argomenti);
    p->waitForStarted();
    return p;
}

Uscita attendi(QProcess* p)
{
    Uscita u;
    EXPECT_TRUE(p->waitForFinished(50000));  // within the test's own timeout, so it says why
    u.codice = p->exitCode();
    u.out = QString::fromUtf8(p->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    u.err = QString::fromUtf8(p->readAllStandardError());
    delete p;
    return u;
}
