#include "xbrl/DocumentoXbrl.h"
#include "xbrl/ImportazioneXbrl.h"
#include "xbrl/TabellaPeriodi.h"
#include "xbrl/Tassonomia.h"
#include <gtest/gtest.h>

TEST(TabellaPeriodi, AContextIdIsTakenOnceAndAsWritten)
{
    TabellaPeriodi t;
    ASSERT_TRUE(t.aggiungi("I2024", "IT1", QDate(2024, 12, 31)));
    EXPECT_FALSE(t.aggiungi("I2024", "IT1", QDate(2023, 12, 31)));
    EXPECT_EQ(t.righe().size(), 1u);
    EXPECT_EQ(t.contesto("i2024"), nullptr);
}

TEST(ImportazioneXbrl, FactsAreXmlDecimals)
{
    const std::tuple<const char*, int, double> numeri[] = {
        {"53627.00", 2, 53627}, {"12345", 2, 123.45}, {"-45", 0, -45}, {"+7.5", 0, 7.5}, {".5", 4, 0.5}, {" 1000 ", -3, 1000000},
    };
    for (const auto& [testo, decimali, atteso] : numeri) {
        double v = 0;
        EXPECT_TRUE(ImportazioneXbrl::leggiImporto(testo, decimali, v)) << testo;
        EXPECT_DOUBLE_EQ(v, atteso) << testo;
    }
    for (const char* testo : {"", "-", ".", "1.2.3", "1,5", "12a", "1e5", "INF", "١٢"}) {
        double v = 0;
        EXPECT_FALSE(ImportazioneXbrl::leggiImporto(testo, 0, v)) << testo;
    }
}

TEST(Tassonomia, CodeAndFirstPrefixFoundSelectChartModelAndSchema)
{
    const char* const casi[][3] = {
        {"8", "x/itcc-ci-micr-2018.xsd", "99 KXCE86 KXCE99"}, {"8", "itcc-ci-abbsemp-2018.xsd", "  "},
        {"3", "itcc-ci-abbsemp-2009.xsd", "87 KXCE86 KXCE87"}, {"6", "itcc-ci-micr-2014.xsd", "  "},
        {"8", "ITCC-CI-ESE-2018.xsd", "  "},                  {"5", "itcc-ci-abb-itcc-ci-ese-.xsd", "88 KXCE85 KXCE88"},
    };
    for (const auto& [codice, schemaRef, atteso] : casi) {
        const Tassonomia t = Tassonomia::riconosci(codice, schemaRef);
        EXPECT_EQ(t.versione + " " + t.modelloBase + " " + t.schema, atteso) << codice << schemaRef;
    }
}

TEST(DocumentoXbrl, HtmlEntitiesBecomeTheirCharactersAndNothingElseChanges)
{
    const char* const casi[][2] = {
        {"Citt&agrave; dell&rsquo;impresa &laquo;nota&raquo;", "Città dell’impresa «nota»"},
        {"&nbsp;&euro;&thetasym;&Yuml;&OElig;&alefsym;", "\u00a0€ϑŸŒℵ"},
        {"&amp;agrave; &lt; &#224; &AGRAVE; &agrave &thetasyms; &apos;", "&amp;agrave; &lt; &#224; &AGRAVE; &agrave &thetasyms; &apos;"},
    };
    for (const auto& [testo, atteso] : casi)
        EXPECT_EQ(QString::fromUtf8(DocumentoXbrl::sostituisciEntitaUtf8(testo)), QString::fromUtf8(atteso)) << testo;
}
