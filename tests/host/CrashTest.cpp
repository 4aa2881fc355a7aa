#include "TestDb.h"
#include "host/HostSetup.h"
#include "platform/host/SqlText.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The host command run as users and scripts run it: a process of its own.
namespace {

const QString Rossi = QStringLiteral("Rossi & Figli S.r.l.");

void scriviFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QProcess* avvia(const QTemporaryDir& dir, const QStringList& argomenti)
{
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(KTR_BINARY), argomenti);
    p->waitForStarted();
    return p;
}

}  // namespace

// SIGKILL at random moments of a large import, the commit included: the database stays
// sound and the period is there whole or not at all. KTR_CRASH_KILLS sets how many.
TEST(Crash, AKilledImportLeavesThePeriodWholeOrAbsent)
{
    const int uccisioni = qEnvironmentVariableIsSet("KTR_CRASH_KILLS") ? qEnvironmentVariableIntValue("KTR_CRASH_KILLS") : 10;
    const int righe = 100000;
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("app/Def"));
    QDir().mkpath(dir.filePath("lavoro"));
    scriviFile(dir.filePath("app/Def/ROSSI"), "saldi.txt\r\n1;\r\n0\r\n0\r\n1\r\n1\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC8\t4\t0\t0\r\n");
    QByteArray dati;
    dati.reserve(righe * 30);
    // Accounts of the chart with their correlations: no anomaly rows, whose count is 16-bit.
    for (int i = 0; i < righe; ++i) dati += i % 2 ? "2010;Debiti verso fornitori;-1,25;P\r\n" : "1010;Cassa;1,25;A\r\n";
    scriviFile(dir.filePath("lavoro/saldi.txt"), dati);

    const QString db = dir.filePath("analisi.sqlite"), prova = dir.filePath("prova.sqlite");
    HostSetup::createDatabase(db);
    QFile::copy(db, prova);
    auto argomenti = [&](const QString& database) {
        return QStringList{"--db", database, "--app-path", dir.filePath("app"), "--working-folder", dir.filePath("lavoro"),
                           "--company", Rossi, "--year", "2024", "--month", "Marzo", "--save", "--answer", "yes"};
    };

    // How long a whole run takes here.
    QElapsedTimer tempo;
    tempo.start();
    std::unique_ptr<QProcess> intera(avvia(dir, argomenti(prova)));
    ASSERT_TRUE(intera->waitForFinished(120000));
    ASSERT_EQ(intera->exitCode(), 0) << intera->readAllStandardError().toStdString();
    const qint64 durata = tempo.elapsed();

    // Every other run starts from a database without the period, so that kills before the
    // first commit are as frequent as kills of an overwrite.
    const QString vuoto = dir.filePath("vuoto.sqlite");
    QFile::copy(db, vuoto);
    int interrotte = 0, presenti = 0;
    for (int k = 0; k < uccisioni; ++k) {
        if (k % 2 == 0) {
            QFile::remove(db);
            QFile::remove(db + "-journal");  // a killed run's journal belongs to the old file
            QFile::copy(vuoto, db);
        }
        std::unique_ptr<QProcess> p(avvia(dir, argomenti(db)));
        const int attesa = int(QRandomGenerator::global()->bounded(qint64(durata * 12 / 10) + 1));
        if (!p->waitForFinished(attesa)) {
            p->kill();  // SIGKILL
            ++interrotte;
        }
        p->waitForFinished(120000);

        Connection c(db);
        SCOPED_TRACE(QStringLiteral("uccisione %1 dopo %2 ms").arg(k).arg(attesa).toStdString());
        ASSERT_EQ(scalar(c, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        const int valori = scalar(c, "SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = " + StringaSQL("R001")).toInt();
        const int periodi = scalar(c, "SELECT COUNT(*) FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = " + StringaSQL("R001")).toInt();
        ASSERT_TRUE((valori == 0 && periodi == 0) || (valori == righe && periodi == 1)) << valori << " values, " << periodi << " periods";
        presenti += valori == righe;
    }
    std::printf("%d uccisioni su %d esecuzioni (%lld ms per esecuzione intera); periodo presente dopo %d, assente dopo %d\n",
                interrotte, uccisioni, durata, presenti, uccisioni - presenti);
}

// An empty database name, a year of other than four digits or a currency of other than
// three letters is refused in Italian with exit 2, before any database is opened; a missing
// database is named and not created (only first start and --create-db make databases), and
// a file that is no database is explained.
TEST(CommandLine, ValuesAreCheckedBeforeAnythingIsOpened)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("analisi.sqlite"), manca = dir.filePath("manca.sqlite"), falso = dir.filePath("falso.sqlite");
    HostSetup::createDatabase(db);
    scriviFile(falso, "non sono un database");
    const QList<std::pair<QStringList, QString>> casi = {
        {{"--db", manca, "--company", Rossi, "--year", "2024", "--month", "Marzo", "--save"}, manca + " non esiste"},
        {{"--db", falso, "--company", Rossi, "--year", "2024", "--month", "Marzo", "--save"}, "non è un database di analisi"},
        {{"--db", "", "--import-kadro"}, "--db è vuoto"},
        {{"--db", db, "--year", "2'--", "--company", Rossi, "--month", "Marzo", "--save"}, "Anno non valido"},
        {{"--db", db, "--year", "24", "--company", Rossi, "--month", "Marzo", "--save"}, "Anno non valido"},
        {{"--db", db, "--base-currency", "EUR' OR '1'='1", "--import-kadro"}, "Valuta di base non valida"},
    };
    for (const auto& [argomenti, messaggio] : casi) {
        std::unique_ptr<QProcess> p(avvia(dir, argomenti));
        ASSERT_TRUE(p->waitForFinished(30000));
        EXPECT_EQ(p->exitCode(), 2) << argomenti.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(p->readAllStandardError()).contains(messaggio)) << argomenti.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(manca));
    // No per-user default database was made for the empty name.
    EXPECT_FALSE(QDir(dir.filePath("data")).exists());
}
