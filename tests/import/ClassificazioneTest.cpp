#include "ScreenFixture.h"
#include <tuple>

TEST(Classificazione, SezioneDaLettera)
{
    for (auto [lettera, importo, sezione] :
         {std::tuple{"A", -5.0, "1"}, {"E", 0.0, "4"}, {"E", -0.01, "5"}, {"O", 1.0, "6"}, {"", 0.0, " "}, {"A ", 0.0, " "}})
        EXPECT_EQ(ctlVevAre::SezioneDaLettera(lettera, importo), sezione) << lettera << " " << importo;
}

TEST(Classificazione, ContoCreabile)
{
    for (auto [pdc, conto, standard, creabile] :
         {std::tuple{"KXPDC", "5799", true, true}, {"KXPDC", "9800", true, true}, {"KXPDC", "0151", true, true},
          {"KXPDC", "X101501", true, true}, {"KXPDC", "X101500", true, false}, {"KXPDC", "", true, false},
          {"KXPDC", "01", true, false}, {"kxpdc", "5601", true, false}, {"STD", "5601", true, false}, {"STD", "0150", false, true}})
        EXPECT_EQ(ctlVevAre::ContoCreabile(pdc, conto, standard), creabile) << pdc << " " << conto << " " << standard;
}

class SezioneConto : public ScreenFixture {};

TEST_F(SezioneConto, StoredSectionBlankOrNothing)
{
    conn().Execute("INSERT INTO QD15_DEFPDC VALUES ('STD', '7000', 'Senza sezione', 1, NULL, 30), "
                   "('STD', '7001', 'Sezione errata', 1, '3', 31), ('STD', 'O''K', 'Apostrofo', 1, '5', 32)");
    for (auto [pdc, conto, sezione] : {std::tuple{"STD", " 2010 ", "2"}, {"STD", "9010", "6"}, {"STD", "O'K", "5"},
                                       {"STD", "7000", " "}, {"STD", "7001", " "}, {"STD", "8888", ""}, {"KXPDC", "2010", ""}})
        EXPECT_EQ(screen->SezioneConto(pdc, conto), sezione) << pdc << " " << conto;
}
