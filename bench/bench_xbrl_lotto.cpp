// Many XBRL filings in one run, as ktr --import-xbrl FOLDER does it.
//
//   bench_xbrl_lotto [filings] [postgresql:host=... port=... dbname=... user=...]      (default 1000)
//
// Writes a folder of filings made from the three real ones (each with an identifier and
// years of its own, so every filing registers a new company), then imports the folder in
// one run into a fresh SQLite database holding the taxonomy's reference data, every
// registration answered Yes. Prints filings per second, the mean time per filing of the
// first and the last hundred, and the peak memory of the process. Given a PostgreSQL
// server (the second argument, or KTR_TEST_PG), the same run again on a database made
// there afresh, and its rate against SQLite's.

#include "ServerBench.h"
#include "control/ctlVevAre.h"
#include "model/Schema.h"
#include "platform/db/Connection.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "xbrl/LottoXbrl.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

const QString Filings = QStringLiteral(KTR_XBRL_DATA "/filings/");

class Si : public Dialogs {
public:
    int MsgBox(const QString&, int flags, const QString&) override { return (flags & 0x0F) == vb::vbYesNo ? vb::vbYes : vb::vbOK; }
    QString InputBox(const QString&, const QString&, const QString& proposta) override { return proposta; }
    QString OpenFile(const QString&, const QString&, const QString&) override { return {}; }
};

long piccoKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The filing with another identifier (its last six digits the company code) and its
// dates moved back by some years.
QByteArray variante(const QString& testo, int n)
{
    const QString identificativo = QStringLiteral("IT%1").arg(900000000 + n);
    QString t = testo;
    static const QRegularExpression id(QStringLiteral("(<identifier[^>]*>)[^<]*(</identifier>)"));
    static const QRegularExpression iva(QStringLiteral("(<itcc-ci:DatiAnagraficiPartitaIva[^>]*>)[^<]*(<)"));
    static const QRegularExpression data(QStringLiteral("(<(?:instant|startDate|endDate)>\\s*)(\\d{4})"));
    t.replace(id, QStringLiteral("\\1") + identificativo + QStringLiteral("\\2"));
    t.replace(iva, QStringLiteral("\\1") + identificativo + QStringLiteral("\\2"));
    const int indietro = n % 10;
    QString out;
    qsizetype da = 0;
    for (auto it = data.globalMatch(t); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(t).mid(da, m.capturedStart(2) - da);
        out += QString::number(m.captured(2).toInt() - indietro);
        da = m.capturedEnd(2);
    }
    out += QStringView(t).mid(da);
    return out.toUtf8();
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int totale = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    const QString pg = serverBench(argc, argv);
    if (totale < 200 || pg == "-") {
        std::fprintf(stderr, "uso: bench_xbrl_lotto [filing, almeno 200] [postgresql:host=... port=... dbname=... user=...]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString cartella = dir.filePath(QStringLiteral("filing"));
    QDir().mkpath(cartella);
    QStringList reali;
    for (const char* nome : {"03072020211-31122020-20210726110513.xbrl", "03072020211-31122021-20220530205759.xbrl",
                             "ISTANZA02353550391.xbrl"}) {
        QFile f(Filings + QString::fromLatin1(nome));
        if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read %s", nome);
        reali << QString::fromUtf8(f.readAll());
    }
    for (int n = 0; n < totale; ++n) {
        QFile f(QStringLiteral("%1/%2.xbrl").arg(cartella).arg(n, 5, 10, QLatin1Char('0')));
        if (!f.open(QIODevice::WriteOnly) || f.write(variante(reali[n % 3], n)) < 0) qFatal("cannot write");
    }

    const QString database = dir.filePath(QStringLiteral("analisi.sqlite"));
    const auto lotto = [&](const QString& db) {
        {
            Connection c(db);
            Schema::create(c);
            Schema::loadTaxonomy(c);
        }
        CGlobal global(std::make_unique<Connection>(db), QStringLiteral("EUR"), QStringLiteral("KTRBench"), dir.path());
        Si risposte;
        ctlVevAre screen(risposte);
        screen.setCGlobal(&global);

        std::vector<double> tempi;
        long memoriaCento = 0;
        double sqliteCento = 0;
        int salvati = 0;
        QElapsedTimer tutto, uno;
        tutto.start();
        uno.start();
        importaFileXbrl(screen, fileXbrl({cartella}), [&](const EsitoXbrl& e) {
            tempi.push_back(double(uno.nsecsElapsed()) / 1e6);
            salvati += e.salvata ? 1 : 0;
            if (tempi.size() == 100) {
                memoriaCento = piccoKb();
                sqliteCento = double(sqlite3_memory_used()) / (1024 * 1024);
            }
            uno.restart();
        });
        const double secondi = double(tutto.nsecsElapsed()) / 1e9;

        auto media = [&](size_t da) {
            double s = 0;
            for (size_t i = da; i < da + 100; ++i) s += tempi[i];
            return s / 100;
        };
        const bool pg = db.startsWith(QLatin1String("postgresql:"));
        std::printf("%s\n", pg ? "PostgreSQL" : "SQLite");
        std::printf("filing: %d, salvati: %d, in %.1f s\n", totale, salvati, secondi);
        std::printf("filing al secondo      : %.1f\n", totale / secondi);
        std::printf("primi cento            : %.2f ms per filing\n", media(0));
        std::printf("ultimi cento           : %.2f ms per filing\n", media(tempi.size() - 100));
        std::printf("memoria di picco       : %.1f MB (dopo i primi cento %.1f MB)\n", piccoKb() / 1024.0, memoriaCento / 1024.0);
        // The database's page cache grows with the database up to the connection's bound.
        if (!pg)
            std::printf("di cui SQLite          : %.1f MB alla fine (dopo i primi cento %.1f MB); database %.1f MB\n",
                        double(sqlite3_memory_used()) / (1024 * 1024), sqliteCento, QFileInfo(db).size() / (1024.0 * 1024));
        return salvati == totale ? totale / secondi : 0.0;
    };
    const double sqlite = lotto(database);
    if (pg.isEmpty()) return sqlite > 0 ? 0 : 1;

    const double postgres = lotto(ServerBench(pg).nuovo(QStringLiteral("ktr_bench_xbrl")));
    std::printf("PostgreSQL / SQLite    : %.2f (filing al secondo)\n", sqlite > 0 ? postgres / sqlite : 0.0);
    return sqlite > 0 && postgres > 0 ? 0 : 1;
}
