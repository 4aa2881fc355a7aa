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

TEST(ImportazioneXbrl, FactsAreXmlDecimalsReadExactly)
{
    const std::tuple<const char*, int, qint64> numeri[] = {
        {"53627.00", 2, 536270000}, {"12345", 2, 1234500}, {"-45", 0, -450000}, {"+7.5", 0, 75000}, {".5", 4, 5000},
        {" 1000 ", -3, 10000000000}, {"7", 6, 0}, {"15", 5, 2}, {"99999999999999.9999", 0, 999999999999999999},
        {"922337203685477.5807", 0, std::numeric_limits<qint64>::max()}, {"0.00005", 0, 0}, {"0.00015", 0, 2},
    };
    for (const auto& [testo, decimali, atteso] : numeri) {
        Currency v;
        EXPECT_EQ(ImportazioneXbrl::leggiImporto(testo, decimali, v), vb::Importo::Letto) << testo;
        EXPECT_EQ(v.scaled(), atteso) << testo;
    }
    for (const char* testo : {"", "-", ".", "1.2.3", "1,5", "12a", "1e5", "INF", "١٢", "12 2437"}) {
        Currency v;
        EXPECT_EQ(ImportazioneXbrl::leggiImporto(testo, 0, v), vb::Importo::NonNumero) << testo;
    }
    Currency v;
    EXPECT_EQ(ImportazioneXbrl::leggiImporto("922337203685477.5808", 0, v), vb::Importo::FuoriScala);
    EXPECT_EQ(ImportazioneXbrl::leggiImporto("5", -30, v), vb::Importo::FuoriScala);
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
