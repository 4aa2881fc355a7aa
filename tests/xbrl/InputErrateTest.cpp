#include "XbrlFixture.h"
#include <functional>

using namespace xbrlprova;

namespace {

QByteArray conDoctype(const QString& dtd, const QString& fatti)
{
    return documento(fatti).replace("<xbrl ", (dtd + "\n<xbrl ").toUtf8());
}

QString denominazione(const QString& testo)
{
    return QStringLiteral("<itcc-ci:DatiAnagraficiDenominazione contextRef=\"I2024\">%1</itcc-ci:DatiAnagraficiDenominazione>\n")
        .arg(testo);
}

QString diecimilaContesti()
{
    QString out;
    for (int i = 0; i < 5000; ++i) {
        const QString entita = QStringLiteral("<entity><identifier>IT%1</identifier></entity>").arg(i, 5, 10, QLatin1Char('0'));
        out += QStringLiteral("<context id=\"I%1\">%2<period><instant>2024-12-31</instant></period></context>"
                              "<context id=\"D%1\">%2<period><startDate>2024-01-01</startDate><endDate>2024-12-31</endDate>"
                              "</period></context>\n")
                   .arg(i)
                   .arg(entita);
    }
    return out;
}

const QString NonTrovata = QStringLiteral("Importazione bilancio XBRL: Versione file XBRL non trovata.\r\nImpossibile continuare "
                                          "l'importazione");
const QString SenzaPiano = QStringLiteral("Importazione bilancio XBRL: Piano dei conti non trovato.\r\nImpossibile continuare "
                                          "l'importazione");
const QString Registra = kRegistra + QStringLiteral(" - \r\ncon Partita iva : 09876543210 non trovata.\r\nCaricare automaticamente "
                                                    "l'anagrafica ?");

}  // namespace

class InputErrate : public XbrlFixture {};

// Each document ends as it should (silently, with its message, or through the error
// report) and nothing of it stays in the database.
TEST_P(InputErrate, EndCleanlyWithNothingWritten)
{
    QTemporaryDir altrove;
    const QString segreto = altrove.filePath("segreto.txt");
    {
        QFile f(segreto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("SEGRETO-XYZ");
    }
    QFile vero(filing("ISTANZA02353550391.xbrl"));
    ASSERT_TRUE(vero.open(QIODevice::ReadOnly));
    const QByteArray reale = vero.readAll();
    const QString attivo = fatto("TotaleAttivo", "I2024", "10");
    QString risate = "<!DOCTYPE xbrl [<!ENTITY a0 \"risata\">";
    for (int i = 1; i < 10; ++i) risate += QStringLiteral("<!ENTITY a%1 \"%2\">").arg(i).arg(QStringLiteral("&a%1;").arg(i - 1).repeated(10));
    risate += "]>";
    const QString errore = QStringLiteral("Importazione valori PDC: Tipo non corrispondente");
    auto si = [](ScriptedDialogs& d) { d.answerMessage(vb::vbYes); };
    auto no = [](ScriptedDialogs& d) { d.answerMessage(vb::vbNo); };
    auto niente = [](ScriptedDialogs&) {};

    const struct {
        const char* nome;
        QByteArray documento;
        std::function<void(ScriptedDialogs&)> risposte;
        QStringList box;
    } casi[] = {
        {"not XML", "questo non e' un documento", niente, {}},
        {"truncated", reale.left(reale.size() / 2), niente, {}},
        {"nested entities", conDoctype(risate, denominazione("&a9;") + attivo), niente, {}},
        {"external entity", conDoctype("<!DOCTYPE xbrl [<!ENTITY s SYSTEM \"file://" + segreto + "\">]>", denominazione("&s;") + attivo),
         niente, {}},
        {"undeclared entity", documento(denominazione("Citt&agrave; S.r.l.") + attivo), niente, {}},
        {"raw HTML in a text fact", documento("<itcc-ci:NotaIntegrativa contextRef=\"I2024\"><p>uno<br></p></itcc-ci:NotaIntegrativa>"),
         niente, {}},
        {"no contexts", documento(attivo, QString()), niente, {}},
        {"unknown namespace", documento(attivo, contestiDueAnni(), "itcc-ci-ese-2018-11-04.xsd", "http://example.org/altro"), niente,
         {NonTrovata}},
        {"prefixed root", documento(attivo).replace("<xbrl ", "<xbrli:xbrl xmlns:xbrli=\"http://www.xbrl.org/2003/instance\" ")
                              .replace("</xbrl>", "</xbrli:xbrl>"),
         niente, {NonTrovata}},
        {"schema without a known prefix", documento(attivo, contestiDueAnni(), "bilancio-2018.xsd"), niente, {SenzaPiano}},
        {"abbsemp in 2018", documento(attivo, contestiDueAnni(), "itcc-ci-abbsemp-2018-11-04.xsd"), niente, {SenzaPiano}},
        {"a date that is no date", documento(attivo, contestiDueAnni().replace("2024-12-31", "31/12/2024")), niente, {errore}},
        {"fact that is no number", documento(fatto("TotaleAttivo", "I2024", "12a")), si, {Registra, errore}},
        {"base64 in a numeric fact", documento(fatto("TotaleAttivo", "I2024", "SGVsbG8gV29ybGQ=")), si, {Registra, errore}},
        {"a flag that is no truth value",
         documento("<itcc-ci:DatiAnagraficiSocietaLiquidazione contextRef=\"I2024\">forse</itcc-ci:DatiAnagraficiSocietaLiquidazione>" +
                   attivo),
         niente, {errore}},
        {"a rate that is no number", documento(attivo, contestiDueAnni(), "itcc-ci-ese-2018-11-04.xsd", Ns2018, "iso4217:USD"),
         [](ScriptedDialogs& d) { d.answerMessage(vb::vbYes).answerInput("abc"); },
         {Registra, "Richiesta cambio valuta: Digitare il cambio per il periodo 12/2023 da applicare per la conversione USD ==> EUR : ",
          errore}},
        {"ten thousand contexts, registration refused", documento(attivo, diecimilaContesti()), no,
         {kRegistra + " - \r\ncon Partita iva : IT04999 non trovata.\r\nCaricare automaticamente l'anagrafica ?",
          "Importazione valori PDC: Elaborazione interrotta"}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        const QStringList prima = istantanea();
        c.risposte(daImportare(c.documento));
        EXPECT_FALSE(importa());
        EXPECT_EQ(box(), c.box);
        EXPECT_EQ(istantanea(), prima);
        EXPECT_FALSE(conn().inTransaction());
        EXPECT_FALSE(log().join('\n').contains("SEGRETO"));
    }
}

TEST_P(InputErrate, TheFactBeingPostedIsLoggedWithTheError)
{
    daImportare(documento(fatto("TotaleAttivo", "I2024", "10") + fatto("TotalePassivo", "I2024", "n/d"))).answerMessage(vb::vbYes);
    EXPECT_FALSE(importa());
    EXPECT_EQ(log().mid(log().size() - 2), (QStringList{"A-T-00-000-|Voce TotaleAttivo - 2024|10", "|P-T-00-000- Voce TotalePassivo|"}));
    EXPECT_EQ(screen->lwLog->color(screen->lwLog->rowCount() - 1, 0), QColor(255, 0, 0));
    EXPECT_EQ(screen->MousePointer(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, InputErrate, ::testing::ValuesIn(TestDb::backends()),
                         [](const auto& info) { return info.param.toStdString(); });
