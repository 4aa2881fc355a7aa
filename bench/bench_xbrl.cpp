// Time of the XBRL import of the largest real filing, and of its parsing alone.
//
//   bench_xbrl [runs]      (default 5)
//
// Each run imports data/xbrl/filings/ISTANZA02353550391.xbrl through the screen without
// a window (company registered, both years posted, balance check included) into a fresh
// SQLite database holding a mapping of every balance-sheet and income-statement concept
// of the ordinary form (from the taxonomy's presentation linkbases) to an account of
// its own. Prints the best and the median time of the whole import and of the parse.

#include "control/ctlVevAre.h"
#include "model/Schema.h"
#include "platform/db/Connection.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/LogList.h"
#include "xbrl/DocumentoXbrl.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <pugixml.hpp>
#include <set>

namespace {

const QString Dati = QStringLiteral(KTR_XBRL_DATA "/");

// The file dialog gives the filing, every question is answered Yes.
class Risposte : public Dialogs {
public:
    explicit Risposte(QString file) : m_file(std::move(file)) {}
    int MsgBox(const QString&, int flags, const QString&) override { return (flags & 0x0F) == vb::vbYesNo ? vb::vbYes : vb::vbOK; }
    QString InputBox(const QString&, const QString&, const QString& proposta) override { return proposta; }
    QString OpenFile(const QString&, const QString&, const QString&) override { return m_file; }

private:
    QString m_file;
};

pugi::xml_document carica(const QString& nome)
{
    pugi::xml_document d;
    if (!d.load_file((Dati + nome).toLocal8Bit().constData())) qFatal("cannot read %s", qPrintable(nome));
    return d;
}

// Concepts of a presentation linkbase, in order.
std::vector<std::string> concetti(const QString& linkbase)
{
    std::vector<std::string> out;
    const pugi::xml_document d = carica(linkbase);
    for (const pugi::xpath_node n : d.select_nodes("//*[local-name()='loc']")) {
        const std::string href = n.node().attribute("xlink:href").value();
        const size_t p = href.find("#itcc-ci_");
        if (p != std::string::npos) out.push_back(href.substr(p + 9));
    }
    return out;
}

// Every monetary concept of the balance sheet and income statement becomes an account
// of chart 97 with the section its statement and balance give.
int preparaMappatura(Connection& c)
{
    const pugi::xml_document xsd = carica(QStringLiteral("taxonomy/2018-11-04/itcc-ci-2018-11-04.xsd"));
    std::map<std::string, std::string> saldi;
    for (const pugi::xpath_node n : xsd.select_nodes("//*[local-name()='element']")) {
        const pugi::xml_node e = n.node();
        if (std::string_view(e.attribute("type").value()) == "xbrli:monetaryItemType")
            saldi[e.attribute("name").value()] = e.attribute("xbrli:balance").value();
    }
    c.Execute("INSERT INTO QD40_VALUTE VALUES ('EUR', 'Euro')");
    c.Execute("INSERT INTO QD50_XBRLANAG VALUES ('http://www.infocamere.it/itnn/fr/itcc/ci/2018-11-04', '8')");
    c.Execute("INSERT INTO QD04_PDC VALUES ('97', 'Tassonomia 2018-11-04', NULL, 1)");
    c.BeginTrans();
    QSqlQuery def(c.database()), corr(c.database()), conto(c.database()), schema(c.database());
    def.prepare("INSERT INTO QD51_XBRLDEFANAG VALUES (8, ?, ?, ?, ?)");
    corr.prepare("INSERT INTO QD52_XBRLCORR VALUES (?, 8, '97', ?)");
    conto.prepare("INSERT INTO QD15_DEFPDC VALUES ('97', ?, ?, 1, ?, ?)");
    schema.prepare("INSERT INTO QD02_DEFSCHEMA VALUES ('KXCE97', ?, 'V', NULL)");
    std::set<std::string> fatti;
    int n = 0;
    for (const auto& [linkbase, stato] : {std::pair{"taxonomy/2018-11-04/itcc-ci-pre-sp-2018-11-04.xml", true},
                                          {"taxonomy/2018-11-04/itcc-ci-pre-ce-2018-11-04.xml", false}}) {
        for (const std::string& nome : concetti(QString::fromLatin1(linkbase))) {
            const auto s = saldi.find(nome);
            if (s == saldi.end() || !fatti.insert(nome).second) continue;
            const bool dare = s->second == "debit";
            const QString sezione = stato ? (dare ? "1" : "2") : (dare ? "4" : "5");
            const QString codice = QStringLiteral("%1-X-00-%2-").arg(stato ? (dare ? 'A' : 'P') : 'E').arg(++n, 3, 10, QLatin1Char('0'));
            def.addBindValue(n);
            def.addBindValue(QString::fromStdString("itcc-ci_" + nome));
            def.addBindValue(QString::fromStdString(nome));
            def.addBindValue(QString::fromStdString(s->second));
            corr.addBindValue(n);
            corr.addBindValue(codice);
            conto.addBindValue(codice);
            conto.addBindValue(QString::fromStdString(nome).left(80));
            conto.addBindValue(sezione);
            conto.addBindValue(n);
            schema.addBindValue(codice);
            if (!def.exec() || !corr.exec() || !conto.exec() || !schema.exec()) qFatal("mapping not written");
        }
    }
    c.CommitTrans();
    return n;
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int giri = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5;
    if (giri <= 0) {
        std::fprintf(stderr, "uso: bench_xbrl [giri]\n");
        return 2;
    }
    const QString filing = Dati + QStringLiteral("filings/ISTANZA02353550391.xbrl");

    std::vector<double> importazioni, letture;
    for (int giro = 0; giro < giri; ++giro) {
        QTemporaryDir dir;
        const QString database = dir.filePath("analisi.sqlite");
        int voci = 0;
        {
            Connection c(database);
            Schema::create(c);
            voci = preparaMappatura(c);
        }
        CGlobal global(std::make_unique<Connection>(database), "EUR", "KTRBench", dir.path());
        Risposte risposte(filing);
        ctlVevAre screen(risposte);
        screen.setCGlobal(&global);

        QElapsedTimer t;
        t.start();
        screen.ClickImportXBRL();
        screen.lwLog->flush();
        importazioni.push_back(double(t.nsecsElapsed()) / 1e6);
        if (global.Database().Connection().commits() != 1) qFatal("the import did not commit");

        t.restart();
        DocumentoXbrl documento;
        if (!documento.carica(DocumentoXbrl::sostituisciEntita(DocumentoXbrl::leggiTesto(filing)))) qFatal("not parsed");
        letture.push_back(double(t.nsecsElapsed()) / 1e6);

        if (giro == 0) {
            QSqlQuery q(global.Database().Connection().database());
            q.exec("SELECT COUNT(*), SUM(CASE WHEN QD07_VALOREINVALUTA <> 0 THEN 1 ELSE 0 END) FROM QD07_VALORIPDC");
            q.next();
            int posted = 0;
            for (int r = 0; r < screen.lwLog->rowCount(); ++r) posted += screen.lwLog->text(r, 0).isEmpty() ? 0 : 1;
            std::printf("mappatura: %d concetti; righe valori: %d (diverse da zero %d); fatti registrati: %d; log: %d righe\n", voci,
                        q.value(0).toInt(), q.value(1).toInt(), posted, screen.lwLog->rowCount());
        }
    }
    std::printf("importazione completa: migliore %7.1f ms, mediana %7.1f ms (%d giri)\n",
                *std::min_element(importazioni.begin(), importazioni.end()), mediana(importazioni), giri);
    std::printf("sola lettura XML     : migliore %7.1f ms, mediana %7.1f ms\n", *std::min_element(letture.begin(), letture.end()),
                mediana(letture));
    return 0;
}
