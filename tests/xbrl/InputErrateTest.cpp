#include "XbrlFixture.h"
#include <functional>
#include <sys/stat.h>

using namespace xbrlprova;

class InputErrate : public XbrlFixture {};

// Each document or path ends as it should (refused with its reason boxed and logged, silently,
// or through the error report, the fact being posted logged as an error naming its context)
// and nothing of it stays.
TEST_P(InputErrate, EndCleanlyWithNothingWritten)
{
    QTemporaryDir altrove;
    const QString segreto = scriviFile(altrove.filePath("segreto.txt"), "SEGRETO-XYZ");
    const QString fifo = host.filePath("tubo.xbrl"), zero = host.filePath("zero.xbrl"), enorme = host.filePath("enorme.xbrl");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    ASSERT_TRUE(QFile(enorme).open(QIODevice::WriteOnly) && QFile::resize(enorme, 65LL * 1024 * 1024));

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
    const QString valute = "<unit id=\"usd\"><measure>iso4217:USD</measure></unit>";
    const QString rifiuto = "Importazione bilancio XBRL: %1\r\nImpossibile continuare l'importazione";
    const QString nonTrovata = rifiuto.arg("Versione file XBRL non trovata."), senzaPiano = rifiuto.arg("Piano dei conti non trovato.");
    const QString registra = kRegistra + " - \r\ncon Partita iva : 09876543210 non trovata.\r\nCaricare automaticamente l'anagrafica ?";
    const QString errore = "Importazione valori PDC: Tipo non corrispondente";
    const QString nonNumero = "%1: fatto itcc-ci:TotalePassivo (contesto D2023)";
    const QString oltre = QString("Importo '10000000000000000000' oltre il massimo che il database conserva esattamente (%1)")
                              .arg(GetParam() == "sqlite" ? "99.999.999.999,9999" : "922.337.203.685.477,5807");
    const QString illeggibile = "Importazione bilancio XBRL: Il file %1 non è un documento XBRL leggibile";  // %1: the file chosen
    auto speciale = [](const QString& p) { return "Il percorso " + p + " non è un file XBRL: è una cartella o un file speciale."; };
    const std::function<void(ScriptedDialogs&)> niente = [](ScriptedDialogs&) {}, si = [](ScriptedDialogs& d) { d.answerMessage(vb::vbYes); };

    const struct {
        const char* caso;
        QByteArray documento;  // empty: the path
        std::function<void(ScriptedDialogs&)> risposte;
        QStringList box;
        QString ultimoLog;
        QString motivo = {};      // refused before writing: the reason boxed and logged last
        QString registrato = {};  // a row the log must hold
        QString percorso = {};
    } casi[] = {
        {"nested entities", conDtd(risate + "]>", nome("&a9;")), niente, {illeggibile}, {}},
        {"external entity", conDtd("<!DOCTYPE xbrl [<!ENTITY s SYSTEM \"file://" + segreto + "\">]>", nome("&s;")), niente,
         {illeggibile}, {}},
        {"an entity HTML does not name", documento(nome("Citt&AGRAVE; S.r.l.")), niente, {illeggibile}, {}},
        {"raw HTML in a text fact", documento("<itcc-ci:NotaIntegrativa contextRef=\"I2024\"><p>uno<br></p></itcc-ci:NotaIntegrativa>"),
         niente, {illeggibile}, {}},
        {"no contexts", documento(attivo, QString()), niente, {}, {}},
        {"unknown namespace", documento(attivo, contestiDueAnni(), "itcc-ci-ese-2018-11-04.xsd", "http://example.org/altro"), niente,
         {nonTrovata}, {}},
        {"the root in no namespace", documento(attivo).replace("xmlns=\"http://www.xbrl.org/2003/instance\"", ""), niente, {nonTrovata}, {}},
        {"schema without a known prefix", documento(attivo, contestiDueAnni(), "bilancio-2018.xsd"), niente, {senzaPiano}, {}},
        {"a date that is no date", documento(attivo, contestiDueAnni().replace("2024-12-31", "31/12/2024")), niente, {}, {},
         "Il contesto I2024 ha una data non valida: 31/12/2024"},
        {"two companies without a VAT number",
         documento(fatto("TotaleAttivo", "A", "120027") + fatto("TotaleAttivo", "B", "777"),
                   contesto("A", "IT111", "2021-12-31") + contesto("B", "IT222", "2021-12-31")),
         niente, {}, {}, "Il file contiene fatti di due ditte: IT111 (contesto A) e IT222 (contesto B)."},
        {"a context that does not exist", documento(attivo + fatto("TotalePassivo", "X", "1")), niente, {}, {},
         "Il fatto itcc-ci:TotalePassivo fa riferimento al contesto X, che non esiste nel file."},
        {"an empty identifier", documento(attivo, contesto("I2024", "", "2024-12-31")), niente, {}, {},
         "Il contesto I2024 non ha l'identificativo della ditta."},
        {"a fact in another currency",
         documento(attivo + valute + "<itcc-ci:TotalePassivo contextRef=\"I2024\" unitRef=\"usd\" decimals=\"0\">1</itcc-ci:TotalePassivo>"),
         niente, {}, {}, "Il fatto itcc-ci:TotalePassivo (contesto I2024) è in USD, il bilancio in EUR."},
        {"a named pipe", {}, niente, {}, {}, speciale(fifo), {}, fifo},
        {"a link to a device", {}, niente, {}, {}, speciale(zero), {}, zero},
        {"a folder", {}, niente, {}, {}, speciale(host.path()), {}, host.path()},
        {"a file above the size of any filing", {}, niente, {}, {},
         "Il file " + enorme + " supera la dimensione massima di un bilancio XBRL (64 MB).", {}, enorme},
        {"fact that is no number", documento(attivo + fatto("TotalePassivo", "D2023", "12a")), si,
         {registra, "Importazione valori PDC: " + nonNumero.arg("Importo '12a' non leggibile")}, "P-T-00-000- Voce TotalePassivo", {},
         nonNumero.arg("Importo '12a' non leggibile")},
        {"fact with elements inside", documento(attivo + fatto("TotalePassivo", "D2023", "<x>12</x><y>2437</y>")), si,
         {registra, "Importazione valori PDC: " + nonNumero.arg("Il fatto contiene altri elementi invece di un numero")},
         "P-T-00-000- Voce TotalePassivo"},
        {"an amount beyond the value columns", documento(attivo + fatto("TotalePassivo", "D2023", "10000000000000000000")), si,
         {registra, "Importazione valori PDC: " + nonNumero.arg(oltre)}, "P-T-00-000- Voce TotalePassivo", {}, nonNumero.arg(oltre)},
        {"a flag that is no truth value",
         documento("<itcc-ci:DatiAnagraficiSocietaLiquidazione contextRef=\"I2024\">forse</itcc-ci:DatiAnagraficiSocietaLiquidazione>" +
                   attivo), niente, {errore}, " "},
        {"sixty thousand contexts, registration refused", documento(fatto("TotaleAttivo", "I39999", "10"), sessantamila),
         [](ScriptedDialogs& d) { d.answerMessage(vb::vbNo); },
         {kRegistra + " - \r\ncon Partita iva : IT39999 non trovata.\r\nCaricare automaticamente l'anagrafica ?",
          "Importazione valori PDC: Elaborazione interrotta"}, "Importazione in corso ...."},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.caso);
        const QStringList prima = istantanea();
        screen->lwLog->clearRows();
        c.risposte(c.percorso.isEmpty() ? daImportare(c.documento) : daFile(c.percorso));
        EXPECT_FALSE(importa());
        if (c.motivo.isEmpty()) {
            EXPECT_EQ(box(), QStringList(c.box).replaceInStrings("%1", dialogs.shown().first().answer));
            EXPECT_EQ(log().isEmpty() ? QString() : log().last().section('|', 1, 1), c.ultimoLog);
        } else {
            EXPECT_EQ(box(), QStringList{rifiuto.arg(c.motivo)});
            EXPECT_EQ(log().last(), "|" + c.motivo + "|");
        }
        EXPECT_EQ(istantanea(), prima);
        EXPECT_TRUE(c.registrato.isEmpty() || log().contains("|" + c.registrato + "|")) << log().join("\n").toStdString();
        EXPECT_FALSE(log().join('\n').contains("SEGRETO"));
        EXPECT_EQ(screen->MousePointer(), 0);
    }
}

SU_OGNI_BACKEND(Backends, InputErrate);
