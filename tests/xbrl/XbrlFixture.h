#pragma once
// A small mapping of the 2018-11-04 taxonomy, instance documents around given facts, and a
// screen on a fresh demo database of the backend under test.
#include "ScreenFixture.h"
#include "platform/host/SqlText.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace xbrlprova {

inline const QString Ns2018 = "http://www.infocamere.it/itnn/fr/itcc/ci/2018-11-04";

inline QString filing(const QString& nome)
{
    return QStringLiteral(KTR_XBRL_DATA "/filings/") + nome;
}

// Concept, account, section, QD02 row type. The first four square in every real filing
// (assets against liabilities, the year's result on both sides); the last four are
// concepts the filings do not use, for the tests' own documents.
inline const char* const kVoci[][4] = {
    {"TotaleAttivo", "A-T-00-000-", "1", "V"},
    {"TotalePassivo", "P-T-00-000-", "2", "V"},
    {"PatrimonioNettoUtilePerditaEsercizio", "P-A-09-000-a", "2", "A"},  // posted as a listed exception
    {"UtilePerditaEsercizio", "E-E-00-230-", "4", "V"},
    {"TotaleImmobilizzazioni", "A-B-00-000-", "1", "B"},  // a heading: never posted
    {"ValoreFineEsercizioCostiSviluppo", "A-B-01-020-", "1", "V"},
    {"ValoreProduzioneVariazioniLavoriCorsoOrdinazione", "E-A-00-010-", "5", "V"},
    {"ValoreProduzioneAbbreviato", "E-A-00-010-", "5", "V"},
    {"ProventiDiversiDividendiImpreseControllate", "E-D-00-200-d", "5", "V"},
};

// The mapping of a taxonomy code for a chart and its schema; the first two concepts
// have footnote definitions 501 and 502.
inline void creaMappatura(Connection& c, const QString& ns, const QString& codice, const QString& piano, const QString& schema)
{
    c.Execute(QString("INSERT INTO QD50_XBRLANAG SELECT %1, %2 WHERE NOT EXISTS (SELECT 1 FROM QD50_XBRLANAG WHERE "
                      "QD50_VERSIONE = %1)").arg(StringaSQL(ns), StringaSQL(codice)));
    c.Execute(QString("INSERT INTO QD15_DEFPDC VALUES (%1, 'A-C-04-010-', 'Depositi', 1, '1', NULL)").arg(StringaSQL(piano)));
    for (int pk = 1; pk <= int(std::size(kVoci)); ++pk) {
        const auto& v = kVoci[pk - 1];
        c.Execute(QString("INSERT INTO QD51_XBRLDEFANAG SELECT %1, %2, %3, %4, '' WHERE NOT EXISTS (SELECT 1 FROM "
                          "QD51_XBRLDEFANAG WHERE QD51_VERSIONE = %1 AND QD51_PK = %2)")
                      .arg(codice).arg(pk).arg(StringaSQL(QString("itcc-ci_") + v[0]), StringaSQL(QString("Voce ") + v[0])));
        if (pk <= 2)
            c.Execute(QString("INSERT INTO QD77_FOOTNOTEDEF SELECT %1, %2, %3 WHERE NOT EXISTS (SELECT 1 FROM QD77_FOOTNOTEDEF "
                              "WHERE QD77_ID = %3)").arg(codice).arg(pk).arg(500 + pk));
        c.Execute(QString("INSERT INTO QD52_XBRLCORR VALUES (%1, %2, %3, %4)").arg(pk).arg(codice, StringaSQL(piano), StringaSQL(v[1])));
        if (QString(v[0]) == "ValoreProduzioneAbbreviato") continue;  // its account is there already
        c.Execute(QString("INSERT INTO QD15_DEFPDC VALUES (%1, %2, 'Conto', 1, %3, NULL)").arg(StringaSQL(piano), StringaSQL(v[1]), StringaSQL(v[2])));
        c.Execute(QString("INSERT INTO QD02_DEFSCHEMA VALUES (%1, %2, %3, NULL)").arg(StringaSQL(schema), StringaSQL(v[1]), StringaSQL(v[3])));
    }
}

// Ordinary (chart 97) and micro (chart 99) forms of 2018-11-04.
inline void creaMappatura2018(Connection& c)
{
    creaMappatura(c, Ns2018, "8", "97", "KXCE97");
    creaMappatura(c, Ns2018, "8", "99", "KXCE99");
}

// A context: instant (a date) or duration (start|end), an optional segment.
inline QString contesto(const QString& id, const QString& identificativo, const QString& data, const QString& segmento = {})
{
    const QString periodo = data.contains('|') ? QString("<startDate>%1</startDate><endDate>%2</endDate>")
                                                     .arg(data.section('|', 0, 0), data.section('|', 1, 1))
                                               : QString("<instant>%1</instant>").arg(data);
    const QString seg = segmento.isEmpty() ? QString() : "<segment>" + segmento + "</segment>";
    return QString("<context id=\"%1\"><entity><identifier scheme=\"http://www.infocamere.it\">%2</identifier>%3</entity>"
                   "<period>%4</period></context>\n").arg(id, identificativo, seg, periodo);
}

// Two years of one identifier: instants "I2024"/"I2023", durations "D2024"/"D2023".
inline QString contestiDueAnni(const QString& identificativo = "09876543210")
{
    QString out;
    for (const QString anno : {"2024", "2023"})
        out += contesto("I" + anno, identificativo, anno + "-12-31") + contesto("D" + anno, identificativo, anno + "-01-01|" + anno + "-12-31");
    return out;
}

// An instance document: root, schema reference, contexts, a unit, then the facts.
inline QByteArray documento(const QString& fatti, const QString& contesti = contestiDueAnni(),
                            const QString& schemaRef = "itcc-ci-ese-2018-11-04.xsd", const QString& ns = Ns2018,
                            const QString& unita = "iso4217:EUR")
{
    return QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbrl xmlns=\"http://www.xbrl.org/2003/instance\" xmlns:itcc-ci=\"%1\" "
                   "xmlns:link=\"http://www.xbrl.org/2003/linkbase\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n"
                   "<link:schemaRef xlink:type=\"simple\" xlink:href=\"%2\"/>\n%3<unit id=\"u\"><measure>%4</measure></unit>\n%5\n</xbrl>\n")
        .arg(ns, schemaRef, contesti, unita, fatti)
        .toUtf8();
}

// A numeric fact; a null decimals leaves the attribute out.
inline QString fatto(const QString& concetto, const QString& contesto, const QString& valore, const QString& decimali = "0")
{
    const QString dec = decimali.isNull() ? QString() : QString(" decimals=\"%1\"").arg(decimali);
    return QString("<itcc-ci:%1 contextRef=\"%2\" unitRef=\"u\"%3>%4</itcc-ci:%1>\n").arg(concetto, contesto, dec, valore);
}

inline const QString kRegistra = "Importazione bilancio XBRL: Attenzione ditta - ";

}  // namespace xbrlprova

class XbrlFixture : public ScreenFixture, public ::testing::WithParamInterface<QString> {
protected:
    QString backend() const override { return GetParam(); }
    void SetUp() override
    {
        ScreenFixture::SetUp();
        if (!IsSkipped()) xbrlprova::creaMappatura2018(conn());
    }

    // A new run's boxes: the file dialog answered with the document, then what the test queues.
    ScriptedDialogs& daImportare(const QByteArray& documento)
    {
        return daFile(scriviFile(host.filePath(QString("doc%1.xbrl").arg(++m_documenti)), documento));
    }
    ScriptedDialogs& daFile(const QString& percorso)
    {
        dialogs.clear();
        return dialogs.answerFile(percorso);
    }
    // The run's commits.
    int importa()
    {
        const int prima = conn().commits();
        screen->ClickImportXBRL();
        screen->lwLog->flush();
        return conn().commits() - prima;
    }

    QStringList righe(const QString& sql) { return rowsOf(conn(), sql); }
    QStringList istantanea()
    {
        return tabelle(conn(), {"QD05_DITTA", "QD08_DITTAMODELLO", "QD07_VALORIPDC", "QD21_PERVALUTA", "QD78_FOOTNOTE", "QD22_IMPORTAZIONI"});
    }
    // An account's values, "year|period|original|in currency".
    QStringList valori(const QString& conto)
    {
        return righe("SELECT QD07_ANNO, QD07_NPERIODO, QD07_VALOREORIGINALE, QD07_VALOREINVALUTA FROM QD07_VALORIPDC WHERE "
                     "QD07_CODICECONTO = " + StringaSQL(conto) + " ORDER BY 1 DESC, 2");
    }
    // The boxes after the file dialog, as "title: text".
    QStringList box() const { return ScreenFixture::box().mid(1); }

private:
    int m_documenti = 0;
};
