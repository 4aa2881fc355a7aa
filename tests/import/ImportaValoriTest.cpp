#include "ImportFixture.h"

namespace {

const QString Ancora = QStringLiteral("L'Àncora Società Cooperativa");
const QString Caffe = QStringLiteral("Caffè dell'Università S.p.A.");

class ImportaValori : public ImportFixture {
protected:
    void SetUp() override
    {
        ImportFixture::SetUp();
        writeDef("ROSSI", "saldi.txt" + LayoutSaldi);
        writeDef("CAFFE", "caffe.txt" + LayoutSaldi);
        // Squares: assets 4 500 against liabilities 3 000, costs 2 500 against revenues 4 000.
        writeData("saldi.txt", righe({"Conto;Descrizione;Saldo;Sezione", "1010;Cassa;1500,00;A", "1020;Banca;2500,00;A",
                                      "2010;Debiti verso fornitori;-3000,00;P", "1400;Depositi cauzionali;500,00;A",
                                      "2910;Riserva legale;0;P", "4010;Ricavi delle vendite;-4000,00;E",
                                      "3010;Acquisti di merci;2500,00;E", "TOT;Totale;0;", "x", ""}));
    }
    QStringList valori(const QString& ditta = "R001")
    {
        return ImportFixture::valori(ditta, "QD07_CODICECONTO, QD07_VALOREINVALUTA, QD07_VALOREORIGINALE, QD07_NPERIODO");
    }
};

}  // namespace

TEST_P(ImportaValori, FreshPeriodThenOverwriteAndNewPeriodChoices)
{
    importa(Rossi, "2024", "Marzo");

    EXPECT_EQ(valori(), (QStringList{"1010|1500|1500|1", "1020|2500|2500|1", "2010|-3000|-3000|1", "1400|500|500|1",
                                     "2910|0|0|1", "4010|-4000|-4000|1", "3010|2500|2500|1"}));
    EXPECT_EQ(righeDb("SELECT QD15_DESCRIZIONE, QD15_LIVELLO, QD15_SEZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO = '1400'"),
              QStringList{"Depositi cauzionali|1|1"});
    EXPECT_EQ(righeDb("SELECT MIN(QD15_NUMRIGA), MAX(QD15_NUMRIGA), COUNT(DISTINCT QD15_NUMRIGA), COUNT(*) FROM QD15_DEFPDC "
                      "WHERE QD15_CODICEPDC_QD04 = 'STD'"),
              QStringList{"1|21|21|21"});
    EXPECT_EQ(righeDb("SELECT QD21_NPERIODO, QD21_VALUTA, QD21_DESCRIZIONE, QD21_STORICO, QD21_CAMBIO FROM QD21_PERVALUTA"),
              QStringList{QStringLiteral("1|EUR|Marzo/2024 (Periodo n° 1)|1|1")});
    // Where the period came from, written with it: the file as it was read.
    const auto dati = [this] { return "saldi.txt|" + impronta(workingFolder() + "/saldi.txt"); };
    const QString primo = dati();
    EXPECT_EQ(provenienze(), QStringList{"R001|2024|3|1|testo|" + primo + "|ROSSI|finestra|EUR|1|7|superata|0"});

    // The new account and the existing one without correlations.
    EXPECT_EQ(anomalie(0, 8), (QStringList{"R001|" + Rossi + "|0|1400|Depositi cauzionali|true|false|true|",
                                           "R001|" + Rossi + "|0|2910|Riserva legale|true|false|true|"}));

    EXPECT_EQ(box(), (QStringList{QStringLiteral("Anomalie: Attenzione sono state rilevate delle anomalie durante "
                                                 "l'importazione.\r\nPer visualizzare la lista anomalie effettuare la stampa. "),
                                  QStringLiteral("Importazione da kadro: Importazione terminata")}));
    EXPECT_EQ(screen->lblCaption->text(), Rossi + "   Marzo / 2024 [ EUR ]");

    // Again, No: a new period is announced; period 1 stays as it was.
    daCapo().answerMessage(vb::vbNo);
    importa(Rossi, "2024", "Marzo");
    EXPECT_EQ(box().mid(0, 2), (QStringList{screen->captionTitle() + ": Valori gia' presenti per \r\nquesto periodo, Ricopro ?",
                                            QStringLiteral("Importazione dati di bilancio: Periodo assegnato n° : 2")}));
    EXPECT_EQ(righeDb("SELECT QD07_NPERIODO, COUNT(*) FROM QD07_VALORIPDC GROUP BY 1 ORDER BY 1"), (QStringList{"1|7", "2|7"}));

    // Yes with two periods: only a whole number offered is taken; anything else asks again, naming the choices.
    writeData("saldi.txt", righe({"Conto;Descrizione;Saldo;Sezione", "1010;Cassa;10;A", "2010;Debiti;-10;P"}));
    daCapo().answerMessage(vb::vbYes).answerInput("1,9").answerInput("3").answerInput("2");
    importa(Rossi, "2024", "Marzo");
    const QString elenco = QStringLiteral("Selezionare il periodo da ricoprire : \r\n"
                                          "N° 1 Marzo/2024 (Periodo n° 1)\r\nN° 2 Marzo/2024 (Periodo n° 2)\r\n");
    const auto ancora = [&](const char* risposta) {
        return QStringLiteral("Selezione Periodo: '%1' non è un periodo da ricoprire: indicare un numero di periodo da 1 a 2.\r\n")
                   .arg(QLatin1String(risposta)) + elenco;
    };
    EXPECT_EQ(box().mid(1, 4), (QStringList{"Selezione Periodo: " + elenco, ancora("1,9"), ancora("3"),
                                            QStringLiteral("Importazione da kadro: Importazione terminata")}));
    EXPECT_EQ(dialogs.shown()[1].defaultAnswer, "1");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_NPERIODO = 1"), 7);
    EXPECT_EQ(valori().mid(7), (QStringList{"1010|10|10|2", "2010|-10|-10|2"}));
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD21_PERVALUTA"), 2);
    EXPECT_EQ(provenienze().mid(1), (QStringList{"R001|2024|3|2|testo|" + primo + "|ROSSI|finestra|EUR|1|7|superata|0",
                                                 "R001|2024|3|2|testo|" + dati() + "|ROSSI|finestra|EUR|1|2|superata|0"}));

    // A cancelled choice ends the import and writes nothing.
    const QStringList prima = istantanea();
    daCapo().answerMessage(vb::vbYes).answerInput("");
    importa(Rossi, "2024", "Marzo");
    EXPECT_EQ(istantanea(), prima);
    EXPECT_TRUE(box().contains(screen->captionTitle() + ": Importazione annullata: nessun periodo scelto da ricoprire."));
}

TEST_P(ImportaValori, DebitAndCreditColumnsFixedWidth)
{
    // Code 1-4, debit 5-12, credit 13-20, section 21, no descriptions.
    auto layout = [this](const char* sottrai) {
        writeDef("ANCORA", QByteArray("ancora.txt\r\n0\r\n1\r\n") + sottrai +
                               "\r\n0\r\n1\r\nC1\t0\t1\t4\r\nC2\t0\t5\t12\r\nC3\t0\t13\t20\r\nC8\t0\t21\t21\r\n");
    };
    layout("1");
    writeData("ancora.txt", righe({"1010  100,00   30,00A", "2010           70,00P", "5555   12,50        A", "1020                A"}));
    importa(Ancora, "2024", "Giugno");
    EXPECT_EQ(valori("A002"), (QStringList{"1010|70|70|1", "2010|-70|-70|1", "5555|12.5|12.5|1", "1020|0|0|1"}));
    // A new account without descriptions, and existing ones left as they were.
    EXPECT_EQ(righeDb("SELECT QD15_DESCRIZIONE, QD15_SEZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO IN ('5555', '1010') "
                      "ORDER BY QD15_CODICECONTO"),
              (QStringList{"Cassa|1", "**********|1"}));
    EXPECT_EQ(anomalie(3, 4), QStringList{"5555|"});
    EXPECT_TRUE(log().contains("5555|*** CONTO SENZA DESCRIZIONE ***|13"));

    // Without credit subtraction the credit adds up.
    layout("0");
    daCapo().answerMessage(vb::vbYes);
    importa(Ancora, "2024", "Giugno");
    EXPECT_EQ(valori("A002").first(), "1010|130|130|1");
}

TEST_P(ImportaValori, ForeignCurrencyIsDividedByTheRate)
{
    writeData("caffe.txt", righe({"h", "1010;Cassa;1000,00;A", "2010;;-1000;P"}));
    dialogs.answerMessage(vb::vbNo);  // the typed rate is not stored
    importa(Caffe, "2024", "Marzo", "1,25");
    EXPECT_EQ(box().mid(0, 1),
              QStringList{"Controllo cambio valute: Vuoi memorizzare il cambio inserito (1,25) per il periodo 3/2024 ?"});
    EXPECT_EQ(valori("C003"), (QStringList{"1010|1000|800|1", "2010|-1000|-800|1"}));
    EXPECT_EQ(righeDb("SELECT QD15_DESCRIZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO = '2010'"),
              QStringList{"*** CONTO SENZA DESCRIZIONE ***"});
    EXPECT_EQ(righeDb("SELECT QD21_VALUTA, QD21_CAMBIO FROM QD21_PERVALUTA"), QStringList{"USD|1.25"});
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD41_CAMBI WHERE QD41_ANNO = '2024'"), 0);

    // Stored on Yes, as the monthly rate.
    daCapo().answerMessage(vb::vbYes).answerMessage(vb::vbYes);
    importa(Caffe, "2024", "Marzo", "1,25");
    EXPECT_EQ(righeDb("SELECT QD41_MESE, QD41_CODICEVALUTA_DA, QD41_CODICEVALUTA_A, QD41_CAMBIO FROM QD41_CAMBI WHERE "
                      "QD41_ANNO = '2024'"),
              QStringList{"3|USD|EUR|1.25"});

    // Reopened, the period is saved again at its own rate, shown in the rate box.
    const auto riapri = [&] {
        screen->ClickOpen();
        screen->cmbDitte->choose(screen->cmbDitte->findText(Caffe));
        screen->cmbAnni->choose(screen->cmbAnni->findText("2024"));
        screen->cmbMesi->choose(screen->cmbMesi->findText("Marzo"));
    };
    conn().Execute("UPDATE QD41_CAMBI SET QD41_CAMBIO = 2");
    riapri();
    EXPECT_EQ(screen->txtCambio->text(), "1,25");
    EXPECT_FALSE(screen->txtCambio->isEnabled());
    daCapo().answerMessage(vb::vbYes);
    screen->ClickOk();
    EXPECT_EQ(valori("C003"), (QStringList{"1010|1000|800|1", "2010|-1000|-800|1"}));
    EXPECT_EQ(righeDb("SELECT QD21_CAMBIO FROM QD21_PERVALUTA"), QStringList{"1.25"});
    // A foreign-currency period without its rate asks for one, as a new import does.
    conn().Execute("UPDATE QD21_PERVALUTA SET QD21_CAMBIO = NULL");
    riapri();
    EXPECT_EQ(screen->txtCambio->text(), "2");
    EXPECT_TRUE(screen->txtCambio->isEnabled());
}

// Amounts are read as people write them, exactly to the fourth decimal, or the import is
// refused naming the file, the line and the text, with nothing written.
TEST_P(ImportaValori, AmountsAreReadAsWrittenOrRefusedNamingTheLine)
{
    const std::pair<const char*, const char*> letti[] = {
        {"1234.56", "1234.56"}, {"2.000", "2000"}, {"(1.250,40)", "-1250.4"}, {"1250.4-", "-1250.4"}, {"1 234,56", "1234.56"},
        {"1\u00A0234,56", "1234.56"}, {"1\u202F234,56", "1234.56"}, {"1'234,56", "1234.56"}, {"1'234.56", "1234.56"},
        {"\u2212500,00", "-500"}, {"\u2013 500", "-500"}, {"1,00005", "1"}, {"1,00015", "1.0002"}, {"1,00025", "1.0002"}, {"12,345650001", "12.3457"},
        {"", "0"}, {"   ", "0"},
    };
    QStringList linee{"h"};
    for (const auto& [testo, atteso] : letti) linee << QStringLiteral("1010;Cassa;%1;A").arg(QString::fromUtf8(testo));
    writeData("saldi.txt", (linee.join("\r\n") + "\r\n").toUtf8());  // U+2212 and U+202F are no Latin-1
    importa(Rossi, "2024", "Marzo");
    const QStringList stored = ImportFixture::valori("R001", "QD07_VALOREORIGINALE");
    ASSERT_EQ(stored.size(), qsizetype(std::size(letti)));
    for (size_t i = 0; i < std::size(letti); ++i) EXPECT_EQ(stored[qsizetype(i)], letti[i].second) << letti[i].first;

    // Not a number, or beyond what the database keeps exactly: refused at its line.
    const bool sqlite = GetParam() == QLatin1String("sqlite");
    const char* rifiutati[] = {"1 2,3", "1,5e3", "--5", "(1.234,56)-", "1,234.56", "1 234.567", "1'234 567", "abc",
                               sqlite ? "99999999999999,9999" : "922337203685477,5808", "1e300"};
    for (const char* testo : rifiutati) {
        writeData("saldi.txt", righe({"h", "1010;Cassa;1,00;A", QStringLiteral("2010;Debiti;%1;P").arg(QString::fromUtf8(testo))}));
        const QStringList prima = istantanea();
        daCapo().answerMessage(vb::vbYes);
        importa(Rossi, "2024", "Marzo");
        EXPECT_EQ(istantanea(), prima) << testo;
        EXPECT_TRUE(box().filter(QStringLiteral("Riga 3: importo '%1' ").arg(QString::fromUtf8(testo))).size() == 1) << testo;
        EXPECT_TRUE(box().filter("(file saldi.txt).").size() == 1) << testo;
    }
    // The largest amounts each database keeps are stored to the last decimal.
    const char* massimo = sqlite ? "99.999.999.999,9999" : "922.337.203.685.477,5807";
    writeData("saldi.txt", righe({"h", QStringLiteral("1010;Cassa;%1;A").arg(QLatin1String(massimo)),
                                  QStringLiteral("2010;Cassa;-%1;P").arg(QLatin1String(massimo))}));
    daCapo().answerMessage(vb::vbYes);
    importa(Rossi, "2024", "Marzo");
    EXPECT_EQ(ImportFixture::valori("R001", "CAST(QD07_VALOREORIGINALE AS VARCHAR(30))"),
              (sqlite ? QStringList{"99999999999.9999", "-99999999999.9999"}
                      : QStringList{"922337203685477.5807", "-922337203685477.5807"}));
}

TEST_P(ImportaValori, TypedRateIsReadAsWrittenAndAFarOneIsConfirmed)
{
    screen->txtCambio->setText("1.05");
    EXPECT_EQ(screen->lblCambioLetto->text(), QStringLiteral("letto come 1,05"));

    // The month's stored rate 1.08 is proposed; 105 typed is refused and posts nothing.
    writeData("caffe.txt", righe({"h", "1010;Cassa;2450;A", "2010;Debiti;-2450;P"}));
    conn().Execute("INSERT INTO QD41_CAMBI VALUES ('2024', 4, 'USD', 'EUR', 1.08)");
    dialogs.answerMessage(vb::vbNo);
    importa(Caffe, "2024", "Aprile", "105");
    EXPECT_EQ(box(), QStringList{"Controllo cambio valute: Il cambio digitato (105) è molto diverso da quello proposto (1,08). "
                                 "Confermi?"});
    EXPECT_EQ(dialogs.shown()[0].flags, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_MESE = 4"), 0);
    EXPECT_FALSE(screen->fraSelectPeriodo->isHidden());
    // Up to five times the proposal, either way, nothing is asked; beyond, the question.
    for (auto [digitato, chiede] : {std::pair{10.0, false}, {10.02, true}, {0.4, false}, {0.398, true}}) {
        daCapo().answerMessage(vb::vbNo);
        EXPECT_EQ(screen->ConfermaCambio(digitato, 2), !chiede) << digitato;
        EXPECT_EQ(dialogs.pending(), chiede ? 0 : 1) << digitato;
    }
    // Confirmed, a far rate is used.
    daCapo().answerMessage(vb::vbYes).answerMessage(vb::vbNo);
    importa(Caffe, "2024", "Aprile", "0,2");
    EXPECT_EQ(righeDb("SELECT QD21_CAMBIO FROM QD21_PERVALUTA WHERE QD21_MESE = 4"), QStringList{"0.2"});
}

// Past 32,767 anomalies an import still saves and prints them all. KTR_RIGHE_NUOVE=100000 runs a longer file.
TEST_P(ImportaValori, AFirstImportOfManyNewAccountsSavesAndPrintsThemAll)
{
    const int quante = std::max(33000, qEnvironmentVariableIntValue("KTR_RIGHE_NUOVE")) / 2 * 2;
    QStringList linee{"h"};
    for (int i = 0; i < quante; ++i)
        linee << QStringLiteral("N%1;Conto nuovo %1;%2;A").arg(i, 6, 10, QLatin1Char('0')).arg(i % 2 ? "-1,50" : "1,50");
    writeData("saldi.txt", righe(linee));
    importa(Rossi, "2024", "Marzo");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_CODICECONTO LIKE 'N%'"), quante);
    EXPECT_EQ(screen->m_NumAnomalie, quante);
    EXPECT_TRUE(screen->DS1->isToolEnabled("tbPrint"));

    daCapo();
    screen->StampaAnomalie();
    EXPECT_EQ(box(), QStringList{"Lista anomalie importazione: "});  // the preview
    EXPECT_GT(screen->m_Stampa->pagine(), quante / 40);
}

TEST_P(ImportaValori, FailuresHalfWayAreReportedAndLeaveTheDatabaseAsBefore)
{
    writeData("caffe.txt", righe({"h", "1010;Cassa;1000;A", "9999;Nuovo;50;A", "3010;Acquisti;abc;E", "1020;Banca;5;A"}));
    const QStringList prima = istantanea();
    dialogs.answerMessage(vb::vbNo);
    importa(Caffe, "2024", "Marzo", "1,25");
    EXPECT_EQ(istantanea(), prima);
    EXPECT_FALSE(conn().inTransaction());
    EXPECT_TRUE(box().contains(screen->captionTitle() + ": Riga 4: importo 'abc' non leggibile (file caffe.txt)."));
    // The line that stopped the import is named, also without an error of the connection.
    EXPECT_EQ(log().last(), "|** Errore alla riga 4: 3010;Acquisti;abc;E|");

    // Overwrites that fail: the period comes back whole each time.
    importa(Rossi, "2024", "Marzo");
    const QStringList importato = istantanea();
    // A refused row is logged with the engine's message and the line.
    rifiuta("rifiuta", "INSERT", "QD07_VALORIPDC", "NEW.QD07_CODICECONTO = '2010'", "conto rifiutato");
    daCapo().answerMessage(vb::vbYes);
    importa(Rossi, "2024", "Marzo");
    EXPECT_EQ(istantanea(), importato);
    EXPECT_EQ(log().filter(QRegularExpression("^\\|\\*\\* Error: .*conto rifiutato")).size(), 1);
    EXPECT_TRUE(log().contains("|** Errore alla riga 4: 2010;Debiti verso fornitori;-3000,00;P|"));

    // A failing statement of the opening is reported as a chart update failure.
    rifiuta("blocca", "DELETE", "QD21_PERVALUTA", "1 = 1", "bloccato");
    daCapo().answerMessage(vb::vbYes);
    importa(Rossi, "2024", "Marzo");
    EXPECT_EQ(istantanea(), importato);
    EXPECT_TRUE(log().contains("|** Error: Impossibile aggiornare Anagrafica PDC|"));

    const auto ricopri = [&] {
        daCapo().answerMessage(vb::vbYes);
        screen->ImportaValori();
        EXPECT_EQ(istantanea(), importato);
    };
    // A rate of 0 fails on the first line.
    togli("blocca", "QD21_PERVALUTA");
    screen->m_Valuta = "USD";
    screen->m_Cambio = 0;
    ricopri();
    EXPECT_TRUE(box().contains(screen->captionTitle() + ": Divisione per zero"));
    EXPECT_EQ(log().last(), "|** Errore alla riga 2: 1010;Cassa;1500,00;A|");

    // An amount the database would not keep exactly stops the import at its line.
    writeData("saldi.txt", righe({"h", "1010;Cassa;1500,00;A", "1020;Banca;" + QString(20, QLatin1Char('9')) + ";A"}));
    screen->m_Valuta = "EUR";
    ricopri();
    EXPECT_TRUE(box().last().contains("Riga 3: importo '99999999999999999999' oltre il massimo"));
    EXPECT_EQ(log().last(), "|** Errore alla riga 3: 1020;Banca;99999999999999999999;A|");

    // A refused line far into a long file is still the one named.
    QStringList lunghe{"h"};
    for (int i = 2; i <= 130; ++i) lunghe << (i == 77 ? "2010;Debiti verso fornitori;-3000,00;P" : "1010;Cassa;1,00;A");
    writeData("saldi.txt", righe(lunghe));
    ricopri();
    EXPECT_EQ(log().last(), "|** Errore alla riga 77: 2010;Debiti verso fornitori;-3000,00;P|");
}

TEST_P(ImportaValori, LinesAndCodesOutOfTheOrdinary)
{
    const QString lungo = QStringLiteral("123456789012345678901234");
    writeData("saldi.txt", righe({"h", "  ;Vuoto;5;A", "1", "O'Hara;Conto con apostrofo;10;A", "O'Hara;Di nuovo;5;A",
                                  lungo + ";Lungo;-15;P", "2020;Tributi;0;0", "1010;Cassa\f;0;A"}));
    importa(Rossi, "2024", "Marzo");
    EXPECT_EQ(valori(), (QStringList{"O'Hara|10|10|1", "O'Hara|5|5|1", "12345678901234567890|-15|-15|1", "2020|0|0|1",
                                     "1010|0|0|1"}));
    // The second O'Hara line finds the account the first one created and takes its description.
    EXPECT_EQ(righeDb("SELECT QD15_DESCRIZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO = 'O''Hara'"),
              QStringList{"Di nuovo"});
    EXPECT_EQ(righeDb("SELECT QD15_SEZIONE FROM QD15_DEFPDC WHERE QD15_CODICECONTO = '12345678901234567890'"),
              QStringList{"2"});
    // New O'Hara, O'Hara without correlations, the long code: section "0" posts as a blank.
    EXPECT_EQ(anomalie(3, 3), (QStringList{"O'Hara", "O'Hara", lungo}));
    EXPECT_TRUE(log().contains("1010|Cassa|0"));
}

TEST_P(ImportaValori, ClickOkChecksBeforeImporting)
{
    // A Kadro export for a company without Kadro code stops before posting anything.
    conn().Execute("UPDATE QD05_DITTA SET QD05_CODICEKADRO = NULL WHERE QD05_CODICEDITTA = 'C003'");
    writeDef("CAFFE", "QDMSIT" + LayoutSaldi);
    writeData("QDMSIT", righe({"h", "1010;Cassa;1;A"}));
    dialogs.answerMessage(vb::vbNo);
    importa(Caffe, "2024", "Marzo", "1,25");
    EXPECT_EQ(box().last(), "Importazione valori PDC: Attenzione ditta con Codice Kadro non inserito");
    EXPECT_EQ(conta("SELECT COUNT(*) FROM QD21_PERVALUTA"), 0);
    // No dead end: the window is idle again, the caption and log stay for reading.
    EXPECT_TRUE(screen->DS1->isToolEnabled("tbClose"));
    EXPECT_TRUE(screen->DS1->isToolEnabled("tbNew") && screen->DS1->isToolEnabled("tbImport"));
    EXPECT_FALSE(screen->fraLog->isHidden() || screen->lblSuggerimento->isHidden());
}

SU_OGNI_BACKEND(Db, ImportaValori);
