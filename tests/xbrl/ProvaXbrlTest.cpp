#include "XbrlFixture.h"

using namespace xbrlprova;

class ProvaXbrl : public XbrlFixture {};

// A trial run of a real filing goes all the way (registration, periods, facts and the
// balance checks that read the committed values back) and leaves the database as it was;
// the real run after it asks and logs the same.
TEST_P(ProvaXbrl, ATrialRunLogsAsTheRealOneAndWritesNothing)
{
    const QStringList prima = istantanea();
    conn().iniziaProva();
    daImportare(testoFiling("ISTANZA02353550391.xbrl")).answerMessage(vb::vbYes);
    EXPECT_TRUE(importa());
    const QStringList logProva = log(), boxProva = box();
    conn().fineProva();
    EXPECT_EQ(istantanea(), prima);
    EXPECT_TRUE(logProva.contains("|Importazione terminata con successo|"));

    screen->lwLog->clearRows();
    daImportare(testoFiling("ISTANZA02353550391.xbrl")).answerMessage(vb::vbYes);
    EXPECT_TRUE(importa());
    EXPECT_EQ(log(), logProva);
    EXPECT_EQ(box(), boxProva);
    EXPECT_NE(istantanea(), prima);
}

XBRL_BACKENDS(ProvaXbrl);
