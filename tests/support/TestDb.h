#pragma once
#include "platform/db/Connection.h"
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

// A fresh analysis database for one test: an SQLite file in a temporary folder, or
// (backend "postgresql") a new schema on the server named by KTR_TEST_PG.
class TestDb {
public:
    enum Content { Empty, Schema, Demo };
    explicit TestDb(const QString& backend = QStringLiteral("sqlite"), Content content = Demo);
    ~TestDb();

    // The connection string that opens this database.
    const QString& connectionString() const { return m_connectionString; }
    std::unique_ptr<Connection> open(int lockTimeoutMs = Connection::DefaultLockTimeoutMs) const
    {
        return std::make_unique<Connection>(m_connectionString, lockTimeoutMs);
    }
    QString folder() const { return m_dir.path(); }

    // Backends the tests run on: sqlite, and postgresql, whose tests are skipped (saying
    // why) when no server is configured.
    static std::vector<QString> backends();
    // Why a backend cannot be used here; empty when it can.
    static QString mancante(const QString& backend);

private:
    QTemporaryDir m_dir;
    QString m_connectionString;
    QString m_server;
    QString m_schema;
};

// Skips the test, with the reason, when its backend cannot be used here.
#define SALTA_SENZA(backend)                                                         \
    if (const QString motivo_ = TestDb::mancante(backend); !motivo_.isEmpty()) \
    GTEST_SKIP() << motivo_.toStdString()

// A suite parameterised by backend, on every backend, each test named after its own.
#define SU_OGNI_BACKEND(prefisso, Suite) \
    INSTANTIATE_TEST_SUITE_P(prefisso, Suite, ::testing::ValuesIn(TestDb::backends()), [](const auto& i) { return i.param.toStdString(); })

// Single value of a query, for assertions.
QVariant scalar(Connection& c, const QString& sql);
// Rows of a query, each as its columns' texts joined by '|'; a query that fails fails the test.
QStringList rowsOf(Connection& c, const QString& sql, const QVariantList& valori = {});
// Every row of the tables named, each table's rows sorted: what a test compares before and after.
QStringList tabelle(Connection& c, std::initializer_list<const char*> nomi);

// Writes a file whole, failing the test if it cannot; gives its path back.
QString scriviFile(const QString& percorso, const QByteArray& contenuto);
// A file's size and SHA-256 as the provenance records them: "size|digest".
QString impronta(const QString& percorso);

// How a command ended: its exit code, the lines it printed and its errors.
struct Uscita {
    int codice = -1;
    QStringList out;
    QString err;
};
// A command function run in this process, its output captured.
Uscita catturata(const std::function<int()>& comando);
// The ktr command as users and scripts run it: a process of its own, at home in `casa`.
class QProcess;
QProcess* avviaKtr(const QStringList& argomenti, const QString& casa);
// Waits (50 s at most) for a process of avviaKtr and deletes it.
Uscita attendi(QProcess* p);
