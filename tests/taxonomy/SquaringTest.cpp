#include "../xbrl/XbrlFixture.h"
#include "TaxonomySupport.h"
#include "host/Batch.h"
#include "model/Schema.h"
#include "xbrl/taxonomy/TaxonomyFiles.h"
#include <QHash>
#include <QMap>
#include <cmath>
#include <functional>
#include <pugixml.hpp>

// Filings imported by the real command into a database as a new installation has it, and
// whether they square year by year against the filing's own totals.
namespace {

const QString Y2024 = "2024";

// What a filing states, read apart from the import: its top-level numeric facts by element
// and year of their context.
class Statements {
public:
    explicit Statements(const QString& path)
    {
        pugi::xml_document doc;
        if (!doc.load_file(QFile::encodeName(path).constData())) return;
        const pugi::xml_node root = doc.child("xbrl");
        QHash<QString, QString> yearOf;
        for (pugi::xml_node c : root.children("context")) {
            const pugi::xml_node period = c.child("period");
            const pugi::xml_node date = period.child("instant") ? period.child("instant") : period.child("endDate");
            const QString year = QString::fromUtf8(date.text().get()).trimmed().left(4);
            yearOf.insert(QString::fromUtf8(c.attribute("id").value()), year);
            if (!m_years.contains(year)) m_years << year;
        }
        for (pugi::xml_node f : root.children()) {
            const QString name = QString::fromUtf8(f.name());
            if (!f.attribute("unitRef") || !name.startsWith(QLatin1String("itcc-ci:"))) continue;
            m_values.insert(name.mid(8) + '|' + yearOf.value(QString::fromUtf8(f.attribute("contextRef").value())),
                            QString::fromUtf8(f.text().get()).trimmed().toDouble());
        }
    }
    const QStringList& years() const { return m_years; }
    double value(const QString& element, const QString& year, double missing = std::nan("")) const { return m_values.value(element + '|' + year, missing); }

private:
    QStringList m_years;
    QHash<QString, double> m_values;
};

// A filing of one form built from its calculation trees: every leaf a different amount,
// every total the sum of its parts, the result carried into equity and the balance sheet
// balanced on its accruals, so that only the reference data decides whether it squares.
QByteArray balancedFiling(const taxonomy::Form& form, const QString& vat)
{
    const taxonomy::TaxonomyFiles files(options2018().taxonomyFolder);
    const taxonomy::EntryPoint ep = files.entryPoint(form.prefix);
    QHash<QString, std::vector<taxonomy::Arc>> children;
    QStringList order;  // parents after their parts
    for (const taxonomy::Linkbase& lb : ep.calculation)
        for (const taxonomy::ExtendedLink& l : lb.links)
            for (const taxonomy::Arc& a : l.arcs) {
                children[a.from].push_back(a);
                for (const QString& c : {a.to, a.from})
                    if (!order.contains(c)) order << c;
            }
    QHash<QString, double> value;
    int n = 0;
    for (const QString& c : order)
        if (!children.contains(c)) value[c] = 1000 + 37 * ++n;
    std::function<double(const QString&)> total = [&](const QString& c) -> double {
        if (!children.contains(c)) return value.value(c);
        double sum = 0;
        for (const taxonomy::Arc& a : children[c]) sum += a.weight * total(a.to);
        return value[c] = sum;
    };
    // Children of the result that break it down otherwise (group and minorities) are set to
    // match it, as a filing must.
    const double result = [&] {
        double sum = 0;
        for (const taxonomy::Arc& a : children["UtilePerditaEsercizio"])
            if (a.to == QLatin1String("RisultatoPrimaImposte") ||
                a.to == QLatin1String("ImposteRedditoEsercizioCorrentiDifferiteAnticipateTotaleImposteRedditoEsercizioCorrentiDif"
                                      "feriteAnticipate"))
                sum += a.weight * total(a.to);
        return sum;
    }();
    value["PatrimonioNettoUtilePerditaEsercizio"] = result;
    if (value.contains("PatrimonioNettoTerziUtilePerditaTerzi")) {
        value["PatrimonioNettoTerziUtilePerditaTerzi"] = 0;
        value["RisultatoPertinenzaTerzi"] = 0;
        value["RisultatoPertinenzaGruppo"] = result;
    }
    value["PassivoRateiRisconti"] = 0;
    value["PassivoRateiRisconti"] = total("TotaleAttivo") - total("TotalePassivo");
    children.remove("UtilePerditaEsercizio");  // the result stays as computed
    value["UtilePerditaEsercizio"] = result;

    // The instance: the master data, then the balance sheet at the year's end and the
    // income statement over the year.
    const taxonomy::Chart& chart = chartOf(form.chart);
    QString facts = QString("<itcc-ci:DatiAnagraficiDenominazione contextRef=\"I2024\">Prova %1</itcc-ci:DatiAnagraficiDenominazione>\n"
                            "<itcc-ci:DatiAnagraficiPartitaIva contextRef=\"I2024\">%2</itcc-ci:DatiAnagraficiPartitaIva>\n").arg(form.prefix, vat);
    for (const QString& c : order) {
        if (children.contains(c)) total(c);
        const taxonomy::Account* a = chart.accountOf(c);
        facts += xbrlprova::fatto(c, a && a->code.startsWith('E') ? "D2024" : "I2024", QString::number(value.value(c), 'f', 0));
    }
    return xbrlprova::documento(facts, xbrlprova::contesto("I2024", vat, "2024-12-31") + xbrlprova::contesto("D2024", vat, "2024-01-01|2024-12-31"),
                                QString("itcc-ci-%1-2018-11-04.xsd").arg(form.prefix), reference2018().namespaceUri);
}

}  // namespace

class SquaringTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override { SALTA_SENZA(GetParam()); }
    void freshDatabase()
    {
        global.reset();
        db = std::make_unique<TestDb>(GetParam(), TestDb::Schema);
        Schema::loadTaxonomy(*db->open());
        global = std::make_unique<CGlobal>(db->open(), "EUR", "KTRTest", db->folder());
    }
    Connection& conn() { return global->Database().Connection(); }

    // ktr --import-xbrl FILE --answer yes
    int import(const QString& file)
    {
        BatchOptions options;
        options.file = file;
        options.answerYes = true;
        u = catturata([&] { return Batch::importaXbrl(*global, options); });
        return u.codice;
    }

    QStringList rows(const QString& sql) { return rowsOf(conn(), sql); }
    // A company's posted values of a year, by account.
    QMap<QString, double> byAccount(const QString& company, const QString& year)
    {
        QMap<QString, double> result;
        for (const QString& r : rows("SELECT QD07_CODICECONTO, QD07_VALOREORIGINALE FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = " +
                                     StringaSQL(company) + " AND QD07_ANNO = " + StringaSQL(year)))
            result.insert(r.section('|', 0, 0), r.section('|', 1).toDouble());
        return result;
    }
    // Every year of the statements squares as posted for the company on the chart.
    void expectSquares(const Statements& s, const QString& company, const taxonomy::Chart& chart)
    {
        for (const QString& year : s.years()) {
            SCOPED_TRACE(year.toStdString());
            EXPECT_TRUE(u.out.contains(QString("LOG \tVERIFICA QUADRATURA %1  EFFETTUATO CON SUCCESSO.\t\t-\tH").arg(year)))
                << u.out.join('\n').toStdString();
            // Leaves carry their fact, signed by section; totals stay empty beside their parts.
            const QMap<QString, double> accounts = byAccount(company, year);
            double sections[2] = {0, 0};
            int items = 0;
            for (const taxonomy::Account& a : chart.accounts) {
                if (a.section != '1' && a.section != '2') continue;
                const double fact = s.value(a.element, year, 0);
                const double expected = a.rowType != 'V' ? 0 : a.section == '2' ? -fact : fact;
                EXPECT_TRUE(accounts.contains(a.code)) << a.code.toStdString();
                EXPECT_DOUBLE_EQ(accounts.value(a.code), expected) << a.code.toStdString();
                sections[a.section - '1'] += accounts.value(a.code);
                items += a.rowType == 'V' && fact != 0;
            }
            EXPECT_GE(items, 5);
            EXPECT_DOUBLE_EQ(sections[0], s.value("TotaleAttivo", year));
            EXPECT_DOUBLE_EQ(sections[1], -s.value("TotalePassivo", year));
            // The result closes the income statement as a debit: a profit positive.
            EXPECT_DOUBLE_EQ(accounts.value("E-D-00-210-"), s.value("UtilePerditaEsercizio", year));
        }
    }

    std::unique_ptr<TestDb> db;
    std::unique_ptr<CGlobal> global;
    Uscita u;
};

TEST_P(SquaringTest, RealFilingsImportAndSquareYearByYearAndOverwriteInPlace)
{
    const struct {
        const char* file;
        const char* vat;  // DatiAnagraficiPartitaIva, else the context identifier
        const char* company;
        const char* name;
        const char* chart;
        QStringList years;  // as the filing states them
    } cases[] = {
        {"ISTANZA02353550391.xbrl", "02353550391", "550391", "PUCCI S.R.L.", "97", {"2024", "2023"}},
        {"03072020211-31122020-20210726110513.xbrl", "03072020211", "020211", "ANIMESHON SRL", "99", {"2020"}},
        {"03072020211-31122021-20220530205759.xbrl", "03072020211", "020211", "ANIMESHON", "99", {"2021", "2020"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        freshDatabase();
        const QString file = xbrlData(QStringLiteral("filings/") + QLatin1String(c.file));
        const Statements s(file);
        ASSERT_EQ(s.years(), c.years);

        ASSERT_EQ(import(file), 0) << u.err.toStdString();
        EXPECT_EQ(rows("SELECT QD05_CODICEDITTA, QD05_PIVA, QD05_RAGIONESOCIALE, QD05_CODICEPDC_QD04 FROM QD05_DITTA"),
                  QStringList(QStringList{c.company, c.vat, c.name, c.chart}.join('|')));
        QStringList periods;
        for (const QString& y : c.years) periods << y + "|12|1";
        EXPECT_EQ(rows("SELECT QD21_ANNO, QD21_MESE, QD21_NPERIODO FROM QD21_PERVALUTA ORDER BY 1 DESC"), periods);
        expectSquares(s, QLatin1String(c.company), chartOf(QLatin1String(c.chart)));

        // Again, overwriting: each year's period is replaced, nothing added to it (the company is the only one).
        const auto stored = [&] { return tabelle(conn(), {"QD05_DITTA", "QD21_PERVALUTA", "QD07_VALORIPDC"}); };
        const QStringList first = stored();
        ASSERT_EQ(import(file), 0) << u.err.toStdString();
        EXPECT_EQ(u.out.filter("Ricopro ? -> yes").size(), c.years.size());
        EXPECT_EQ(u.out.filter("EFFETTUATO CON SUCCESSO").size(), c.years.size());
        EXPECT_EQ(stored(), first);
    }
}

// A balanced filing of every form imports and squares. The short forms let a filing give a
// grouped line without its parts: the amount is posted on the group's account, said so in the
// log, and the filing squares; a filing that gives the group and its parts is posted once, on
// the parts.
TEST_P(SquaringTest, BalancedFilingsOfEveryFormSquareAndGroupedLinesAreNotCountedTwice)
{
    freshDatabase();
    QTemporaryDir dir;
    const std::pair<const char*, std::vector<const char*>> gruppi[] = {
        {"CostiProduzionePersonaleTrattamentoFineRapportoTrattamentoQuiescenzaAltriCostiPersonale",
         {"CostiProduzionePersonaleTrattamentoFineRapporto", "CostiProduzionePersonaleTrattamentoQuiescenzaSimili",
          "CostiProduzionePersonaleAltriCosti"}},
        {"ValoreProduzioneVariazioniRimanenzeProdottiCorsoLavorazioneSemilavoratiFinitiLavoriCorsoOrdinazione",
         {"ValoreProduzioneVariazioniRimanenzeProdottiCorsoLavorazioneSemilavoratiFiniti",
          "ValoreProduzioneVariazioniLavoriCorsoOrdinazione"}},
        {"ProventiOneriFinanziariAltriProventiFinanziariTitoliIscrittiImmobilizzazioniNonCostituisconoPartecipazioniTitoliIscritti"
         "AttivoCircolanteNonCostituisconoPartecipazioni",
         {"ProventiOneriFinanziariAltriProventiFinanziariTitoliIscrittiImmobilizzazioniNonCostituisconoPartecipazioni",
          "ProventiOneriFinanziariAltriProventiFinanziariTitoliIscrittiAttivoCircolanteNonCostituisconoPartecipazioni"}},
    };
    std::vector<std::pair<taxonomy::Form, bool>> casi;  // the form, its grouped lines alone
    for (const taxonomy::Form& form : options2018().forms) casi.push_back({form, false});
    casi.push_back({options2018().forms.at(2), true});
    ASSERT_EQ(casi.back().first.prefix, "micr");
    int n = 0;
    for (const auto& [form, raggruppato] : casi) {
        SCOPED_TRACE(form.chart.toStdString() + (raggruppato ? " grouped lines alone" : ""));
        const QString vat = QString("0123456789%1").arg(++n);
        const QString company = vat.right(6);
        QStringList righe = QString::fromUtf8(balancedFiling(form, vat)).split('\n');
        if (raggruppato)
            for (const auto& [gruppo, parti] : gruppi)
                for (const char* parte : parti) righe.removeIf([&](const QString& r) { return r.startsWith(QString("<itcc-ci:%1 ").arg(QLatin1String(parte))); });
        const QString file = scriviFile(dir.filePath(vat + ".xbrl"), righe.join('\n').toUtf8());
        const Statements s(file);
        ASSERT_EQ(s.value("TotaleAttivo", Y2024), s.value("TotalePassivo", Y2024));

        ASSERT_EQ(import(file), 0) << u.err.toStdString();
        EXPECT_EQ(scalar(conn(), "SELECT QD05_CODICEPDC_QD04 FROM QD05_DITTA WHERE QD05_PIVA = " + StringaSQL(vat)).toString(), form.chart);
        expectSquares(s, company, chartOf(form.chart));
        // Amounts the rules negate land with their true sign: a gain on exchange and the
        // income from tax consolidation are revenues, negative once posted.
        const QMap<QString, double> accounts = byAccount(company, Y2024);
        EXPECT_LT(accounts.value("E-C-00-172-"), 0);
        EXPECT_LT(accounts.value("E-D-00-200-d"), 0);
        EXPECT_GT(accounts.value("E-B-00-070-"), 0);
        EXPECT_EQ(u.out.filter("Voce raggruppata senza dettaglio").size(), raggruppato ? 3 : 0);
        if (form.prefix != "micr") continue;
        const taxonomy::Chart& chart = chartOf(form.chart);
        for (const auto& [gruppo, parti] : gruppi) {
            const taxonomy::Account* g = chart.accountOf(QLatin1String(gruppo));
            ASSERT_TRUE(g) << gruppo;
            const double fatto = s.value(QLatin1String(gruppo), Y2024);
            ASSERT_NE(fatto, 0);
            EXPECT_DOUBLE_EQ(std::fabs(accounts.value(g->code)), raggruppato ? std::fabs(fatto) : 0) << gruppo;
            double sommaParti = 0;
            for (const char* parte : parti) sommaParti += std::fabs(accounts.value(chart.accountOf(QLatin1String(parte))->code));
            EXPECT_DOUBLE_EQ(sommaParti, raggruppato ? 0 : std::fabs(fatto)) << gruppo;
        }
    }
}

SU_OGNI_BACKEND(Backends, SquaringTest);
