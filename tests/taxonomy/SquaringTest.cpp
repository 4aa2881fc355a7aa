#include "TaxonomySupport.h"
#include "TestDb.h"
#include "model/Schema.h"
#include "xbrl/taxonomy/TaxonomyFiles.h"
#include <QHash>
#include <functional>
#include <gtest/gtest.h>

// Whether the reference data makes filings square once posted: the assets (section 1) add
// up to the filing's TotaleAttivo, liabilities and equity (section 2) to minus its
// TotalePassivo, and the period, memorandum apart, to zero.
class SquaringTest : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDb>(GetParam(), TestDb::Schema);
        conn = db->open();
        Schema::loadTaxonomy(*conn);
    }
    std::unique_ptr<TestDb> db;
    std::unique_ptr<Connection> conn;
};

TEST_P(SquaringTest, RealFilingsSquareYearByYear)
{
    const struct {
        const char* file;
        const char* year;
        double totaleAttivo;  // as the filing states it
    } cases[] = {
        {"ISTANZA02353550391.xbrl", "2024", 36699547},
        {"ISTANZA02353550391.xbrl", "2023", 36525362},
        {"03072020211-31122020-20210726110513.xbrl", "2020", 122437},
        {"03072020211-31122021-20220530205759.xbrl", "2021", 120027},
        {"03072020211-31122021-20220530205759.xbrl", "2020", 122437},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.year);
        const Filing filing = readFiling(xbrlData(QStringLiteral("filings/") + QLatin1String(c.file)));
        const Posted posted = post(*conn, filing);
        const QString year = QLatin1String(c.year);
        ASSERT_EQ(filing.fact(QStringLiteral("itcc-ci:TotaleAttivo"), year), c.totaleAttivo);
        EXPECT_DOUBLE_EQ(posted.section(year, QStringLiteral("1")), c.totaleAttivo);
        EXPECT_DOUBLE_EQ(posted.section(year, QStringLiteral("2")), -filing.fact(QStringLiteral("itcc-ci:TotalePassivo"), year));
        EXPECT_DOUBLE_EQ(posted.section(year, QStringLiteral("4")) + posted.section(year, QStringLiteral("5")), 0);
        EXPECT_DOUBLE_EQ(posted.total(year), 0);
        // The result closes the income statement with the sign of a debit: a profit positive.
        EXPECT_DOUBLE_EQ(posted.byAccount.value(year).value(QStringLiteral("E-D-00-210-")),
                         filing.fact(QStringLiteral("itcc-ci:UtilePerditaEsercizio"), year));
        EXPECT_DOUBLE_EQ(posted.byAccount.value(year).value(QStringLiteral("P-A-09-000-")),
                         -filing.fact(QStringLiteral("itcc-ci:PatrimonioNettoUtilePerditaEsercizio"), year));
    }
}

// Each balance-sheet item the import posts equals its fact, signed by its section; the totals
// the filing reports beside their parts post nothing.
TEST_P(SquaringTest, EveryBalanceSheetItemIsItsFact)
{
    const Filing filing = readFiling(xbrlData(QStringLiteral("filings/ISTANZA02353550391.xbrl")));
    const Posted posted = post(*conn, filing);
    const taxonomy::Chart& chart = reference2018().charts.front();
    ASSERT_EQ(chart.form.chart, QStringLiteral("97"));
    int items = 0, totals = 0;
    for (const Fact& f : filing.facts) {
        const taxonomy::Account* a = chart.accountOf(f.name.mid(f.name.indexOf(QLatin1Char(':')) + 1));
        if (!a || a->code.startsWith(QLatin1Char('E'))) continue;
        if (a->rowType == 'V') {
            ++items;
            EXPECT_DOUBLE_EQ(posted.byAccount.value(f.year).value(a->code),
                             a->section == '2' ? -f.text.toDouble() : f.text.toDouble())
                << a->code.toStdString() << " " << f.year.toStdString();
        } else if (f.text.toDouble() != 0) {
            ++totals;
            EXPECT_FALSE(posted.byAccount.value(f.year).contains(a->code)) << a->code.toStdString();
        }
    }
    EXPECT_GT(items, 40);
    EXPECT_GT(totals, 20);
}

namespace {

// A filing of one form built from its calculation trees: every leaf a different amount,
// every total the sum of its parts, the result carried into equity and the balance sheet
// balanced on its accruals, so that only the reference data decides whether it squares.
Filing balancedFiling(const taxonomy::Form& form)
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
        for (const taxonomy::Arc& a : children[QStringLiteral("UtilePerditaEsercizio")])
            if (a.to == QLatin1String("RisultatoPrimaImposte") ||
                a.to == QLatin1String("ImposteRedditoEsercizioCorrentiDifferiteAnticipateTotaleImposteRedditoEsercizioCorrentiDif"
                                      "feriteAnticipate"))
                sum += a.weight * total(a.to);
        return sum;
    }();
    value[QStringLiteral("PatrimonioNettoUtilePerditaEsercizio")] = result;
    if (value.contains(QStringLiteral("PatrimonioNettoTerziUtilePerditaTerzi"))) {
        value[QStringLiteral("PatrimonioNettoTerziUtilePerditaTerzi")] = 0;
        value[QStringLiteral("RisultatoPertinenzaTerzi")] = 0;
        value[QStringLiteral("RisultatoPertinenzaGruppo")] = result;
    }
    value[QStringLiteral("PassivoRateiRisconti")] = 0;
    const double gap = total(QStringLiteral("TotaleAttivo")) - total(QStringLiteral("TotalePassivo"));
    value[QStringLiteral("PassivoRateiRisconti")] = gap;
    children.remove(QStringLiteral("UtilePerditaEsercizio"));  // the result stays as computed
    value[QStringLiteral("UtilePerditaEsercizio")] = result;

    Filing f;
    f.namespaceUri = reference2018().namespaceUri;
    f.schemaRef = QStringLiteral("itcc-ci-%1-2018-11-04.xsd").arg(form.prefix);
    for (const QString& c : order) {
        if (children.contains(c)) total(c);
        f.facts.push_back({QStringLiteral("itcc-ci:") + c, QStringLiteral("2024"), QString::number(value.value(c), 'f', 0), 0});
    }
    return f;
}

}  // namespace

TEST_P(SquaringTest, BalancedFilingsOfEveryFormSquare)
{
    for (const taxonomy::Form& form : options2018().forms) {
        SCOPED_TRACE(form.chart.toStdString());
        const Filing filing = balancedFiling(form);
        const Posted posted = post(*conn, filing);
        const QString y = QStringLiteral("2024");
        EXPECT_DOUBLE_EQ(filing.fact(QStringLiteral("itcc-ci:TotaleAttivo"), y),
                         filing.fact(QStringLiteral("itcc-ci:TotalePassivo"), y));
        EXPECT_DOUBLE_EQ(posted.section(y, QStringLiteral("1")), filing.fact(QStringLiteral("itcc-ci:TotaleAttivo"), y));
        EXPECT_DOUBLE_EQ(posted.section(y, QStringLiteral("2")), -filing.fact(QStringLiteral("itcc-ci:TotalePassivo"), y));
        EXPECT_DOUBLE_EQ(posted.section(y, QStringLiteral("4")) + posted.section(y, QStringLiteral("5")), 0);
        EXPECT_DOUBLE_EQ(posted.total(y), 0);
        // Amounts the rules negate land with their true sign: a gain on exchange and the
        // income from tax consolidation are revenues, negative once posted.
        EXPECT_LT(posted.byAccount.value(y).value(QStringLiteral("E-C-00-172-")), 0);
        EXPECT_LT(posted.byAccount.value(y).value(QStringLiteral("E-D-00-200-d")), 0);
        EXPECT_GT(posted.byAccount.value(y).value(QStringLiteral("E-B-00-070-")), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, SquaringTest, ::testing::ValuesIn(TestDb::backends()),
                         [](const auto& info) { return info.param.toStdString(); });
