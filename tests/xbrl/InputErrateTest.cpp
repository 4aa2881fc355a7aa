#include "XbrlFixture.h"
#include <functional>

using namespace xbrlprova;

class InputErrate : public XbrlFixture {};

// Each document ends as it should (with its message, silently, or through the error
// report, the fact being posted logged as an error, naming its context) and nothing of it stays.
TEST_P(InputErrate, EndCleanlyWithNothingWritten)
{
    QTemporaryDir altrove;
    const QString segreto = scrivi(altrove.filePath("segreto.txt"), "SEGRETO-XYZ");

    const QString attivo = fatto("TotaleAttivo", "I2024", "10");
    auto nome = [&](const QString& testo) {
        return "<itcc-ci:DatiAnagraficiDenominazione contextRef=\"I2024\">" + testo + "</itcc-ci:DatiAnagraficiDenominazione>" + attivo;
    };
    auto conDtd = [&](const QString& dtd, const QString& fatti) { return documento(fatti).replace("<xbrl ", (dtd + "\n<xbrl ").toUtf8()); };
    QString risate = "<!DOCTYPE xbrl [<!ENTITY a0 \"risata\">";
    for (int i = 1; i < 10; ++i) risate += QString("<!ENTITY a%1 \"%2\">").arg(i).arg(QString("&a%1;").arg(i - 1).repeated(10));
    QString sessantamila;  // 30,000 identifiers, an instant and a duration each
    for (int i = 10000; i < 40000; ++i)
        sessantamila += contesto(QString("I%1").arg(i), QString("IT%1").arg(i), "2024-12-31") +
                        contesto(QString("D%1").arg(i), QString("IT%1").arg(i), "2024-01-01|2024-12-31");
    const QString rifiuto = "Importazione bilancio XBRL: %1\r\nImpossibile continuare l'importazione";
    const QString nonTrovata = rifiuto.arg("Versione file XBRL non trovata."), senzaPiano = rifiuto.arg("Piano dei conti non trovato.");
    const QString registra = kRegistra + " - \r\ncon Partita iva : 09876543210 non trovata.\r\nCaricare automaticamente l'anagrafica ?";
    const QString errore = "Importazione valori PDC: Tipo non corrispondente";
    const QString illeggibile = "Importazione bilancio XBRL: Il file %1 non è un documento XBRL leggibile";  // %1: the file chosen
    const std::function<void(ScriptedDialogs&)> niente = [](ScriptedDialogs&) {}, si = [](ScriptedDialogs& d) { d.answerMessage(vb::vbYes); };

    const struct {
        const char* caso;
        QByteArray documento;
        std::function<void(ScriptedDialogs&)> risposte;
        QStringList box;
        QString ultimoLog;
        QString registrato = {};  // a row the log must hold
    } casi[] = {
        {"nested entities", conDtd(risate + "]>", nome("&a9;")), niente, {illeggibile}, {}},
        {"external entity", conDtd("<!DOCTYPE xbrl [<!ENTITY s SYSTEM \"file://" + segreto + "\">]>", nome("&s;")), niente,
         {illeggibile}, {}},
        {"undeclared entity", documento(nome("Citt&agrave; S.r.l.")), niente, {illeggibile}, {}},
        {"raw HTML in a text fact", documento("<itcc-ci:NotaIntegrativa contextRef=\"I2024\"><p>uno<br></p></itcc-ci:NotaIntegrativa>"),
         niente, {illeggibile}, {}},
        {"no contexts", documento(attivo, QString()), niente, {}, {}},
        {"unknown namespace", documento(attivo, contestiDueAnni(), "itcc-ci-ese-2018-11-04.xsd", "http://example.org/altro"), niente,
         {nonTrovata}, {}},
        {"prefixed root", documento(attivo).replace("<xbrl ", "<xbrli:xbrl xmlns:xbrli=\"http://www.xbrl.org/2003/instance\" ")
                              .replace("</xbrl>", "</xbrli:xbrl>"), niente, {nonTrovata}, {}},
        {"schema without a known prefix", documento(attivo, contestiDueAnni(), "bilancio-2018.xsd"), niente, {senzaPiano}, {}},
        {"a date that is no date", documento(attivo, contestiDueAnni().replace("2024-12-31", "31/12/2024")), niente,
         {rifiuto.arg("Il contesto I2024 ha una data non valida: 31/12/2024")},
         "Il contesto I2024 ha una data non valida: 31/12/2024"},
        {"fact that is no number", documento(attivo + fatto("TotalePassivo", "D2023", "12a")), si, {registra, errore},
         "P-T-00-000- Voce TotalePassivo", "Tipo non corrispondente: fatto itcc-ci:TotalePassivo (contesto D2023)"},
        {"an amount beyond the value columns", documento(attivo + fatto("TotalePassivo", "D2023", "10000000000000000")), si,
         {registra, "Importazione valori PDC: Overflow"}, "P-T-00-000- Voce TotalePassivo",
         "Overflow: fatto itcc-ci:TotalePassivo (contesto D2023)"},
        {"a flag that is no truth value",
         documento("<itcc-ci:DatiAnagraficiSocietaLiquidazione contextRef=\"I2024\">forse</itcc-ci:DatiAnagraficiSocietaLiquidazione>" +
                   attivo), niente, {errore}, " "},
        {"a rate that is no number", documento(attivo, contestiDueAnni(), "itcc-ci-ese-2018-11-04.xsd", Ns2018, "iso4217:USD"),
         [](ScriptedDialogs& d) { d.answerMessage(vb::vbYes).answerInput("abc"); },
         {registra, "Richiesta cambio valuta: Digitare il cambio per il periodo 12/2024 da applicare per la conversione USD ==> EUR : ",
          errore}, "A-T-00-000- Voce TotaleAttivo"},
        {"sixty thousand contexts, registration refused", documento(fatto("TotaleAttivo", "I39999", "10"), sessantamila),
         [](ScriptedDialogs& d) { d.answerMessage(vb::vbNo); },
         {kRegistra + " - \r\ncon Partita iva : IT39999 non trovata.\r\nCaricare automaticamente l'anagrafica ?",
          "Importazione valori PDC: Elaborazione interrotta"}, "Importazione in corso ...."},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.caso);
        const QStringList prima = istantanea();
        screen->lwLog->clearRows();
        c.risposte(daImportare(c.documento));
        EXPECT_FALSE(importa());
        EXPECT_EQ(box(), QStringList(c.box).replaceInStrings("%1", dialogs.shown().first().answer));
        EXPECT_EQ(istantanea(), prima);
        EXPECT_EQ(log().isEmpty() ? QString() : log().last().section('|', 1, 1), c.ultimoLog);
        EXPECT_TRUE(c.registrato.isEmpty() || log().contains("|" + c.registrato + "|")) << log().join("\n").toStdString();
        EXPECT_FALSE(log().join('\n').contains("SEGRETO"));
        EXPECT_EQ(screen->MousePointer(), 0);
    }
}

XBRL_BACKENDS(InputErrate);
