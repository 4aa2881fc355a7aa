// Throughput of the value posting engine against the sqlite3 shell's bulk import of
// the same data file.
//
//   bench_import [lines]      (default 200000)
//
// (a) ImportaValori through the screen without a window, log included, on a fresh
//     SQLite database with a chart of 5,000 accounts;
// (b) sqlite3's ".import" of the same file into a plain table of a fresh SQLite file.
// Prints both rates in lines per second, their ratio and the peak memory of (a).

#include "NoDialogs.h"
#include "control/ctlVevAre.h"
#include "model/Schema.h"
#include "platform/host/CGlobal.h"
#include "platform/db/Connection.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ListControl.h"
#include "platform/ui/LogList.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int Conti = 5000;

QString codice(int i) { return QString::number(100000 + i * 7); }

void prepara(Connection& c)
{
    Schema::create(c);
    c.Execute("INSERT INTO QD40_VALUTE VALUES ('EUR', 'Euro')");
    c.Execute("INSERT INTO QD04_PDC VALUES ('BENCH', 'Piano di prova', NULL, 0)");
    c.Execute("INSERT INTO QD05_DITTA (QD05_CODICEDITTA, QD05_RAGIONESOCIALE, QD05_CODICEPDC_QD04, QD05_CODICEVALUTA_QD40, "
              "QD05_CODIMPORTAZIONE) VALUES ('B001', 'Prova S.p.A.', 'BENCH', 'EUR', 'BENCH')");
    c.BeginTrans();
    QSqlQuery conto(c.database()), corr(c.database());
    conto.prepare("INSERT INTO QD15_DEFPDC VALUES ('BENCH', ?, ?, 1, ?, ?)");
    corr.prepare("INSERT INTO QD03_CORRELAZIONE VALUES ('BENCH', ?, 'D', 'CEE', 10, 100, 1, 0)");
    for (int i = 0; i < Conti; ++i) {
        conto.addBindValue(codice(i));
        conto.addBindValue(QStringLiteral("Conto di prova numero %1").arg(i));
        conto.addBindValue(QString::number(1 + i % 4 + (i % 4 >= 2 ? 1 : 0)));
        conto.addBindValue(i + 1);
        conto.exec();
        if (i % 500) {  // one account in 500 has no correlation
            corr.addBindValue(codice(i));
            corr.exec();
        }
    }
    c.CommitTrans();
}

void scriviDati(const QString& path, int righe)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    QRandomGenerator rnd(42);
    const char* lettere[] = {"A", "P", "E", "E"};
    QByteArray buffer = "Conto;Descrizione;Saldo;Sezione\r\n";
    for (int n = 0; n < righe; ++n) {
        const int i = int(rnd.bounded(Conti));
        const qint64 centesimi = qint64(rnd.bounded(20000000)) - 10000000;
        buffer += codice(i).toLatin1() + ';' + QStringLiteral("Conto di prova numero %1").arg(i).toLatin1() + ';' +
                  QByteArray::number(centesimi / 100) + ',' + QByteArray::number(qAbs(centesimi % 100)).rightJustified(2, '0') +
                  ';' + lettere[i % 4] + "\r\n";
        if (buffer.size() > (1 << 20)) {
            f.write(buffer);
            buffer.clear();
        }
    }
    f.write(buffer);
}

qint64 conta(Connection& c, const QString& sql)
{
    QSqlQuery q(c.database());
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
}

// Processor time (user and system) of this process or of its finished children, in seconds.
double cpu(int chi)
{
    rusage r{};
    getrusage(chi, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

double picco()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int righe = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200000;
    if (righe <= 0) {
        std::fprintf(stderr, "uso: bench_import [righe]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString app_ = dir.filePath("app"), lavoro = dir.filePath("lavoro");
    QDir().mkpath(app_ + "/Def");
    QDir().mkpath(lavoro);
    {
        QFile def(app_ + "/Def/BENCH");
        def.open(QIODevice::WriteOnly);
        def.write("saldi.txt\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC8\t4\t0\t0\r\n");
    }
    const QString dati = lavoro + "/saldi.txt";
    scriviDati(dati, righe);
    const QString database = dir.filePath("analisi.sqlite");
    {
        Connection c(database);
        prepara(c);
    }
    std::printf("righe: %d, conti nel piano: %d\n", righe, Conti);

    // (a) the engine, through the screen
    double secondiA = 0, cpuA = 0;
    qint64 scritte = 0;
    {
        CGlobal global(std::make_unique<Connection>(database), "EUR", "KTRBench", app_);
        NoDialogs dialogs;
        ctlVevAre screen(dialogs);
        screen.setCGlobal(&global);
        screen.m_WorkingFolder = lavoro;
        screen.cmbDitte->AddItem("Prova S.p.A.");
        screen.m_CodiceDitta = "B001";
        screen.m_CodicePDC = "BENCH";
        screen.m_Anno = "2024";
        screen.m_Mese = 1;
        screen.m_Valuta = "EUR";
        screen.m_Cambio = 1;
        screen.m_CodImportazione = "BENCH";
        if (!screen.CaricaConf()) qFatal("definition not loaded");
        screen.ResetAnomalie();

        QElapsedTimer t;
        const double cpu0 = cpu(RUSAGE_SELF);
        t.start();
        screen.ImportaValori();
        screen.lwLog->flush();
        secondiA = double(t.nsecsElapsed()) / 1e9;
        cpuA = cpu(RUSAGE_SELF) - cpu0;
        scritte = conta(global.Database().Connection(), "SELECT COUNT(*) FROM QD07_VALORIPDC");
        std::printf("(a) ImportaValori: %lld valori, %d righe di log, %d anomalie\n", scritte, screen.lwLog->rowCount(),
                    int(screen.m_NumAnomalie));
    }
    const double piccoA = picco();

    // (b) sqlite3 .import into a plain table
    const QString semplice = dir.filePath("semplice.sqlite");
    {
        Connection c(semplice);
        c.Execute("CREATE TABLE saldi (conto VARCHAR(20), descrizione VARCHAR(80), saldo VARCHAR(20), sezione VARCHAR(1))");
    }
    QProcess sqlite;
    QElapsedTimer t;
    const double cpu0 = cpu(RUSAGE_CHILDREN);
    t.start();
    sqlite.start("sqlite3", {semplice});
    if (!sqlite.waitForStarted()) qFatal("sqlite3 not found");
    sqlite.write(QStringLiteral(".mode csv\n.separator ;\n.import --skip 1 %1 saldi\n").arg(dati).toUtf8());
    sqlite.closeWriteChannel();
    sqlite.waitForFinished(-1);
    const double secondiB = double(t.nsecsElapsed()) / 1e9;
    const double cpuB = cpu(RUSAGE_CHILDREN) - cpu0;
    const QByteArray errori = sqlite.readAllStandardError();
    if (!errori.isEmpty()) std::fprintf(stderr, "sqlite3: %s\n", errori.constData());

    // Wall-clock rates, and rates by processor time, which other work on the machine
    // does not disturb.
    const double rateA = righe / secondiA, rateB = righe / secondiB;
    const double cpuRateA = righe / cpuA, cpuRateB = righe / cpuB;
    std::printf("(a) ImportaValori     : %8.3f s  %10.0f righe/s   (cpu %8.3f s  %10.0f righe/s)\n", secondiA, rateA, cpuA,
                cpuRateA);
    std::printf("(b) sqlite3 .import   : %8.3f s  %10.0f righe/s   (cpu %8.3f s  %10.0f righe/s)\n", secondiB, rateB, cpuB,
                cpuRateB);
    std::printf("rapporto a/b          : %8.3f                      (cpu %8.3f)\n", rateA / rateB, cpuRateA / cpuRateB);
    std::printf("memoria di picco (a)  : %8.1f MB\n", piccoA);
    return scritte == righe ? 0 : 1;
}
