#include "xbrl/TabellaPeriodi.h"
#include "xbrl/Tassonomia.h"
#include <gtest/gtest.h>

TEST(TabellaPeriodi, RowsByKeyOrFirstFreeAndExtraKeysShareTheLast)
{
    for (auto [contesti, righe] : {std::pair{1, 1}, {3, 1}, {4, 2}, {5, 3}, {7, 3}, {10000, 5000}})
        EXPECT_EQ(righePerContesti(contesti), righe) << contesti;

    TabellaPeriodi t(3);
    auto tieni = [&](int r, const char* chiave, qint16 anno, const char* contesti) {
        t[r].identificativo = chiave;
        t[r].anno = anno;
        t[r].contesti = contesti;
    };
    tieni(0, "IT1", 2024, "I2024|D2024");
    t[1].contesti = "|D2023";  // a duration alone does not hold its row
    EXPECT_EQ(RigaPeriodo(t, "IT1", 2024), 0);
    EXPECT_EQ(RigaPeriodo(t, "IT1", 2023), 1);
    tieni(1, "IT1", 2023, "I2023|D2023");
    tieni(2, "IT2", 2024, "I2024b");
    EXPECT_EQ(RigaPeriodo(t, "IT2", 2024), 2);
    EXPECT_EQ(RigaPeriodo(t, "IT1", 2022), 2);  // no room: the last row

    for (auto [riferimento, riga] : {std::pair{"D2024", 0}, {"I2023", 1}, {"I2024b", 2}, {"i2023", 2}})
        EXPECT_EQ(RigaContesto(t, riferimento), riga) << riferimento;
    t[1].contesti = " ";
    EXPECT_EQ(RigaContesto(t, "X"), 1);  // the first row without contexts
}

TEST(Tassonomia, CodeAndFirstPrefixFoundSelectChartModelAndSchema)
{
    const char* const casi[][3] = {
        {"8", "x/itcc-ci-micr-2018.xsd", "99 KXCE86 KXCE99"}, {"8", "itcc-ci-abbsemp-2018.xsd", "  "},
        {"7", "itcc-ci-abbsemp-2016.xsd", "  "},              {"3", "itcc-ci-abbsemp-2009.xsd", "87 KXCE86 KXCE87"},
        {"6", "itcc-ci-micro-2014.xsd", "92 KXCE86 KXCE92"},  {"6", "itcc-ci-micr-2014.xsd", "  "},
        {"8", "ITCC-CI-ESE-2018.xsd", "  "},                  {"5", "itcc-ci-abb-itcc-ci-ese-.xsd", "88 KXCE85 KXCE88"},
    };
    for (const auto& [codice, schemaRef, atteso] : casi) {
        const Tassonomia t = Tassonomia::riconosci(codice, schemaRef);
        EXPECT_EQ(t.versione + " " + t.modelloBase + " " + t.schema, atteso) << codice << schemaRef;
    }
}
