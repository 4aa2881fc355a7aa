#include "xbrl/RegoleConto.h"
#include "xbrl/TabellaPeriodi.h"
#include "xbrl/Tassonomia.h"
#include <gtest/gtest.h>

TEST(TabellaPeriodi, OneRowPerTwoContextsRoundedHalfToEven)
{
    for (auto [contesti, righe] : {std::pair{1, 1}, {2, 1}, {3, 1}, {4, 2}, {5, 3}, {7, 3}, {9, 5}, {10000, 5000}})
        EXPECT_EQ(righePerContesti(contesti), righe) << contesti;
}

TEST(TabellaPeriodi, RowsAreFoundByKeyOrFreeAndExtraKeysShareTheLast)
{
    EXPECT_EQ(RigaPeriodo(TabellaPeriodi(), "IT1", 2024), 0);
    TabellaPeriodi t(3);
    auto tieni = [&](int riga, const char* chiave, qint16 anno, const char* contesti) {
        t[riga].identificativo = chiave;
        t[riga].anno = anno;
        t[riga].contesti = contesti;
    };
    tieni(0, "IT1", 2024, "I2024|D2024");
    EXPECT_EQ(RigaPeriodo(t, "IT1", 2024), 0);
    EXPECT_EQ(RigaPeriodo(t, "IT1", 2023), 1);  // the first free row
    t[1].contesti = "|D2023";                   // a duration alone does not hold its row
    EXPECT_EQ(RigaPeriodo(t, "IT2", 2024), 1);
    tieni(1, "IT1", 2023, "I2023|D2023");
    tieni(2, "IT2", 2024, "I2024b");
    EXPECT_EQ(RigaPeriodo(t, "IT2", 2024), 2);
    EXPECT_EQ(RigaPeriodo(t, "IT1", 2022), 2);  // no room: the last row

    const std::pair<const char*, int> contesti[] = {{"D2024", 0}, {"I2023", 1}, {"I2024b", 2}, {"i2023", 2}, {"X", 2}};
    for (auto [riferimento, riga] : contesti) EXPECT_EQ(RigaContesto(t, riferimento), riga) << riferimento;
    t[1].contesti = " ";
    EXPECT_EQ(RigaContesto(t, "X"), 1);  // the first row without contexts
}

TEST(Tassonomia, CodeAndSchemaPrefixSelectChartModelAndSchema)
{
    const struct {
        const char *codice, *schemaRef, *versione, *modello, *schema;
    } casi[] = {
        {"8", "itcc-ci-ese-2018-11-04.xsd", "97", "KXCE85", "KXCE97"},
        {"8", "http://x/itcc-ci-micr-2018-11-04.xsd", "99", "KXCE86", "KXCE99"},
        {"8", "itcc-ci-abbsemp-2018-11-04.xsd", "", "", ""},
        {"7", "itcc-ci-abbsemp-2016-11-14.xsd", "", "", ""},
        {"3", "itcc-ci-abbsemp-2009.xsd", "87", "KXCE86", "KXCE87"},
        {"6", "itcc-ci-micro-2014.xsd", "92", "KXCE86", "KXCE92"},
        {"6", "itcc-ci-micr-2014.xsd", "", "", ""},
        {"7", "itcc-ci-micr-2016.xsd", "96", "KXCE86", "KXCE96"},
        {"6", "itcc-ci-cons-2014.xsd", "93CO", "KXCE85", "KXCO93"},
        {"8", "ITCC-CI-ESE-2018.xsd", "", "", ""},
        {"4", "itcc-ci-ese-2018.xsd", "", "", ""},
        {"5", "itcc-ci-abb-itcc-ci-ese-.xsd", "88", "KXCE85", "KXCE88"},  // the table's order decides
    };
    for (const auto& c : casi) {
        const Tassonomia t = Tassonomia::riconosci(c.codice, c.schemaRef);
        EXPECT_EQ(QStringList({t.versione, t.modelloBase, t.schema}), QStringList({c.versione, c.modello, c.schema}))
            << c.codice << " " << c.schemaRef;
    }
    EXPECT_TRUE(Tassonomia::riconosci("6", "itcc-ci-cons-").consolidato());
    EXPECT_FALSE(Tassonomia::riconosci("8", "itcc-ci-cons-").consolidato());
}

TEST(RegoleConto, SignsAndSubstitutionsOfTheSchemas)
{
    const struct {
        const char *codice, *schemaRef, *conto;
        double importo;
        const char* contoDopo;
        double importoDopo;
    } casi[] = {
        {"8", "itcc-ci-micr-", "A-B-01-020-", 10, "A-B-01-020-", -10},
        {"8", "itcc-ci-ese-", "A-B-01-020-", 10, "A-B-01-020-", 10},
        {"8", "itcc-ci-abb-", "A-B-02-030-", -4, "A-B-02-030-", 4},
        {"8", "itcc-ci-ese-", "P-A-09-000-b", -7, "P-A-09-000-b", 7},
        {"8", "itcc-ci-abb-", "P-A-09-000-b", -7, "P-A-09-000-b", -7},
        {"8", "itcc-ci-ese-", "E-E-00-220-c", 3, "E-E-00-220-c", -3},
        {"8", "itcc-ci-ese-", "E-E-00-220-d", 3, "E-E-00-220-d", -3},
        {"3", "itcc-ci-ese-", "E-B-00-100-d", 5, "E-B-00-100-d1", 5},
        {"8", "itcc-ci-ese-", "E-B-00-100-d", 5, "E-B-00-100-d", 5},
        {"6", "itcc-ci-cons-", "E-D-00-190-a", 5, "E-D-00-190-a2", 5},
        {"8", "itcc-ci-ese-", "O--02-010-", 5, "O--02-010-a", 5},
        {"8", "itcc-ci-ese-", "O--02-030-", 5, "O--02-030-a", 5},
        {"8", "itcc-ci-cons-", "E-C-00-172-", 5, "E-C-00-172-", -5},
        {"7", "itcc-ci-cons-", "E-C-00-160-d5", 5, "E-C-00-160-d5", -5},
        {"6", "itcc-ci-cons-", "E-C-00-172-", 5, "E-C-00-172-", 5},
        {"7", "itcc-ci-ese-", "E-D-00-200-d", 5, "E-D-00-200-d", -5},
        {"6", "itcc-ci-ese-", "E-D-00-200-d", 5, "E-D-00-200-d", 5},
    };
    for (const auto& c : casi) {
        QString conto = c.conto;
        double importo = c.importo;
        applicaRegoleConto(conto, importo, Tassonomia::riconosci(c.codice, c.schemaRef));
        EXPECT_EQ(conto, c.contoDopo) << c.codice << " " << c.conto;
        EXPECT_EQ(importo, c.importoDopo) << c.codice << " " << c.conto;
    }
}
