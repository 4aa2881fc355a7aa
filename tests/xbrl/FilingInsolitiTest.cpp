#include "XbrlFixture.h"

using namespace xbrlprova;

class FilingInsoliti : public XbrlFixture {};

// An odd number of contexts, an unused context read last in a year with stored values,
// a second context of a year.
TEST_P(FilingInsoliti, EachFactLandsInTheYearOfItsOwnContextAndUnusedContextsChangeNothing)
{
    const QString id = "03072020211";
    daImportare(documento(fatto("TotaleAttivo", "I2019", "70") + fatto("TotalePassivo", "I2019", "70"),
                          contesto("I2019", id, "2019-12-31")))
        .answerMessage(vb::vbYes);
    ASSERT_TRUE(importa());

    const QString contesti = contesto("I2020", id, "2020-12-31") + contesto("D2020", id, "2020-05-12|2020-12-31") +
                             contesto("S2020", id, "2020-12-31", "<xbrldi:explicitMember dimension=\"a:b\">a:c</xbrldi:explicitMember>") +
                             contesto("I2019", id, "2019-12-31") + contesto("X", "ALTRA", "31/12/2018");
    daImportare(documento(fatto("TotaleAttivo", "D2020", "100") + fatto("TotalePassivo", "S2020", "100"), contesti));
    ASSERT_TRUE(importa());
    EXPECT_EQ(box(), QStringList());  // no overwrite question for 2019
    EXPECT_EQ(valori("A-T-00-000-"), (QStringList{"2020|1|100|100", "2019|1|70|70"}));
    EXPECT_EQ(valori("P-T-00-000-"), (QStringList{"2020|1|-100|-100", "2019|1|-70|-70"}));
    EXPECT_EQ(righe("SELECT QD21_ANNO, QD21_NPERIODO FROM QD21_PERVALUTA ORDER BY 1"), (QStringList{"2019|1", "2020|1"}));
    EXPECT_TRUE(log().contains("|VERIFICA QUADRATURA 2020  EFFETTUATO CON SUCCESSO.|"));
}

TEST_P(FilingInsoliti, CurrencyIsTheFirstIsoMeasureNilFactsHaveNoValueDecimalPointsAreRead)
{
    const QString fatti = fatto("TotaleAttivo", "I2024", "53627.00", "2") +
                          "<itcc-ci:TotalePassivo contextRef=\"I2024\" unitRef=\"u\" xsi:nil=\"true\"/>\n" +
                          "<itcc-ci:TotaleAttivo contextRef=\"I2024\" unitRef=\"u\" xsi:nil=\"1\"/>\n" +
                          fatto("TotalePassivo", "I2024", "53627", "0");
    QByteArray doc = documento(fatti, contestiDueAnni(), "itcc-ci-ese-2018-11-04.xsd", Ns2018, "xbrli:shares");
    doc.replace("</unit>", "</unit><unit id=\"e\"><measure>iso:EUR</measure></unit>");
    doc.replace("<xbrl ", "<xbrl xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:iso=\"http://www.xbrl.org/2003/iso4217\" ");
    daImportare(doc).answerMessage(vb::vbYes);
    ASSERT_TRUE(importa());
    EXPECT_EQ(box().size(), 1);  // the registration alone: no rate question
    EXPECT_EQ(valori("A-T-00-000-"), QStringList{"2024|1|53627|53627"});
    EXPECT_EQ(valori("P-T-00-000-"), QStringList{"2024|1|-53627|-53627"});
    EXPECT_EQ(righe("SELECT QD21_VALUTA, QD21_CAMBIO FROM QD21_PERVALUTA"), QStringList{"EUR|1"});
    EXPECT_EQ(righe("SELECT QD05_CODICEVALUTA_QD40 FROM QD05_DITTA WHERE QD05_PIVA = '09876543210'"), QStringList{"EUR"});
}

// The window's tool takes several files: "n / N" in the caption, each file in its own
// transaction, a file that fails does not stop the others, and a summary of one row per
// file closes the log; then the window is idle again. Master-data texts far beyond their
// columns are cut to them. Files handed over at start (opened with the program) are
// imported the same way; a stop asked for takes effect between files.
TEST_P(FilingInsoliti, TheWindowImportsSeveralFilesAndSumsThemUp)
{
    const QString lungo = QString("Ditta ").repeated(200000);
    const QString buono = scriviFile(host.filePath("buono.xbrl"),
                                 documento("<itcc-ci:DatiAnagraficiDenominazione contextRef=\"I2024\">" + lungo +
                                           "</itcc-ci:DatiAnagraficiDenominazione>" + fatto("TotaleAttivo", "I2024", "8") +
                                           fatto("TotalePassivo", "I2024", "8")));
    const QString rotto = scriviFile(host.filePath("rotto.xbrl"), "<xbrl>");
    daFile(rotto + "\n" + buono).answerMessage(vb::vbYes);
    EXPECT_EQ(importa(), 1);
    EXPECT_TRUE(screen->lblCaption->text().startsWith("2 / 2   Ditta Ditta")) << screen->lblCaption->text().toStdString();
    EXPECT_EQ(log().mid(log().size() - 3),
              (QStringList{"|Riepilogo: 2 file, 1 salvati, 1 non salvati|",
                           "|rotto.xbrl - Il file " + rotto + " non è un documento XBRL leggibile|non salvato",
                           "543210|buono.xbrl  2024|salvato"}));
    EXPECT_EQ(righe("SELECT QD05_RAGIONESOCIALE FROM QD05_DITTA WHERE QD05_PIVA = '09876543210'"), QStringList{lungo.left(120)});
    EXPECT_EQ(valori("A-T-00-000-"), QStringList{"2024|1|8|8"});
    QString stati;
    for (const char* t : {"tbNew", "tbOpen", "tbClose", "tbOK", "tbCancel", "tbExit", "tbPrint", "tbImportXBRL"})
        stati += screen->DS1->isToolEnabled(t) ? 'E' : 'D';
    EXPECT_EQ(stati, "EEEDDEDE");
    EXPECT_FALSE(screen->lblSuggerimento->isHidden());

    // Stopped while the first file asks: that file is saved, the next one is not started.
    screen->ClickClose();
    dialogs.clear();
    dialogs.answerMessage(vb::vbNo).answerMessage(vb::vbYes);  // not over period 1: a new period; then stop
    dialogs.setOnShown([&](const ScriptedDialogs::Box& b) {
        if (b.text.contains("Ricopro")) screen->DS1->click("tbClose");
    });
    screen->ImportaXBRL({buono, rotto});
    EXPECT_EQ(valori("A-T-00-000-"), (QStringList{"2024|1|8|8", "2024|2|8|8"}));
    EXPECT_EQ(log().mid(log().size() - 3), (QStringList{"543210|buono.xbrl  2024|salvato", "|rotto.xbrl - importazione interrotta|non importato",
                                                        "|Importazione interrotta dall'utente al termine del file 1 di 2|"}));
    EXPECT_TRUE(screen->DS1->isToolEnabled("tbImportXBRL"));
}

// Codes and names with quotes, separators, comments and other alphabets: the company row
// and every row that refers to it carry one code, a second import finds the company, and
// no other company's rows change.
TEST_P(FilingInsoliti, MasterDataWithQuotesKeepsOneCodeAndTouchesNothingElse)
{
    const qsizetype ditte0 = righe("SELECT QD05_CODICEDITTA FROM QD05_DITTA").size();
    QStringList scritti;  // each company's values as its own imports left them
    int n = 0;
    for (const QString identificativo : {"D'AMICO", "12'';--x", "a\\b\"c;", "' OR 1=1--", "Ωμέγα'ß"}) {
        SCOPED_TRACE(identificativo.toStdString());
        const QString nome = QString("Ditta %1 l'%2 \"--").arg(++n).arg(identificativo);
        const QString fatti = "<itcc-ci:DatiAnagraficiDenominazione contextRef=\"I2024\">" + nome.toHtmlEscaped() +
                              "</itcc-ci:DatiAnagraficiDenominazione>" + fatto("TotaleAttivo", "I2024", "5") +
                              fatto("TotalePassivo", "I2024", "5");
        const QByteArray doc = documento(fatti, contesto("I2024", identificativo.toHtmlEscaped(), "2024-12-31"));
        daImportare(doc).answerMessage(vb::vbYes);
        ASSERT_TRUE(importa());
        daImportare(doc).answerMessage(vb::vbNo);  // found again: the period is the question now
        ASSERT_TRUE(importa());
        EXPECT_EQ(box().size(), 2);
        EXPECT_TRUE(box().first().contains("Ricopro")) << box().join(";").toStdString();

        const QString piva = QString(identificativo).replace('\'', '`');
        const QStringList ditta = righe("SELECT QD05_CODICEDITTA, QD05_RAGIONESOCIALE FROM QD05_DITTA WHERE QD05_PIVA = " + StringaSQL(piva));
        ASSERT_EQ(ditta.size(), 1);
        const QString codice = ditta[0].section('|', 0, 0);
        EXPECT_EQ(codice, piva.right(6).trimmed());
        EXPECT_EQ(ditta[0].section('|', 1), QString(nome).replace('\'', '`'));
        const QString c = StringaSQL(codice);
        EXPECT_EQ(righe("SELECT COUNT(*) FROM QD08_DITTAMODELLO WHERE QD08_CODICEDITTA_QD05 = " + c), QStringList{"1"});
        EXPECT_EQ(righe("SELECT QD21_NPERIODO FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = " + c + " ORDER BY 1"),
                  (QStringList{"1", "2"}));
        EXPECT_EQ(righe("SELECT QD07_NPERIODO, QD07_VALOREORIGINALE FROM QD07_VALORIPDC WHERE QD07_CODICECONTO = 'A-T-00-000-' "
                        "AND QD07_CODICEDITTA_QD05 = " + c + " ORDER BY 1"),
                  (QStringList{"1|5", "2|5"}));
        scritti += righe("SELECT * FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = " + c);
    }
    EXPECT_EQ(righe("SELECT COUNT(*) FROM QD05_DITTA").first().toInt(), ditte0 + 5);
    // No import changed another company's values.
    scritti.sort();
    EXPECT_EQ(tabelle(conn(), {"QD07_VALORIPDC"}), scritti);
}

SU_OGNI_BACKEND(Backends, FilingInsoliti);
