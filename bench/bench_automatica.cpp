// Cost of the automatic import of a Kadro export against the number of groups it holds,
// and against the base engine posting the same lines.
//
//   bench_automatica [lines per group] [postgresql:host=... port=... dbname=... user=...]      (default 300)
//
// For G = 5, 50 and 500 groups (company × month) of the given lines over a chart of 2,000
// accounts, on a fresh SQLite database: the whole ClickImport, timed, per group and per
// line. Then the base engine (ImportaValori) posting one group of the same lines, as
// ClickOk would, repeated, per line. The automatic import reads the export a bounded
// number of times, so its cost per group stays flat as G grows.

#include "SchermoBench.h"
#include "ServerBench.h"
#include "control/ctlVevAre.h"
#include "model/Schema.h"
#include "platform/db/Connection.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ListControl.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int Conti = 2000;
constexpr int Ditte = 10;

QString codice(int i) { return QString::number(100000 + i * 7); }

void prepara(const QString& database)
{
    Connection c(database);
    Schema::create(c);
    c.Execute("INSERT INTO QD40_VALUTE VALUES ('EUR', 'Euro')");
    c.Execute("INSERT INTO QD04_PDC VALUES ('BENCH', 'Piano di prova', 1, 0)");
    c.BeginTrans();
    for (int d = 0; d < Ditte; ++d)
        c.Execute(QStringLiteral("INSERT INTO QD05_DITTA (QD05_CODICEDITTA, QD05_RAGIONESOCIALE, QD05_CODICEPDC_QD04, "
                                 "QD05_CODICEVALUTA_QD40, QD05_CODICEKADRO, QD05_CODIMPORTAZIONE) VALUES ('D%1', 'Ditta %1', "
                                 "'BENCH', 'EUR', %2, 'BENCH')")
                      .arg(d)
                      .arg(100 + d));
    QSqlQuery conto(c.database()), corr(c.database());
    conto.prepare("INSERT INTO QD15_DEFPDC VALUES ('BENCH', ?, ?, 1, ?, ?)");
    corr.prepare("INSERT INTO QD03_CORRELAZIONE VALUES ('BENCH', ?, 'D', 'CEE', 10, 100, 1, 0)");
    for (int i = 0; i < Conti; ++i) {
        conto.addBindValue(codice(i));
        conto.addBindValue(QStringLiteral("Conto di prova numero %1").arg(i));
        conto.addBindValue(QString::number(1 + i % 4 + (i % 4 >= 2 ? 1 : 0)));
        conto.addBindValue(i + 1);
        conto.exec();
        corr.addBindValue(codice(i));
        corr.exec();
    }
    c.CommitTrans();
}

// Lines of one group: a squared trial balance over distinct accounts of the chart.
QByteArray gruppo(int numero, int anno, int mese, int righe, bool kadro)
{
    QByteArray out;
    const QByteArray coda = kadro ? ";" + QByteArray::number(numero) + ";01" + QByteArray::number(mese).rightJustified(2, '0') +
                                        QByteArray::number(anno) + ";1"
                                  : QByteArray();
    for (int r = 0; r < righe; ++r) {
        const int i = (r * 37 + numero) % Conti;
        const int centesimi = r + 1 < righe ? (r % 2 ? -1 : 1) * (10000 + r * 13) : 0;
        out += codice(i).toLatin1() + ";Conto di prova numero " + QByteArray::number(i) + ";" + QByteArray::number(centesimi / 100) +
               "," + QByteArray::number(qAbs(centesimi % 100)).rightJustified(2, '0') + ";A" + coda + "\r\n";
    }
    return out;
}

void scrivi(const QString& path, const QByteArray& testo)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    f.write(testo);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int righe = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 300;
    std::printf("righe per gruppo: %d, conti nel piano: %d\n", righe, Conti);

    QTemporaryDir dir;
    const QString appPath = dir.filePath("app"), lavoro = dir.filePath("lavoro");
    QDir().mkpath(appPath + "/Def");
    QDir().mkpath(lavoro);
    // code;description;amount;section;company;date;chart
    scrivi(appPath + "/Def/QDMSIT", "kadro.txt\r\n1;\r\n0\r\n0\r\n1\r\n1\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\n"
                                    "C5\t5\t0\t0\r\nC6\t6\t0\t0\r\nC7\t7\t0\t0\r\nC8\t4\t0\t0\r\n");
    scrivi(appPath + "/Def/BENCH", "base.txt\r\n1;\r\n0\r\n0\r\n1\r\n1\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC8\t4\t0\t0\r\n");

    const QString pg = serverBench(argc, argv);
    if (righe <= 0 || pg == "-") {
        std::fprintf(stderr, "uso: bench_automatica [righe per gruppo] [postgresql:host=... port=... dbname=... user=...]\n");
        return 2;
    }
    QStringList basi{"sqlite"};
    if (!pg.isEmpty()) basi << "postgresql";
    for (const QString& base : basi) {
        std::printf("%s\n", base == "sqlite" ? "SQLite" : "PostgreSQL");
        // A new database for each run.
        const auto nuovo = [&](const QString& nome) {
            return base == "sqlite" ? dir.filePath(nome + ".sqlite") : ServerBench(pg).nuovo("ktr_bench_" + nome);
        };
        double perRigaAutomatica = 0;
        for (const int gruppi : {5, 50, 500}) {
            const QString database = nuovo(QStringLiteral("automatica%1").arg(gruppi));
            prepara(database);
            QByteArray testo;
            for (int g = 0; g < gruppi; ++g) testo += gruppo(100 + g % Ditte, 2000 + g / (12 * Ditte), 1 + (g / Ditte) % 12, righe, true);
            scrivi(lavoro + "/kadro.txt", testo);

            CGlobal global(std::make_unique<Connection>(database), "EUR", "KTRBench", appPath);
            NoDialogs dialogs;
            ctlVevAre screen(dialogs);
            screen.setCGlobal(&global);
            screen.m_WorkingFolder = lavoro;
            QElapsedTimer t;
            t.start();
            screen.ClickImport();
            const double secondi = double(t.nsecsElapsed()) / 1e9;
            const auto& esito = screen.m_EsitoAutomatica;
            perRigaAutomatica = secondi / (gruppi * righe);
            std::printf("G = %3d: %7.3f s, %7.2f ms per gruppo, %6.2f us per riga (%d gruppi, %d salvati)\n", gruppi, secondi,
                        secondi * 1e3 / gruppi, perRigaAutomatica * 1e6, esito.gruppi, esito.salvati);
            if (esito.salvati != gruppi) return 1;
        }

        // The base engine posting one group of the same size, as ClickOk does, repeated.
        const QString database = nuovo("base");
        prepara(database);
        scrivi(lavoro + "/base.txt", gruppo(100, 2024, 1, righe, false));
        SchermoBench banco(database, appPath, lavoro, "D0", "Ditta 0", "BENCH");
        ctlVevAre& screen = banco.screen;
        const int volte = 50;
        QElapsedTimer t;
        t.start();
        for (int v = 0; v < volte; ++v) {
            screen.m_Anno = QString::number(2000 + v / 12);
            screen.m_Mese = qint16(1 + v % 12);
            screen.ResetAnomalie();
            screen.ImportaValori();
        }
        const double perRigaBase = double(t.nsecsElapsed()) / 1e9 / (volte * righe);
        std::printf("base   : %6.2f us per riga (%d importazioni di un gruppo)\n", perRigaBase * 1e6, volte);
        std::printf("rapporto automatica (G = 500) / base per riga: %.2f\n", perRigaAutomatica / perRigaBase);
    }
    return 0;
}
