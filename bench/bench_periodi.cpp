// How long "Periodi importati" takes to open on a large analysis database.
//
//   bench_periodi [periods] [values per period]      (default 1000 and 1000)
//
// Fills a fresh SQLite database (and, when KTR_TEST_PG names a server, a schema of its own
// there) with the periods of the seven demo companies, each with its values, and half of
// them with a provenance row; then opens the window three times and prints, for each
// database, the time to open it (periods read and counted, list filled, window shown), the
// time of the periods' read alone, and the time to show one period's values.

#include "NoDialogs.h"
#include "host/FinestraPeriodi.h"
#include "model/Provenienza.h"
#include "model/Schema.h"
#include "platform/db/Connection.h"
#include "platform/host/CGlobal.h"
#include "platform/host/SqlText.h"
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const char* const Ditte[] = {"R001", "A002", "C003", "M004", "B005", "V006", "N007"};

void riempi(Connection& c, int periodi, int valori)
{
    c.BeginTrans();
    c.Execute(QStringLiteral("CREATE TABLE BENCH_N (I INTEGER)"));
    c.Esegui(QStringLiteral("INSERT INTO BENCH_N WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                            "SELECT i FROM n"),
             {valori});
    for (int i = 0; i < periodi; ++i) {
        const int k = i / 7;
        c.Esegui(QStringLiteral("INSERT INTO QD21_PERVALUTA VALUES (?, ?, ?, 1, ?, ?, 1, 1, 0)"),
                 {QString::fromLatin1(Ditte[i % 7]), QString::number(2000 + k / 12), k % 12 + 1, "EUR",
                  QStringLiteral("Periodo %1").arg(i)});
    }
    c.Execute(QStringLiteral("INSERT INTO QD07_VALORIPDC SELECT P.QD21_CODICEDITTA_QD05, ") + StringaSQL(QStringLiteral("C")) +
              QStringLiteral(" || CAST(N.I AS VARCHAR(10)), "
                             "P.QD21_ANNO, P.QD21_MESE, 0, 0, N.I * 1.25, N.I * 1.25, P.QD21_NPERIODO "
                             "FROM QD21_PERVALUTA P CROSS JOIN BENCH_N N"));
    c.Execute(QStringLiteral("DROP TABLE BENCH_N"));
    c.CommitTrans();
}

void registra(CGlobal& global, int periodi, int valori)
{
    Connection& c = global.Database().Connection();
    c.BeginTrans();
    for (int i = 0; i < periodi; i += 2) {
        const int k = i / 7;
        Provenienza p;
        p.ditta = QString::fromLatin1(Ditte[i % 7]);
        p.anno = QString::number(2000 + k / 12);
        p.mese = qint16(k % 12 + 1);
        p.periodo = 1;
        p.tipo = Provenienza::Testo;
        p.file = QStringLiteral("/lavoro/saldi_%1.txt").arg(i);
        p.sha256 = QString(64, QLatin1Char('0'));
        p.definizione = p.ditta;
        p.valuta = QStringLiteral("EUR");
        p.cambio = 1;
        p.valori = valori;
        p.quadratura = QStringLiteral("superata");
        Provenienza::registra(global, p);
    }
    c.CommitTrans();
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void misura(const QString& nome, CGlobal& global, int periodi, int valori)
{
    NoDialogs risposte;
    std::vector<double> apertura, lettura, scelta;
    int righe = 0;
    for (int giro = 0; giro < 3; ++giro) {
        QElapsedTimer t;
        t.start();
        {
            FinestraPeriodi f(global, risposte, [] { return false; });
            f.show();
            QCoreApplication::processEvents();
            apertura.push_back(double(t.nsecsElapsed()) / 1e6);
            righe = f.lstPeriodi->rowCount();
            t.restart();
            f.scegli(righe / 2);
            QCoreApplication::processEvents();
            scelta.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        t.restart();
        const int letti = int(Periodi::elenco(global.Database().Connection()).size());
        lettura.push_back(double(t.nsecsElapsed()) / 1e6);
        if (letti != periodi) std::fprintf(stderr, "%s: letti %d periodi su %d\n", qPrintable(nome), letti, periodi);
    }
    std::printf("%-10s periodi %d, valori %d: apertura %.0f ms (migliore %.0f), lettura dei periodi %.0f ms, "
                "valori di un periodo %.0f ms; righe nella lista %d\n",
                qPrintable(nome), periodi, periodi * valori, mediana(apertura), *std::min_element(apertura.begin(), apertura.end()),
                mediana(lettura), mediana(scelta), righe);
}

void prova(const QString& nome, const QString& connessione, int periodi, int valori)
{
    {
        Connection c(connessione);
        Schema::create(c);
        Schema::loadDemo(c);
        QElapsedTimer t;
        t.start();
        riempi(c, periodi, valori);
        std::printf("%-10s database riempito in %.1f s\n", qPrintable(nome), double(t.nsecsElapsed()) / 1e9);
    }
    CGlobal global(std::make_unique<Connection>(connessione), QStringLiteral("EUR"), QStringLiteral("KTRBench"), QString());
    registra(global, periodi, valori);
    misura(nome, global, periodi, valori);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int periodi = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    const int valori = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    if (periodi < 1 || valori < 1 || periodi > 7 * 12 * 100) {
        std::fprintf(stderr, "uso: bench_periodi [periodi, fino a 8400] [valori per periodo]\n");
        return 2;
    }
    QTemporaryDir dir;
    prova(QStringLiteral("SQLite"), dir.filePath(QStringLiteral("analisi.sqlite")), periodi, valori);

    const QString server = qEnvironmentVariable("KTR_TEST_PG");
    if (!server.isEmpty()) {
        const QString schema = QStringLiteral("bench_periodi_%1").arg(QCoreApplication::applicationPid());
        Connection c(QStringLiteral("postgresql:") + server);
        c.Execute(QStringLiteral("CREATE SCHEMA %1").arg(schema));
        try {
            prova(QStringLiteral("PostgreSQL"), QStringLiteral("postgresql:") + server + QStringLiteral(" options=-csearch_path=") + schema,
                  periodi, valori);
        } catch (...) {
            c.Execute(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema));
            throw;
        }
        c.Execute(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema));
    }
    return 0;
}
