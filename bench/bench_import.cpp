// Throughput of the value posting engine against the database's own bulk load of the
// same data.
//
//   bench_import [lines] [postgresql:host=... port=... dbname=... user=...]      (default 200000)
//
// (a) ImportaValori through the screen without a window, log included, on a fresh
//     SQLite database with a chart of 5,000 accounts;
// (k) the Kadro engine (ImportaValoriKadro) on the same lines, as one company's export;
// (s) "ktr --save" of the same file as a whole process, when ktr is built;
// (b) sqlite3's ".import" of the file into a plain table of a fresh SQLite file;
// (c) sqlite3's ".import" of the same lines, as rows of a table shaped like
//     QD07_VALORIPDC with its period index: the floor for rows that must be indexed.
// Each runs three times. Prints the rates of the best runs; the engine's ratios to (b)
// and (c) and ktr's time against the engine's, by the best runs and by the medians; and
// the peak memory of this process and of ktr.
//
// Given a PostgreSQL server (the second argument, or KTR_TEST_PG), the same again there,
// each run on a database made afresh from a prepared template (not timed): (a), (k) and
// (s) on PostgreSQL against (c) psql's \copy of the same rows into a table shaped like
// QD07_VALORIPDC with its period index.

#include "SchermoBench.h"
#include "ServerBench.h"
#include "control/ctlVevAre.h"
#include "model/Schema.h"
#include "platform/db/Connection.h"
#include "platform/host/CGlobal.h"
#include "platform/host/SqlText.h"
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
#include <QTemporaryFile>
#include <algorithm>
#include <atomic>
#include <functional>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <thread>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int Conti = 5000;

QString codice(int i) { return QString::number(100000 + i * 7); }
QString ragioneSociale(int ditta) { return ditta == 1 ? QStringLiteral("Prova S.p.A.") : QStringLiteral("Prova %1 S.p.A.").arg(ditta); }

void prepara(Connection& c)
{
    Schema::create(c);
    c.Execute("INSERT INTO QD40_VALUTE VALUES ('EUR', 'Euro')");
    c.Execute("INSERT INTO QD04_PDC VALUES ('BENCH', 'Piano di prova', NULL, 0)");
    // Four companies posting the same file: the concurrent runs of the server take one each.
    for (int d = 1; d <= 4; ++d)
        c.Esegui(QStringLiteral("INSERT INTO QD05_DITTA (QD05_CODICEDITTA, QD05_RAGIONESOCIALE, QD05_CODICEPDC_QD04, "
                                "QD05_CODICEVALUTA_QD40, QD05_CODIMPORTAZIONE) VALUES (?, ?, ?, ?, ?)"),
                 {QStringLiteral("B00%1").arg(d), ragioneSociale(d), "BENCH", "EUR", "BENCH"});
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

// The same lines three ways: the text file, the Kadro export of one company (number 100,
// January 2024) and the rows of the values table for sqlite3.
void scriviDati(const QString& testo, const QString& kadro, const QString& valori, int righe)
{
    QFile f(testo), k(kadro), v(valori);
    if (!f.open(QIODevice::WriteOnly) || !k.open(QIODevice::WriteOnly) || !v.open(QIODevice::WriteOnly))
        qFatal("cannot write the data files");
    QRandomGenerator rnd(42);
    const char* lettere[] = {"A", "P", "E", "E"};
    QByteArray buffer = "Conto;Descrizione;Saldo;Sezione\r\n", bufferK = buffer, bufferV;
    for (int n = 0; n < righe; ++n) {
        const int i = int(rnd.bounded(Conti));
        const qint64 centesimi = qint64(rnd.bounded(20000000)) - 10000000;
        const QByteArray conto = codice(i).toLatin1();
        const QByteArray importo =
            QByteArray::number(centesimi / 100) + ',' + QByteArray::number(qAbs(centesimi % 100)).rightJustified(2, '0');
        const QByteArray riga = conto + ';' + QStringLiteral("Conto di prova numero %1").arg(i).toLatin1() + ';' + importo + ';' +
                                lettere[i % 4];
        buffer += riga + "\r\n";
        bufferK += riga + ";100;01012024;1\r\n";
        const QByteArray valore = QByteArray::number(double(centesimi) / 100, 'f', 2);
        bufferV += "B001;" + conto + ";2024;1;;0;" + valore + ';' + valore + ";1\n";
        if (buffer.size() > (1 << 20)) {
            f.write(buffer);
            k.write(bufferK);
            v.write(bufferV);
            buffer.clear();
            bufferK.clear();
            bufferV.clear();
        }
    }
    f.write(buffer);
    k.write(bufferK);
    v.write(bufferV);
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

double picco(int chi = RUSAGE_SELF)
{
    rusage r{};
    getrusage(chi, &r);
    return double(r.ru_maxrss) / 1024.0;  // kilobytes on Linux
}


// The runs of one contender: the best of them and their median.
struct Tempo {
    std::vector<double> secondi, cpu;
    void aggiungi(double s, double c)
    {
        secondi.push_back(s);
        this->cpu.push_back(c);
    }
    static double minimo(std::vector<double> v) { return *std::min_element(v.begin(), v.end()); }
    static double mediana(std::vector<double> v)
    {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

struct Esito {
    qint64 valori = 0;
    int log = 0, anomalie = 0;
};

// One run of an engine on a fresh copy of the prepared database (given by `fresco`).
Esito motore(const std::function<QString()>& fresco, const QString& app, const QString& lavoro, bool kadro, Tempo& tempo)
{
    Esito e;
    SchermoBench b(fresco(), app, lavoro, "B001", "Prova S.p.A.", kadro ? "KADRO" : "BENCH");
    ctlVevAre& screen = b.screen;
    CGlobal& global = b.global;
    screen.m_Anno = "2024";
    screen.m_Mese = 1;
    screen.ResetAnomalie();

    QElapsedTimer t;
    const double cpu0 = cpu(RUSAGE_SELF);
    t.start();
    if (kadro) {
        qint16 numero = 100, anno = 2024, mese = 1;
        QString ditta = "B001", valuta = "EUR", ragione = "Prova S.p.A.";
        screen.ImportaValoriKadro(numero, ditta, anno, mese, valuta, ragione);
    } else {
        screen.ImportaValori();
    }
    screen.lwLog->flush();
    tempo.aggiungi(double(t.nsecsElapsed()) / 1e9, cpu(RUSAGE_SELF) - cpu0);
    e.valori = conta(global.Database().Connection(), "SELECT COUNT(*) FROM QD07_VALORIPDC");
    e.log = screen.lwLog->rowCount();
    e.anomalie = int(screen.m_NumAnomalie);
    return e;
}

// One run of a child process, timed as a whole, with its peak memory; its standard input
// is the given text, its standard output is dropped.
bool processo(const QString& programma, const QStringList& argomenti, const QByteArray& ingresso, Tempo& tempo,
              double* piccoMb = nullptr)
{
    QTemporaryFile in, err;
    if (!in.open() || !err.open() || in.write(ingresso) != ingresso.size() || !in.flush()) qFatal("cannot write a temporary file");
    std::vector<QByteArray> parti{QFile::encodeName(programma)};
    for (const QString& a : argomenti) parti.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& p : parti) argv.push_back(p.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    posix_spawn_file_actions_addopen(&azioni, 0, QFile::encodeName(in.fileName()).constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, 2, QFile::encodeName(err.fileName()).constData(), O_WRONLY | O_TRUNC, 0);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    const int avvio = posix_spawnp(&pid, argv[0], &azioni, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&azioni);
    if (avvio != 0) return false;
    // The child's own peak is read while it runs: what the kernel counts at its exit would
    // include this process, whose memory the child shared until its exec.
    int stato = 0;
    rusage r{};
    double hwm = 0;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    while (wait4(pid, &stato, WNOHANG, &r) == 0) {
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& riga : status.readAll().split('\n'))
                if (riga.startsWith("VmHWM:")) hwm = std::max(hwm, riga.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0);
            status.close();
        }
        usleep(2000);
    }
    tempo.aggiungi(double(t.nsecsElapsed()) / 1e9,
                   double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6);
    if (piccoMb) *piccoMb = std::max(*piccoMb, hwm);
    QFile errori(err.fileName());
    errori.open(QIODevice::ReadOnly);
    const QByteArray testo = errori.readAll();
    if (!testo.isEmpty() && !testo.startsWith("QStandardPaths")) std::fprintf(stderr, "%s: %s\n", qPrintable(programma), testo.constData());
    return WIFEXITED(stato) && WEXITSTATUS(stato) == 0;
}

// sqlite3's .import into a table the given statements create in a fresh file.
void importa(const QString& database, const QString& crea, const QString& dati, const QString& opzioni, Tempo& tempo)
{
    QFile::remove(database);
    {
        Connection c(database);
        for (const QString& s : crea.split(QLatin1Char(';'))) c.Execute(s);
    }
    if (!processo("sqlite3", {database}, QStringLiteral(".mode csv\n.separator ;\n.import %1 %2 t\n").arg(opzioni, dati).toUtf8(),
                  tempo))
        qFatal("sqlite3 failed");
}

const QString TabellaIndicizzata =
    "CREATE TABLE t (QD07_CODICEDITTA_QD05 VARCHAR(10) NOT NULL, QD07_CODICECONTO VARCHAR(20) NOT NULL, "
    "QD07_ANNO VARCHAR(4) NOT NULL, QD07_MESE SMALLINT NOT NULL, QD07_VALORE NUMERIC(19,4), QD07_RETTIFICA "
    "NUMERIC(19,4), QD07_VALOREORIGINALE NUMERIC(19,4), QD07_VALOREINVALUTA NUMERIC(19,4), QD07_NPERIODO SMALLINT "
    "NOT NULL);CREATE INDEX IX_T_PERIODO ON t (QD07_CODICEDITTA_QD05, QD07_ANNO, QD07_MESE, QD07_NPERIODO)";

const QString Modello = QStringLiteral("ktr_bench_modello");

// psql itself, not the wrapper that picks a version: its start is part of the time.
QString psql()
{
    QStringList trovati = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(trovati.begin(), trovati.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto it = trovati.crbegin(); it != trovati.crend(); ++it)
        if (QFile::exists("/usr/lib/postgresql/" + *it + "/bin/psql")) return "/usr/lib/postgresql/" + *it + "/bin/psql";
    return "psql";
}

void riga(const char* nome, const Tempo& t, int righe)
{
    const double m = Tempo::minimo(t.secondi), c = Tempo::minimo(t.cpu);
    std::printf("%-23s: %8.3f s  %10.0f righe/s   (cpu %8.3f s  %10.0f righe/s)   mediana %8.3f s\n", nome, m, righe / m, c,
                righe / c, Tempo::mediana(t.secondi));
}

// The second's time over the first's, by the best runs and by the medians.
void rapporto(const char* nome, const Tempo& primo, const Tempo& secondo)
{
    std::printf("%-23s: %8.3f   (cpu %8.3f)   mediana %8.3f\n", nome, Tempo::minimo(secondo.secondi) / Tempo::minimo(primo.secondi),
                Tempo::minimo(secondo.cpu) / Tempo::minimo(primo.cpu), Tempo::mediana(secondo.secondi) / Tempo::mediana(primo.secondi));
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int righe = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200000;
    const QString pg = serverBench(argc, argv);
    if (righe <= 0 || pg == "-") {
        std::fprintf(stderr, "uso: bench_import [righe] [postgresql:host=... port=... dbname=... user=...]\n");
        return 2;
    }
    constexpr int Prove = 3;

    QTemporaryDir dir;
    const QString app_ = dir.filePath("app"), lavoro = dir.filePath("lavoro");
    QDir().mkpath(app_ + "/Def");
    QDir().mkpath(lavoro);
    for (const auto& [nome, testo] :
         {std::pair{"BENCH", "saldi.txt\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC8\t4\t0\t0\r\n"},
          std::pair{"KADRO", "kadro.txt\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\n"
                             "C5\t5\t0\t0\r\nC6\t6\t0\t0\r\nC7\t7\t0\t0\r\nC8\t4\t0\t0\r\n"}}) {
        QFile def(app_ + "/Def/" + nome);
        def.open(QIODevice::WriteOnly);
        def.write(testo);
    }
    const QString dati = lavoro + "/saldi.txt", valori = dir.filePath("valori.csv");
    scriviDati(dati, lavoro + "/kadro.txt", valori, righe);
    const QString modello = dir.filePath("modello.sqlite"), database = dir.filePath("analisi.sqlite");
    {
        Connection c(modello);
        prepara(c);
    }
    std::unique_ptr<ServerBench> server;
    if (!pg.isEmpty()) {
        server = std::make_unique<ServerBench>(pg);
        Connection c(server->nuovo(Modello));
        prepara(c);
    }
    std::printf("righe: %d, conti nel piano: %d, %d prove per ciascuno\n", righe, Conti, Prove);

    const auto sqlite = [&] {
        QFile::remove(database);
        QFile::copy(modello, database);
        return database;
    };
    const auto postgres = [&] { return server->nuovo("ktr_bench", Modello); };
    const auto salva = [&](const QString& db, const QString& ditta) {
        return QStringList{"--db", db, "--app-path", app_, "--working-folder", lavoro, "--company", ditta,
                           "--year", "2024", "--month", "Gennaio", "--answer", "yes", "--save"};
    };

    // The runs take turns, so that a slow moment of the machine does not fall on one
    // side only.
    Tempo a, k, s, b, c, pa, pk, ps, pc, insieme, inFila;
    Esito ea, ek, epa, epk;
    double piccoKtr = 0, piccoKtrPg = 0;
    const QString ktr = QCoreApplication::applicationDirPath() + "/../ktr";  // built next to the benchmarks' folder
    const bool conKtr = QFile::exists(ktr);
    for (int i = 0; i < Prove; ++i) {
        if (conKtr && !processo(ktr, salva(sqlite(), "Prova S.p.A."), {}, s, &piccoKtr)) qFatal("ktr --save failed");
        ea = motore(sqlite, app_, lavoro, false, a);
        ek = motore(sqlite, app_, lavoro, true, k);
        importa(dir.filePath("semplice.sqlite"),
                "CREATE TABLE t (conto VARCHAR(20), descrizione VARCHAR(80), saldo VARCHAR(20), sezione VARCHAR(1))", dati,
                "--skip 1", b);
        importa(dir.filePath("indicizzata.sqlite"), TabellaIndicizzata, valori, QString(), c);
        if (!server) continue;
        if (conKtr && !processo(ktr, salva(postgres(), "Prova S.p.A."), {}, ps, &piccoKtrPg)) qFatal("ktr --save failed");
        epa = motore(postgres, app_, lavoro, false, pa);
        epk = motore(postgres, app_, lavoro, true, pk);
        {
            Connection t(postgres());
            for (const QString& sql : TabellaIndicizzata.split(QLatin1Char(';'))) t.Execute(sql);
        }
        if (!processo(psql(),
                      {server->conninfo("ktr_bench"), "-q", "-v", "ON_ERROR_STOP=1", "-c",
                       QStringLiteral("\\copy t FROM %1 WITH (FORMAT csv, DELIMITER ';')").arg(StringaSQL(valori))},
                      {}, pc))
            qFatal("psql \\copy failed");
        if (!conKtr) continue;
        // Four users at once, each importing the file for a company of its own, against the
        // same four one after another.
        Tempo niente;
        for (const bool contemporanei : {true, false}) {
            const QString db = postgres();
            QElapsedTimer t;
            t.start();
            std::vector<std::thread> utenti;
            std::atomic<bool> riuscite = true;
            for (int d = 1; d <= 4; ++d) {
                const auto una = [&, d] {
                    Tempo tempo;
                    if (!processo(ktr, salva(db, ragioneSociale(d)), {}, tempo)) riuscite = false;
                };
                if (contemporanei) utenti.emplace_back(una);
                else una();
            }
            for (std::thread& u : utenti) u.join();
            (contemporanei ? insieme : inFila).aggiungi(double(t.nsecsElapsed()) / 1e9, 0);
            Connection verifica(db);
            if (!riuscite || conta(verifica, "SELECT COUNT(*) FROM QD07_VALORIPDC") != 4LL * righe)
                qFatal("the four imports did not write every value");
        }
    }
    std::printf("(a) ImportaValori: %lld valori, %d righe di log, %d anomalie\n", ea.valori, ea.log, ea.anomalie);
    std::printf("(k) ImportaValoriKadro: %lld valori, %d righe di log, %d anomalie\n", ek.valori, ek.log, ek.anomalie);
    const double piccoMotori = picco();
    // Wall-clock rates, and rates by processor time, which other work on the machine
    // does not disturb.
    const auto cifre = [&](const Tempo& a, const Tempo& k, const Tempo& s, const Tempo* b, const char* carico, const Tempo& c) {
        riga("(a) ImportaValori", a, righe);
        riga("(k) ImportaValoriKadro", k, righe);
        if (conKtr) riga("(s) ktr --save", s, righe);
        if (b) riga("(b) .import semplice", *b, righe);
        riga(carico, c, righe);
        if (b) rapporto("rapporto a/b", a, *b);
        rapporto("rapporto a/c", a, c);
        rapporto("rapporto k/c", k, c);
        if (conKtr) rapporto("ktr --save / a", a, s);
    };
    std::printf("SQLite\n");
    cifre(a, k, s, &b, "(c) .import indicizzato", c);
    if (server) {
        std::printf("PostgreSQL (%lld e %lld valori)\n", epa.valori, epk.valori);
        cifre(pa, pk, ps, nullptr, "(c) \\copy indicizzato", pc);
        if (conKtr) {
            std::printf("4 ktr --save insieme   : %8.3f s   mediana %8.3f s\n", Tempo::minimo(insieme.secondi), Tempo::mediana(insieme.secondi));
            std::printf("4 ktr --save in fila   : %8.3f s   mediana %8.3f s\n", Tempo::minimo(inFila.secondi), Tempo::mediana(inFila.secondi));
        }
    }
    std::printf("memoria di picco (a,k) : %8.1f MB\n", piccoMotori);
    if (conKtr) std::printf("memoria di picco (s)   : %8.1f MB%s\n", piccoKtr, server ? "  (SQLite)" : "");
    if (conKtr && server) std::printf("memoria di picco (s)   : %8.1f MB  (PostgreSQL)\n", piccoKtrPg);
    const bool completi = ea.valori == righe && ek.valori == righe && (!server || (epa.valori == righe && epk.valori == righe));
    return completi ? 0 : 1;
}
