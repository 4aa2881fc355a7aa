#include "ImportFixture.h"

using Esportazioni = ImportFixture;

TEST_P(Esportazioni, KadroPostsEveryLineOfTheCompanyAndMonth)
{
    writeData("kadro.txt", righe({"h", "1010;Cassa;100;A;;15;31032024;1", "TOT;Totale;5;A;;12;31032024;1",
                                  "1010;Cassa;1500;A;;12;31032024;1", "2011;Debiti diversi;-1500;p;;12;31032024;1",
                                  "1020;Banca;7;A;;15;31032024;1", "4011;Ricavi diversi;-200;Z;;12;31032024;1",
                                  "3010;Acquisti;200;E;;12;31032024;1"}));
    motore(false, 12, "R001", "STD", 2024, 3);
    EXPECT_EQ(valori("R001"), (QStringList{"1010|1500|1", "2011|-1500|1", "4011|-200|1", "3010|200|1"}));
    // Letters other than the four, lower case included, give no section.
    EXPECT_EQ(righeDb("SELECT QD15_CODICECONTO, QD15_SEZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO IN ('2011', '4011') ORDER BY 1"),
              (QStringList{"2011| ", "4011| "}));
    EXPECT_EQ(log().first(), "1010|Cassa|1.500");
    EXPECT_EQ(log().last(), "|Importazione terminata con successo|");
    EXPECT_TRUE(log().contains("|VERIFICA QUADRATURA 2024  EFFETTUATO CON SUCCESSO.|"));
    EXPECT_EQ(provenienze(), QStringList{"R001|2024|3|1|Kadro|kadro.txt|" + impronta(workingFolder() + "/kadro.txt") +
                                         "|QDMSIT|finestra|EUR|1|4|superata|0"});
    // New accounts without a model to copy from are noted as posted.
    EXPECT_EQ(anomalie(), (QStringList{"12|2011|Debiti diversi|true|false|false", "12|4011|Ricavi diversi|true|false|false"}));
    EXPECT_EQ(anomalie(9, 11), (QStringList{"2024|3|1", "2024|3|1"}));  // the printout's month/year and period
}

// On a standard chart only the open ranges receive accounts; later lines see the copies, and
// copying again replaces what the account had.
TEST_P(Esportazioni, KadroCreatesAccountsWhereAllowedFromTheirModelAndCopiesReplace)
{
    conn().Execute("UPDATE QD03_CORRELAZIONE SET QD03_PERCENTUALE = 0.5 WHERE QD03_CODICEPDC_QD04 = 'KXPDC' AND "
                   "QD03_CODICECONTO = '6200' AND QD03_NUMRIGA = 230");
    writeData("kadro.txt", righe({"h", "0150;Rifiutato;10;O;;30;31122025;2", "5710;Ricavi per lavori;-8000;E;5700;30;31122025;2",
                                  "9710;Sopravvenienze;-500;E;;30;31122025;2", "5720;Ricavi propri;-1;E;5720;30;31122025;2",
                                  "6300;Noleggi;4800;E;6200;30;31122025;2", "6300;Noleggi bis;100;E;6200;30;31122025;2",
                                  "5700;Ricavi;3601;E;5700;30;31122025;2"}));
    motore(false, 30, "B005", "KXPDC", 2025, 12);
    EXPECT_EQ(valori("B005"), (QStringList{"5710|-8000|1", "9710|-500|1", "5720|-1|1", "6300|4800|1", "6300|100|1", "5700|3601|1"}));
    EXPECT_FALSE(log().join('\n').contains("0150"));
    EXPECT_EQ(righeDb("SELECT QD15_CODICECONTO, QD15_SEZIONE, QD15_DESCRIZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO IN "
                      "('0150', '5710', '9710', '5720', '6300') ORDER BY 1"),
              (QStringList{"5710|5|Ricavi per lavori", "5720|5|Ricavi propri", "6300|4|Noleggi", "9710|5|Sopravvenienze"}));
    EXPECT_EQ(anomalie(), (QStringList{"30|0150|Rifiutato|false|true|true", "30|9710|Sopravvenienze|true|false|true",
                                       "30|5720|Ricavi propri|true|false|true"}));
    // Copies with the host's flags; the percentage of one half written with a point.
    EXPECT_EQ(righeDb("SELECT QD03_CODICECONTO, QD03_DAREAVERE, QD03_NUMRIGA, QD03_PERCENTUALE, QD03_CORRAR, QD03_CORROP FROM "
                      "QD03_CORRELAZIONE WHERE QD03_CODICECONTO IN ('5710', '6300') ORDER BY 1, 3"),
              (QStringList{"5710|A|210|100|0|1", "6300|D|230|0.5|1|0", "6300|D|240|50|1|0"}));
    EXPECT_EQ(righeDb("SELECT QD30_CODICECONTO, QD30_NUMRIGA, QD30_PERIODO, QD30_TIPOFLUSSO FROM QD30_CORRSCHEMI_FLUSSI WHERE "
                      "QD30_CODICECONTO IN ('5710', '6300') ORDER BY 1"),
              (QStringList{"5710|10|0|1", "6300|20|0|1"}));

    conn().BeginTrans();
    EXPECT_TRUE(screen->CopiaCorrelazioni("KXPDC", "6300", "6200", "A"));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD03_CORRELAZIONE WHERE QD03_CODICECONTO = '6300'"), 2);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD30_CORRSCHEMI_FLUSSI WHERE QD30_CODICECONTO = '6300'"), 1);

    // A model without reporting correlations: they go, the cash-flow ones stay.
    EXPECT_FALSE(screen->CopiaCorrelazioni("KXPDC", "6300", "6100X", "E"));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD03_CORRELAZIONE WHERE QD03_CODICECONTO = '6300'"), 0);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD30_CORRSCHEMI_FLUSSI WHERE QD30_CODICECONTO = '6300'"), 1);

    // Reporting correlations without cash-flow ones: true for an income-statement line only.
    EXPECT_TRUE(screen->CopiaCorrelazioni("KXPDC", "6300", "6100", "E"));
    EXPECT_FALSE(screen->CopiaCorrelazioni("KXPDC", "6300", "6100", "A"));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD30_CORRSCHEMI_FLUSSI WHERE QD30_CODICECONTO = '6300'"), 0);

    // A statement that fails is skipped and the transaction goes on, also on PostgreSQL.
    rifiuta("rifiuta", "INSERT", "QD03_CORRELAZIONE", "NEW.QD03_NUMRIGA = 230", "riga rifiutata");
    EXPECT_TRUE(screen->CopiaCorrelazioni("KXPDC", "6300", "6200", "E"));
    EXPECT_EQ(righeDb("SELECT QD03_NUMRIGA FROM QD03_CORRELAZIONE WHERE QD03_CODICECONTO = '6300'"), QStringList{"240"});
    conn().CommitTrans();
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD30_CORRSCHEMI_FLUSSI WHERE QD30_CODICECONTO = '6300'"), 1);
}

TEST_P(Esportazioni, CEEPostsOnlyAccountsOfTheChart)
{
    const QString piano = "SELECT QD15_CODICECONTO, QD15_DESCRIZIONE, QD15_SEZIONE FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04 = 'CEE' ORDER BY 1";
    const QStringList pdc = righeDb(piano);
    writeData("cee.txt", righe({"h", "AC04010;Depositi;1000;A;40;31122025;3", "OA01010;Beni di terzi;500;O;40;31122025;3",
                                "  EA00010 ;;-1000;e;40;31122025;3", "AC04010;Depositi;9;A;41;31122025;3"}));
    motore(true, 40, "V006", "CEE", 2025, 12);
    EXPECT_EQ(valori("V006"), (QStringList{"A-C-04-010-|1000|1", "E-A-00-010-|-1000|1"}));
    EXPECT_EQ(righeDb(piano), pdc);
    EXPECT_EQ(anomalie(), QStringList{"40|O-A-01-010-|Beni di terzi|false|true|true"});
    EXPECT_TRUE(log().contains("E-A-00-010-||-1.000"));  // a blank description stays blank
    EXPECT_EQ(log().last(), "|Importazione terminata con successo|");
    EXPECT_EQ(provenienze(), QStringList{"V006|2025|12|1|CEE|cee.txt|" + impronta(workingFolder() + "/cee.txt") +
                                         "|QDCEE|finestra|EUR|1|2|superata|0"});
}

// Lines of companies 12, 12, 15, 12 in one month: two engine calls, 12's posting both of
// its blocks into one period.
TEST_P(Esportazioni, AutomaticImportCallsTheEngineOncePerCompanyAndMonth)
{
    // 15's block starts after a line the rules reject.
    writeData("kadro.txt", righe({"h", "1010;Cassa;100;A;;12;31032024;1", "2010;Debiti;-100;P;;12;31032024;1",
                                  "TOT;Totale;0;A;;15;31032024;1", "1010;Cassa;50;A;;15;31032024;1", "2010;Debiti;-50;P;;15;31032024;1",
                                  "1010;Cassa;70;A;;12;31032024;1", "2010;Debiti;-70;P;;12;31032024;1"}));
    screen->ClickImport();
    EXPECT_EQ(valori("R001"), (QStringList{"1010|100|1", "2010|-100|1", "1010|70|1", "2010|-70|1"}));
    EXPECT_EQ(valori("A002"), (QStringList{"1010|50|1", "2010|-50|1"}));
    EXPECT_EQ(box().last(), "Importazione da kadro: Importazione terminata\r\nGruppi salvati: 2 su 2");
    // The log of the last group ends with the run's summary, one highlighted row per group.
    EXPECT_EQ(log().last(), "A002|L'Àncora Società Cooperativa  3/2024  periodo 1|salvato");
    EXPECT_EQ(screen->lblCaption->text(), "gruppo 2 / 2   L'Àncora Società Cooperativa   marzo / 2024 [ EUR ]");
}

// The base currency takes rate 1 without a question; a foreign one asks, proposing the web
// rate, until a number other than 0 is typed, and one far from the proposal is confirmed
// first. An unknown company or chart fails its own groups, named once in a box and each in
// the summary, and the run goes on.
TEST_P(Esportazioni, AutomaticImportRatesAndGoesPastAnUnknownCompanyOrChart)
{
    cambioWeb(1.08);
    writeData("kadro.txt", righe({"h", "1010;Cassa;100;A;;12;31032024;1", "2010;Debiti;-100;P;;12;31032024;1",
                                  "1010;Cassa;120;A;;20;31032024;1", "2010;Debiti;-120;P;;20;31032024;1",
                                  "1010;Cassa;1;A;;99;31032024;1", "1010;Cassa;1;A;;15;31032024;1", "2010;Debiti;-1;P;;15;31032024;1",
                                  "1010;Cassa;1;A;;99;30042024;1"}));
    dialogs.answerInput("").answerInput("abc").answerInput("0").answerInput("105").answerMessage(vb::vbNo).answerInput("1,2");
    screen->ClickImport();
    ASSERT_EQ(dialogs.shown().size(), 8);
    EXPECT_EQ(dialogs.shown()[0].text, "Digitare il cambio per la ditta Caffè dell'Università S.p.A. per il periodo 3/2024 da "
                                       "applicare per la conversione USD ==> EUR : ");
    EXPECT_EQ(dialogs.shown()[0].defaultAnswer, "1,08");
    EXPECT_EQ(dialogs.shown()[1].lettura, "non è un numero");
    EXPECT_EQ(dialogs.shown()[4].text, "Il cambio digitato (105) è molto diverso da quello proposto (1,08). Confermi?");
    EXPECT_EQ(dialogs.shown()[5].lettura, "letto come 1,2");
    EXPECT_EQ(valori("C003"), (QStringList{"1010|100|1", "2010|-100|1"}));
    EXPECT_EQ(righeDb("SELECT QD21_CODICEDITTA_QD05, QD21_CAMBIO FROM QD21_PERVALUTA ORDER BY 1"),
              (QStringList{"A002|1", "C003|1.2", "R001|1"}));
    EXPECT_EQ(box().mid(6), (QStringList{screen->captionTitle() + ": Ditta 99 non trovata",
                                         "Importazione da kadro: Importazione terminata\r\nGruppi salvati: 3 su 5"}));
    EXPECT_TRUE(log().contains("|Ditta 99  3/2024 - ditta 99 non trovata|non salvato"));
    EXPECT_TRUE(log().contains("|Ditta 99  4/2024 - ditta 99 non trovata|non salvato"));
    EXPECT_EQ(valori("A002"), (QStringList{"1010|1|1", "2010|-1|1"}));

    // A line's chart code that differs from the company's chart.
    writeData("kadro.txt", righe({"h", "1010;Cassa;1;A;;15;31032024;7", "1010;Cassa;1;A;;15;30042024;7", "1010;Cassa;5;A;;12;30042024;1",
                                  "2010;Debiti;-5;P;;12;30042024;1"}));
    daCapo();
    screen->ClickImport();
    EXPECT_EQ(box(), (QStringList{screen->captionTitle() + ": Attenzione ditta <L'ÀNCORA SOCIETÀ COOPERATIVA> con codice PDC non "
                                                           "corrispondente. Impossibile continuare",
                                  "Importazione da kadro: Importazione terminata\r\nGruppi salvati: 1 su 3"}));
    EXPECT_TRUE(log().contains("A002|L'Àncora Società Cooperativa  4/2024 - codice PDC non corrispondente|non salvato"));
    EXPECT_EQ(valori("A002"), (QStringList{"1010|1|1", "2010|-1|1"}));
}

TEST_P(Esportazioni, FailingGroupsAreNamedWithTheirLineAndAFullDiskStopsTheRun)
{
    const QStringList tre = {"h", "1010;Cassa;100;A;;12;31032024;1", "2010;Debiti;-100;P;;12;31032024;1",
                             "1010;Cassa;50;A;;15;31032024;1",   "2010;Debiti;-50;P;;15;31032024;1",
                             "0110;Cassa;70;A;;30;31032024;2",   "1110;Debiti;-70;P;;30;31032024;2"};
    writeData("kadro.txt", righe(tre));
    rifiuta("rifiuta", "INSERT", "QD07_VALORIPDC", "NEW.QD07_CODICEDITTA_QD05 = 'A002'", "valore rifiutato");
    screen->ClickImport();
    EXPECT_EQ(valori("R001"), (QStringList{"1010|100|1", "2010|-100|1"}));
    EXPECT_EQ(valori("A002"), QStringList{});
    EXPECT_EQ(valori("B005"), (QStringList{"0110|70|1", "1110|-70|1"}));
    EXPECT_EQ(box().last(), "Importazione da kadro: Importazione terminata\r\nGruppi salvati: 2 su 3");
    const QStringList riepilogo = log().mid(log().indexOf("|RIEPILOGO: gruppi salvati 2 su 3|"));
    ASSERT_EQ(riepilogo.size(), 4) << log().join('\n').toStdString();
    EXPECT_TRUE(riepilogo[2].startsWith("A002|L'Àncora Società Cooperativa  3/2024 - ") && riepilogo[2].contains("valore rifiutato") &&
                riepilogo[2].endsWith("|non salvato"))
        << riepilogo[2].toStdString();

    // An amount that is no number fails its group, named with its line; the run goes on.
    togli("rifiuta", "QD07_VALORIPDC");
    conn().Execute("DELETE FROM QD07_VALORIPDC");
    conn().Execute("DELETE FROM QD21_PERVALUTA");
    QStringList illeggibile = tre;
    illeggibile[3] = "1010;Cassa;5O;A;;15;31032024;1";
    writeData("kadro.txt", righe(illeggibile));
    daCapo();
    screen->ClickImport();
    EXPECT_EQ(screen->m_EsitoAutomatica.salvati, 2);
    EXPECT_TRUE(log().contains("A002|L'Àncora Società Cooperativa  3/2024 - Riga 4: importo '5O' non leggibile (file kadro.txt).|"
                               "non salvato"))
        << log().join('\n').toStdString();

    // The disk fills up at Àncora's group: Bianchi's is not tried, and no box follows.
    writeData("kadro.txt", righe(tre));
    rifiuta("pieno", "INSERT", "QD07_VALORIPDC", "NEW.QD07_CODICEDITTA_QD05 = 'A002'",
            "could not extend file: No space left on device");
    conn().Execute("DELETE FROM QD07_VALORIPDC");
    conn().Execute("DELETE FROM QD21_PERVALUTA");
    daCapo();
    screen->ClickImport();
    EXPECT_EQ(valori("B005"), QStringList{});
    EXPECT_EQ(box().filter("No space left on device").size(), 1) << box().join('\n').toStdString();
    const QString fine = "Importazione interrotta al gruppo 2 di 3: spazio su disco esaurito";
    EXPECT_EQ(box().last(), "Importazione da kadro: " + fine + "\r\nGruppi salvati: 1 su 3");
    EXPECT_EQ(log().mid(log().size() - 2), (QStringList{"B005|Bianchi Costruzioni S.r.l.  3/2024 - importazione interrotta|non importato",
                                                        "|" + fine + "|"}));
}

SU_OGNI_BACKEND(Db, Esportazioni);
