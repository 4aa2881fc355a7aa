#include "ScreenFixture.h"
#include <utility>

TEST(Classificazione, SezioneDaLettera)
{
    const struct {
        const char* lettera;
        double importo;
        const char* sezione;
    } casi[] = {{"A", -5, "1"}, {"P", 5, "2"}, {"E", 0, "4"}, {"E", 0.01, "4"}, {"E", -0.01, "5"}, {"O", 1, "6"},
                {"e", 0, " "},  {"", 0, " "},  {" ", 0, " "}, {"A ", 0, " "},   {"X", 0, " "}};
    for (const auto& c : casi)
        EXPECT_EQ(ctlVevAre::SezioneDaLettera(QString::fromLatin1(c.lettera), c.importo), QLatin1String(c.sezione))
            << c.lettera << " " << c.importo;
}

TEST(Classificazione, FormattaCodiceCEE)
{
    const std::pair<const char*, const char*> casi[] = {
        {"  B0123456X ", "B--12-345-6X"}, {"B1234567", "B-1-23-456-7"}, {"C1", "C-1---"},
        {"", "----"},                     {"A 12345", "A--12-345-"},     {"D12345678901", "D-1-23-456-78901"},
    };
    for (const auto& [codice, atteso] : casi) {
        QString variabile = QString::fromLatin1(codice);
        EXPECT_EQ(ctlVevAre::FormattaCodiceCEE(variabile), QLatin1String(atteso)) << codice;
        EXPECT_EQ(variabile, QString::fromLatin1(codice).trimmed()) << "the caller's code is trimmed";
    }
}

TEST(Classificazione, ContoCreabile)
{
    const struct {
        const char* pdc;
        const char* conto;
        bool standard;
        bool creabile;
    } casi[] = {
        {"KXPDC", "5601", true, true},     {"KXPDC", "5799", true, true},     {"KXPDC", "9700", true, true},
        {"KXPDC", "9800", true, true},     {"KXPDC", "0150", true, false},    {"KXPDC", "0151", true, true},
        {"KXPDC", "X101501", true, true},  {"KXPDC", "X101500", true, false}, {"KXPDC", "", true, false},
        {"KXPDC", "01", true, false},      {"kxpdc", "5601", true, false},    {"STD", "5601", true, false},
        {"STD", "0150", false, true},      {"KXPDC", "0150", false, true},
    };
    for (const auto& c : casi)
        EXPECT_EQ(ctlVevAre::ContoCreabile(QString::fromLatin1(c.pdc), QString::fromLatin1(c.conto), c.standard), c.creabile)
            << c.pdc << " " << c.conto << " " << c.standard;
}

class SezioneConto : public ScreenFixture {};

TEST_F(SezioneConto, StoredSectionBlankOrNothing)
{
    conn().Execute("INSERT INTO QD15_DEFPDC VALUES ('STD', '7000', 'Senza sezione', 1, NULL, 30)");
    conn().Execute("INSERT INTO QD15_DEFPDC VALUES ('STD', '7001', 'Sezione errata', 1, '3', 31)");
    conn().Execute("INSERT INTO QD15_DEFPDC VALUES ('STD', 'O''K', 'Apostrofo', 1, '5', 32)");
    EXPECT_EQ(screen->SezioneConto("STD", " 2010 "), "2");
    EXPECT_EQ(screen->SezioneConto("STD", "9010"), "6");
    EXPECT_EQ(screen->SezioneConto("STD", "O'K"), "5");
    EXPECT_EQ(screen->SezioneConto("STD", "7000"), " ");
    EXPECT_EQ(screen->SezioneConto("STD", "7001"), " ");
    EXPECT_EQ(screen->SezioneConto("STD", "8888"), "");
    EXPECT_EQ(screen->SezioneConto("KXPDC", "2010"), "");
}
