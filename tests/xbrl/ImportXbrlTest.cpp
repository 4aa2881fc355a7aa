#include "XbrlFixture.h"
#include <QRegularExpression>
#include <functional>

using namespace xbrlprova;

namespace {

const QString Ricopro = "Importazione valori PDC: Valori gia' presenti per \r\nil periodo %1/12  , Ricopro ?";
const QString Assegnato = "Importazione dati di bilancio: Periodo assegnato n° : %1";

QString anagraficaCompleta()
{
    const char* const dati[][2] = {
        {"Denominazione", "L'Ancora&nbsp;d'Oro S.r.l. &euro;"},
        {"Sede", "Via dell'Olmo 1, 20100 Milano, presso lo studio dell'avv. Rossi, scala B"},
        {"PartitaIva", "12345678901"}, {"CodiceFiscale", "RSSMRA80A01F205X"}, {"SettoreAttivitaPrevalenteAteco", "62.01"},
        {"FormaGiuridica", "SR"}, {"CapitaleSociale", "1,234,567.5"}, {"CodiceCciaa", "MI-RM"}, {"NumeroRea", "MI-123456"},
        {"NumeroIscrizioneAlboCooperative", "A123"}, {"AppartenenzaGruppo", "1"},
        {"DenominazioneSocietaCapogruppo", "  Holding dell'Est  "}, {"PaeseCapogruppo", "Citt&agrave; del Vaticano &ndash; &laquo;SCV&raquo;"},
        {"SocietaLiquidazione", "FALSE"}, {"SocietaConSocioUnico", "true"},
        {"SocietaSottopostaAltruiAttivitaDirezioneCoordinamento", "0"},
        {"DenominazioneSocietaEnteEsercitaAttivitaDirezioneCoordinamento", "Ente l'Uno"},
    };
    QString out;
    for (const auto& [nome, valore] : dati)
        out += QString("<itcc-ci:DatiAnagrafici%1 contextRef=\"I2024\">%2</itcc-ci:DatiAnagrafici%1>\n").arg(nome, valore);
    return out;
}

}  // namespace

class ImportXbrl : public XbrlFixture {};

TEST_P(ImportXbrl, RealFilingsGoThroughRegistrationBothYearsAndTheBalanceCheck)
{
    // The micro company's first year: registered under the identifier of its contexts.
    daFile(filing("03072020211-31122020-20210726110513.xbrl")).answerMessage(vb::vbYes);
    ASSERT_TRUE(importa());
    EXPECT_EQ(box(), QStringList{kRegistra + "ANIMESHON SRL - \r\ncon Partita iva : 03072020211 non trovata.\r\n"
                                             "Caricare automaticamente l'anagrafica ?"});
    EXPECT_EQ(righe("SELECT QD05_CODICEDITTA, QD05_RAGIONESOCIALE, QD05_CODICEPDC_QD04, QD05_CAPITALESOCIALE, QD05_VERSATO, "
                    "QD05_PROVCAMCOMM, QD05_CODICE_QD49 FROM QD05_DITTA WHERE QD05_PIVA = '03072020211'"),
              QStringList{"020211|ANIMESHON SRL|99|9000|1|BZ|63.12.00"});
    EXPECT_EQ(valori("E-E-00-230-"), QStringList{"2020|1|32491|32491"});  // a duration context of the year
    EXPECT_EQ(screen->lblCaption->text(), "ANIMESHON SRL   dicembre / 2020 [ EUR ]");

    // Its next filing: the company is found, and its stored 2020 stays, answered No.
    daFile(filing("03072020211-31122021-20220530205759.xbrl")).answerMessage(vb::vbNo);
    ASSERT_TRUE(importa());
    EXPECT_EQ(box(), (QStringList{Ricopro.arg(2020), Assegnato.arg(2)}));
    EXPECT_EQ(valori("P-A-09-000-a"), (QStringList{"2021|1|-16800|-16800", "2020|1|-32491|-32491", "2020|2|-32491|-32491"}));

    // The ordinary form, whose contexts name the software vendor: the VAT number decides. A
    // trial run first goes all the way (registration, periods, facts and the balance checks
    // that read the committed values back), asks and logs as the real run, and writes nothing.
    const QStringList prima = istantanea();
    screen->lwLog->clearRows();
    conn().iniziaProva();
    daFile(filing("ISTANZA02353550391.xbrl")).answerMessage(vb::vbYes);
    EXPECT_TRUE(importa());
    const QStringList logProva = log(), boxProva = box();
    conn().fineProva();
    EXPECT_EQ(istantanea(), prima);
    screen->lwLog->clearRows();
    daFile(filing("ISTANZA02353550391.xbrl")).answerMessage(vb::vbYes);
    ASSERT_TRUE(importa());
    EXPECT_EQ(log(), logProva);
    EXPECT_EQ(box(), boxProva);
    EXPECT_EQ(righe("SELECT D.QD05_CODICEDITTA, D.QD05_PIVA, D.QD05_CODICEPDC_QD04, M.QD08_CODICEMODELLO_QD06 FROM QD05_DITTA D "
                    "JOIN QD08_DITTAMODELLO M ON M.QD08_CODICEDITTA_QD05 = D.QD05_CODICEDITTA ORDER BY 1"),
              (QStringList{"020211|03072020211|99|KXCE86", "550391|02353550391|97|KXCE85"}));
    EXPECT_EQ(righe("SELECT QD21_ANNO, QD21_VALUTA, QD21_DESCRIZIONE, QD21_CAMBIO, QD21_STORICO, QD21_CONSOLIDATO FROM "
                    "QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = '550391' ORDER BY 1"),
              (QStringList{"2023|EUR|Dicembre/2023 (Periodo n° 1)|1|1|0", "2024|EUR|Dicembre/2024 (Periodo n° 1)|1|1|0"}));
    // Every account of the chart has its row, reached by a fact or not.
    EXPECT_EQ(righe("SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = '550391'"), QStringList{"18"});
    EXPECT_EQ(log().mid(log().size() - 4),
              (QStringList{"|Verificare in gestione ditta indirizzo e natura giuridica|", "|Importazione terminata con successo|",
                           "|VERIFICA QUADRATURA 2024  EFFETTUATO CON SUCCESSO.|", "|VERIFICA QUADRATURA 2023  EFFETTUATO CON SUCCESSO.|"}));
    // Each year's period records the filing it came from and its own balance check.
    const QString origine = "|12|1|XBRL|" + QFileInfo(filing("ISTANZA02353550391.xbrl")).absoluteFilePath() + "|" +
                            impronta(filing("ISTANZA02353550391.xbrl")) + "|EUR|1|9|superata|0";
    EXPECT_EQ(rowsOf(conn(),
                     "SELECT QD22_ANNO, QD22_MESE, QD22_NPERIODO, QD22_TIPO, QD22_FILE, QD22_DIMENSIONE, QD22_SHA256, QD22_VALUTA, "
                     "QD22_CAMBIO, QD22_NUMVALORI, QD22_QUADRATURA, QD22_DIFFERENZA FROM QD22_IMPORTAZIONI WHERE "
                     "QD22_CODICEDITTA_QD05 = ? ORDER BY 1",
                     {"550391"}),
              (QStringList{"2023" + origine, "2024" + origine}));
}

// Each real filing as other writers may write it imports exactly as the original: names are
// read by namespace, whatever the prefixes, and HTML entities in the notes are characters.
// Bound to another namespace, the taxonomy's prefix finds no taxonomy.
TEST_P(ImportXbrl, RealFilingsRewrittenWithOtherPrefixesOrHtmlEntitiesImportAsTheOriginal)
{
    const QString istanza = "xmlns=\"http://www.xbrl.org/2003/instance\"", taxonomy = "xmlns:itcc-ci=\"" + Ns2018 + "\"";
    const QRegularExpression elementiIstanza("<(/?)(xbrl|context|entity|identifier|segment|scenario|period|instant|startDate|"
                                             "endDate|unit|measure)\\b");
    const QRegularExpression fatti("<(/?)itcc-ci:");
    auto xbrli = [&](QString t) { return t.remove(" " + istanza).replace(elementiIstanza, "<\\1xbrli:\\2"); };
    const std::pair<const char*, std::function<QString(QString)>> riscritture[] = {
        {"xbrli: prefixes", xbrli},
        {"other prefixes for itcc-ci and iso4217",
         [&](QString t) {
             return t.replace(fatti, "<\\1ci:").replace("xmlns:itcc-ci=", "xmlns:ci=").replace("iso4217", "iso");
         }},
        {"itcc-ci as the default namespace",
         [&](QString t) { return xbrli(t).replace(fatti, "<\\1").replace("xmlns:itcc-ci=", "xmlns="); }},
        {"prefixes bound elsewhere on the root and again inside",
         [&](QString t) {
             t.replace(QRegularExpression("xmlns:(itcc-ci|link|xlink)=\"[^\"]*\""), "xmlns:\\1=\"urn:altro\"");
             t.replace(istanza, "xmlns=\"urn:altro\"").replace("<xbrl ", "<xbrli:xbrl ").replace("</xbrl>", "</xbrli:xbrl>");
             t.replace(QRegularExpression("<(context|unit)\\b"), "<\\1 " + istanza);
             t.replace(QRegularExpression("<itcc-ci:(\\w+)"), "<itcc-ci:\\1 " + taxonomy);
             return t.replace("<link:schemaRef", "<link:schemaRef xmlns:link=\"http://www.xbrl.org/2003/linkbase\" "
                                                 "xmlns:xlink=\"http://www.w3.org/1999/xlink\"");
         }},
        {"HTML entities in a note",
         [](QString t) { return t.insert(t.indexOf("\">&lt;") + 2, "Citt&agrave; dell&rsquo;impresa &laquo;nota&raquo; "); }},
    };
    // Each import a trial, that leaves the database as it was; the provenance names each file as
    // it is, and the rewritten ones differ there alone.
    const auto prova = [&](const QString& testo) {
        screen->lwLog->clearRows();
        conn().iniziaProva();
        daImportare(testo.toUtf8()).answerMessage(vb::vbYes);
        EXPECT_TRUE(importa());
        conn().Execute("DELETE FROM QD22_IMPORTAZIONI");
        const auto esito = std::tuple{istantanea(), log(), box()};
        conn().fineProva();
        return esito;
    };
    for (const char* reale : {"03072020211-31122020-20210726110513.xbrl", "03072020211-31122021-20220530205759.xbrl",
                              "ISTANZA02353550391.xbrl"}) {
        SCOPED_TRACE(reale);
        QFile f(filing(reale));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString originale = QString::fromUtf8(f.readAll());
        ASSERT_TRUE(originale.contains(istanza) && originale.contains(taxonomy) && originale.contains("\">&lt;"));
        const auto atteso = prova(originale);
        for (const auto& [caso, riscrivi] : riscritture) {
            SCOPED_TRACE(caso);
            EXPECT_EQ(prova(riscrivi(originale)), atteso);
        }
        const QStringList prima = istantanea();
        daImportare(QString(originale).replace(taxonomy, "xmlns:itcc-ci=\"urn:altro\" xmlns:ci=\"" + Ns2018 + "\"").toUtf8());
        EXPECT_FALSE(importa());
        EXPECT_EQ(box(), QStringList{"Importazione bilancio XBRL: Versione file XBRL non trovata.\r\nImpossibile continuare "
                                     "l'importazione"});
        EXPECT_EQ(istantanea(), prima);
    }
}

TEST_P(ImportXbrl, RegistrationAsksWithNoAsDefaultAndStoresTheMasterData)
{
    const QByteArray doc = documento(anagraficaCompleta() + fatto("TotaleAttivo", "I2024", "10") + fatto("TotalePassivo", "I2024", "10"));
    const QString domanda = kRegistra + "L'Ancora\u00a0d'Oro S.r.l. € - \r\ncon Partita iva : 12345678901 non trovata.\r\n"
                                        "Caricare automaticamente l'anagrafica ?";
    daImportare(doc).answerMessage(vb::vbYes);
    ASSERT_TRUE(importa());
    EXPECT_EQ(box().first(), domanda);
    EXPECT_EQ(dialogs.shown()[1].flags, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2);
    EXPECT_EQ(righe("SELECT QD05_CODICEDITTA, QD05_RAGIONESOCIALE, QD05_PIVA, QD05_CF, QD05_CODICEPDC_QD04, QD05_FINEESERCIZIO, "
                    "QD05_CODICEVALUTA_QD40, QD05_CODICE_QD48, QD05_CODICE_QD49, QD05_CAPITALESOCIALE, QD05_VERSATO, "
                    "QD05_ISCRIZIONEALBOCOOP, QD05_PROVCAMCOMM, QD05_NUMEROREA, QD05_INDIRIZZO, QD05_APPARTENENZAGRUPPO, "
                    "QD05_DENOMINAZIONECAPOGRUPPO, QD05_PAESECAPOGRUPPO, QD05_INLIQUIDAZIONE, QD05_SOCIOUNICO, "
                    "QD05_ALTRUIDIREZIONE, QD05_DENOMINAZIONESOCIETADIREZIONE FROM QD05_DITTA WHERE QD05_CODICEDITTA = '678901'"),
              QStringList{"678901|L`Ancora\u00a0d`Oro S.r.l. €|12345678901|RSSMRA80A01F205X|97|31/12|EUR|0|62.01|1234567.5|0|A123|"
                          "MI|MI-123456|Via dell`Olmo 1, 20100 Milano, presso lo studio de|1|Holding dell`Est|Città del Vaticano – «SCV»|0|1|0|"
                          "Ente l`Uno"});
    EXPECT_EQ(righe("SELECT * FROM QD08_DITTAMODELLO WHERE QD08_CODICEDITTA_QD05 = '678901'"), QStringList{"KXCE85|678901"});
}

TEST_P(ImportXbrl, OverwriteAsksPerYearAndRebuildsTheChosenPeriodWithItsFootnotes)
{
    const QString note =
        "<lb:footnoteLink xmlns:lb=\"http://www.xbrl.org/2003/linkbase\" xmlns:xl=\"http://www.w3.org/1999/xlink\" "
        "xl:type=\"extended\"><lb:loc xl:type=\"locator\" xl:href=\"#f1\" xl:label=\"fatto\"/>"
        "<lb:footnote xl:type=\"resource\" xl:label=\"nota\">Nota dell'esercizio</lb:footnote></lb:footnoteLink>\n"
        "<link:footnoteLink><link:loc xlink:href=\"#nessuno\"/><link:footnote>Senza fatto</link:footnote></link:footnoteLink>\n"
        "<link:footnoteLink><link:loc xlink:href=\"#f5\"/><link:footnote>Senza definizione</link:footnote></link:footnoteLink>\n"
        "<link:footnoteLink><link:footnote>Senza locatore</link:footnote></link:footnoteLink>\n";
    const QByteArray doc = documento(
        "<itcc-ci:DatiAnagraficiPartitaIva contextRef=\"I2024\">11111111111</itcc-ci:DatiAnagraficiPartitaIva>\n"
        "<itcc-ci:TotaleAttivo id=\"f1\" contextRef=\"I2024\" decimals=\"0\">700</itcc-ci:TotaleAttivo>\n"
        "<itcc-ci:TotaleImmobilizzazioni id=\"f5\" contextRef=\"I2024\">9</itcc-ci:TotaleImmobilizzazioni>\n" +
        fatto("TotalePassivo", "I2024", "700") + fatto("TotaleAttivo", "I2023", "600") + fatto("TotalePassivo", "I2023", "600") + note);
    daImportare(doc).answerMessage(vb::vbYes);
    ASSERT_TRUE(importa());
    EXPECT_EQ(righe("SELECT * FROM QD78_FOOTNOTE"), QStringList{"111111|2024|12|1|501|Nota dell`esercizio"});

    // No: a new period for each year, announced, nothing deleted; the year of the first
    // fact posted is asked about first.
    daImportare(doc).answerMessage(vb::vbNo).answerMessage(vb::vbNo);
    ASSERT_TRUE(importa());
    EXPECT_EQ(box(), (QStringList{Ricopro.arg(2024), Assegnato.arg(2), Ricopro.arg(2023), Assegnato.arg(2)}));
    const QStringList dueVolte = {"2024|1|700|700", "2024|2|700|700", "2023|1|600|600", "2023|2|600|600"};
    EXPECT_EQ(valori("A-T-00-000-"), dueVolte);

    // Yes with two periods: the year's list comes back, naming the choices, until a whole period in range.
    daImportare(doc).answerMessage(vb::vbYes).answerInput("0").answerInput("1,9").answerInput("2").answerMessage(vb::vbYes).answerInput("2");
    ASSERT_TRUE(importa());
    const QString lista = "Selezionare il periodo da ricoprire : \r\n"
                          "N° 1 Dicembre/2024 (Periodo n° 1)\r\nN° 2 Dicembre/2024 (Periodo n° 2)\r\n";
    const QString ancora = "Selezione Periodo: '%1' non è un periodo da ricoprire: indicare un numero di periodo da 1 a 2.\r\n" + lista;
    EXPECT_EQ(box().mid(0, 4), (QStringList{Ricopro.arg(2024), "Selezione Periodo: " + lista, ancora.arg("0"), ancora.arg("1,9")}));
    EXPECT_EQ(dialogs.shown()[2].defaultAnswer, "1");
    EXPECT_EQ(valori("A-T-00-000-"), dueVolte);
    EXPECT_EQ(righe("SELECT QD78_NPERIODO FROM QD78_FOOTNOTE ORDER BY 1"), (QStringList{"1", "2"}));
    EXPECT_EQ(righe("SELECT COUNT(*) FROM QD21_PERVALUTA"), QStringList{"4"});
}

TEST_P(ImportXbrl, FactsFollowDecimalsSectionsContextsAndTheSchemaRules)
{
    // A financial year from July: each duration starts in the year before its instant.
    QString contesti;
    for (int anno : {2024, 2023})
        contesti += contesto(QString("c%1i").arg(anno), "09876543210", QString("%1-06-30").arg(anno)) +
                    contesto(QString("c%1d").arg(anno), "09876543210", QString("%1-07-01|%2-06-30").arg(anno - 1).arg(anno));
    const QString fatti = fatto("TotaleAttivo", "c2024i", "12345", "2") + fatto("TotalePassivo", "c2024i", "12345", QString()) +
                          fatto("UtilePerditaEsercizio", "c2024d", "700", "INF") +
                          fatto("PatrimonioNettoUtilePerditaEsercizio", "c2024i", "700") + fatto("TotaleImmobilizzazioni", "c2024i", "9") +
                          fatto("ValoreFineEsercizioCostiSviluppo", "c2023i", "500") +
                          fatto("ValoreProduzioneVariazioniLavoriCorsoOrdinazione", "c2023d", "300") +
                          fatto("ValoreProduzioneAbbreviato", "c2023d", "200") +
                          fatto("ProventiDiversiDividendiImpreseControllate", "c2023d", "40");
    daImportare(documento(fatti, contesti, "itcc-ci-micr-2018-11-04.xsd")).answerMessage(vb::vbYes);
    ASSERT_TRUE(importa());

    const std::pair<const char*, QStringList> attesi[] = {
        {"A-T-00-000-", {"2024|1|123.45|123.45", "2023|1|0|0"}},    // decimals 2
        {"P-T-00-000-", {"2024|1|-123.45|-123.45", "2023|1|0|0"}},  // decimals inherited; a liability
        {"E-E-00-230-", {"2024|1|700|700", "2023|1|0|0"}},          // "d" read as "i"; INF as 0
        {"P-A-09-000-a", {"2024|1|-700|-700", "2023|1|0|0"}},       // not a "V" row, but listed
        {"A-B-00-000-", {"2024|1|0|0", "2023|1|0|0"}},              // a heading
        {"A-B-01-020-", {"2024|1|0|0", "2023|1|-500|500"}},         // a deduction in the micro form
        {"E-A-00-010-", {"2024|1|0|0", "2023|1|-500|-500"}},        // two concepts add up
        {"E-D-00-200-d", {"2024|1|0|0", "2023|1|40|-40"}},
    };
    for (const auto& [conto, righe] : attesi) EXPECT_EQ(valori(conto), righe) << conto;
    EXPECT_EQ(righe("SELECT QD21_DESCRIZIONE FROM QD21_PERVALUTA ORDER BY 1"),
              (QStringList{"Giugno/2023 (Periodo n° 1)", "Giugno/2024 (Periodo n° 1)"}));
    // 2023 does not square: the check says so for that year alone.
    EXPECT_EQ(box().mid(1), QStringList{"Verifica Quadratura: Attenzione! Verifica quadratura non superato.\r\n Ditta : 543210 "
                                        "Anno : 2023 Mese : 6 Periodo : 1"});
}

TEST_P(ImportXbrl, ForeignUnitGetsARatePerYearUsedForThatYearsFacts)
{
    const QString fatti = fatto("TotaleAttivo", "I2024", "1000") + fatto("TotaleAttivo", "I2023", "1000") +
                          fatto("TotalePassivo", "I2024", "1000");
    cambioWeb(1.08);
    // As the automatic imports ask: how the rate is read, again on no number, a confirmation far from the proposal.
    daImportare(documento(fatti, contestiDueAnni(), "itcc-ci-ese-2018-11-04.xsd", Ns2018, "iso4217:USD"))
        .answerMessage(vb::vbYes).answerInput("abc").answerInput("4").answerInput("105").answerMessage(vb::vbNo).answerInput("2");
    ASSERT_TRUE(importa());
    const QString domanda = "Richiesta cambio valuta: Digitare il cambio per il periodo 12/%1 da applicare per la conversione USD ==> EUR : ";
    EXPECT_EQ(box().mid(1, 5), (QStringList{domanda.arg(2024), domanda.arg(2024), domanda.arg(2023),
                                            "Controllo cambio valute: Il cambio digitato (105) è molto diverso da quello proposto "
                                            "(1,08). Confermi?",
                                            domanda.arg(2023)}));
    EXPECT_EQ(dialogs.shown()[2].defaultAnswer, "1,08");
    EXPECT_EQ(dialogs.shown()[2].lettura, "non è un numero");
    EXPECT_EQ(dialogs.shown()[3].lettura, "letto come 4");
    EXPECT_EQ(valori("A-T-00-000-"), (QStringList{"2024|1|250|1000", "2023|1|500|1000"}));
    EXPECT_EQ(righe("SELECT QD21_VALUTA, QD21_CAMBIO FROM QD21_PERVALUTA ORDER BY QD21_ANNO"), (QStringList{"USD|2", "USD|4"}));
}

TEST_P(ImportXbrl, OnlyTheOlderConsolidatedSchemasAreDescribedAsConsolidated)
{
    const QString ns2014 = "http://www.infocamere.it/itnn/fr/itcc/ci/2014-11-17";
    creaMappatura(conn(), ns2014, "6", "93CO", "KXCO93");
    creaMappatura(conn(), Ns2018, "8", "97CO", "KXCO97");
    const QString casi[][4] = {{ns2014, "itcc-ci-cons-2014-11-17.xsd", "093000", "Bilancio Consolidato Dicembre/2024 (Periodo n° 1)|1"},
                               {Ns2018, "itcc-ci-cons-2018-11-04.xsd", "097000", "Dicembre/2024 (Periodo n° 1)|0"}};
    for (const auto& [ns, schemaRef, ditta, periodo] : casi) {
        daImportare(documento(fatto("TotaleAttivo", "I2024", "5"), contestiDueAnni("00000" + ditta), schemaRef, ns)).answerMessage(vb::vbYes);
        ASSERT_TRUE(importa());
        EXPECT_EQ(righe("SELECT QD21_DESCRIZIONE, QD21_CONSOLIDATO FROM QD21_PERVALUTA WHERE QD21_ANNO = '2024' AND "
                        "QD21_CODICEDITTA_QD05 = " + StringaSQL(ditta)),
                  QStringList{periodo});
    }
}

SU_OGNI_BACKEND(Backends, ImportXbrl);
