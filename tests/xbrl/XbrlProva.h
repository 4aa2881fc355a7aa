#pragma once
// What the XBRL tests share: a small mapping of the 2018-11-04 taxonomy (a few
// concepts of the real filings) and instance documents written around given facts.
#include "platform/db/Connection.h"
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <ostream>

// Texts in failure messages as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace xbrlprova {

inline const QString Ns2018 = QStringLiteral("http://www.infocamere.it/itnn/fr/itcc/ci/2018-11-04");
inline const QString Ns2014 = QStringLiteral("http://www.infocamere.it/itnn/fr/itcc/ci/2014-11-17");

// The real filings kept with the sources.
inline QString filing(const QString& nome)
{
    return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../../data/xbrl/filings/") + nome);
}

struct Voce {
    int pk;
    const char* concetto;  // element name without its prefix
    const char* conto;
    const char* sezione;
    const char* tipoRiga;  // QD02_TIPORIGA of the account in the schema
};

// Totals that square: assets against liabilities, the year's result on both sides;
// then concepts the real filings do not use, for documents written by the tests.
inline const Voce kVoci[] = {
    {1, "TotaleAttivo", "A-T-00-000-", "1", "V"},
    {2, "TotalePassivo", "P-T-00-000-", "2", "V"},
    {3, "PatrimonioNettoUtilePerditaEsercizio", "P-A-09-000-a", "2", "A"},  // posted as a listed exception
    {4, "UtilePerditaEsercizio", "E-E-00-230-", "4", "V"},
    {5, "TotaleImmobilizzazioni", "A-B-00-000-", "1", "B"},                 // a heading: never posted
    {6, "ValoreFineEsercizioCostiSviluppo", "A-B-01-020-", "1", "V"},
    {7, "ValoreProduzioneVariazioniLavoriCorsoOrdinazione", "E-A-00-010-", "5", "V"},
    {8, "ValoreProduzioneAbbreviato", "E-A-00-010-", "5", "V"},
    {9, "ProventiDiversiDividendiImpreseControllate", "E-D-00-200-d", "5", "V"},
};

// The mapping of one taxonomy code for the given charts and schemas, with a footnote
// definition (id 500 + pk) for the first two concepts.
inline void creaMappatura(Connection& c, const QString& ns, const QString& codice, const QStringList& piani,
                          const QStringList& schemi)
{
    c.Execute(QStringLiteral("INSERT INTO QD50_XBRLANAG VALUES ('%1', '%2')").arg(ns, codice));
    for (const Voce& v : kVoci) {
        c.Execute(QStringLiteral("INSERT INTO QD51_XBRLDEFANAG VALUES (%1, %2, 'itcc-ci_%3', 'Voce %3', '')")
                      .arg(codice).arg(v.pk).arg(QLatin1String(v.concetto)));
        if (v.pk <= 2)
            c.Execute(QStringLiteral("INSERT INTO QD77_FOOTNOTEDEF VALUES (%1, %2, %3)").arg(codice).arg(v.pk).arg(500 + v.pk));
        for (const QString& piano : piani)
            c.Execute(QStringLiteral("INSERT INTO QD52_XBRLCORR VALUES (%1, %2, '%3', '%4')")
                          .arg(v.pk).arg(codice, piano, QLatin1String(v.conto)));
    }
    for (const QString& piano : piani) {
        c.Execute(QStringLiteral("INSERT INTO QD04_PDC VALUES ('%1', 'Tassonomia %1', NULL, 1)").arg(piano));
        QStringList fatti;
        for (const Voce& v : kVoci) {
            if (fatti.contains(QLatin1String(v.conto))) continue;
            fatti << QLatin1String(v.conto);
            c.Execute(QStringLiteral("INSERT INTO QD15_DEFPDC VALUES ('%1', '%2', 'Conto %2', 1, '%3', NULL)")
                          .arg(piano, QLatin1String(v.conto), QLatin1String(v.sezione)));
        }
        // An account no fact reaches, zero all the same.
        c.Execute(QStringLiteral("INSERT INTO QD15_DEFPDC VALUES ('%1', 'A-C-04-010-', 'Depositi', 1, '1', NULL)").arg(piano));
    }
    for (const QString& schema : schemi) {
        QStringList fatti;
        for (const Voce& v : kVoci) {
            if (fatti.contains(QLatin1String(v.conto))) continue;
            fatti << QLatin1String(v.conto);
            c.Execute(QStringLiteral("INSERT INTO QD02_DEFSCHEMA VALUES ('%1', '%2', '%3', NULL)")
                          .arg(schema, QLatin1String(v.conto), QLatin1String(v.tipoRiga)));
        }
    }
}

// The 2018-11-04 mapping: ordinary (chart 97) and micro (chart 99) forms.
inline void creaMappatura2018(Connection& c)
{
    creaMappatura(c, Ns2018, QStringLiteral("8"), {QStringLiteral("97"), QStringLiteral("99")},
                  {QStringLiteral("KXCE97"), QStringLiteral("KXCE99")});
}

// Two years of one identifier, instants "I2024"/"I2023" and durations "D2024"/"D2023".
inline QString contestiDueAnni(const QString& identificativo = QStringLiteral("09876543210"))
{
    QString out;
    for (int anno : {2024, 2023}) {
        const QString entita =
            QStringLiteral("<entity><identifier scheme=\"http://www.infocamere.it\">%1</identifier></entity>").arg(identificativo);
        out += QStringLiteral("<context id=\"I%1\">%2<period><instant>%1-12-31</instant></period></context>\n")
                   .arg(anno)
                   .arg(entita);
        out += QStringLiteral("<context id=\"D%1\">%2<period><startDate>%1-01-01</startDate><endDate>%1-12-31</endDate>"
                              "</period></context>\n")
                   .arg(anno)
                   .arg(entita);
    }
    return out;
}

// An instance document: the root with its namespaces, the schema reference, the
// contexts, a unit and the given facts (and anything else after the contexts).
inline QByteArray documento(const QString& fatti, const QString& contesti = contestiDueAnni(),
                            const QString& schemaRef = QStringLiteral("itcc-ci-ese-2018-11-04.xsd"),
                            const QString& ns = Ns2018, const QString& unita = QStringLiteral("iso4217:EUR"))
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<xbrl xmlns=\"http://www.xbrl.org/2003/instance\" xmlns:itcc-ci=\"%1\" "
                           "xmlns:link=\"http://www.xbrl.org/2003/linkbase\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                           "xmlns:iso4217=\"http://www.xbrl.org/2003/iso4217\">\n"
                           "<link:schemaRef xlink:type=\"simple\" xlink:href=\"%2\"/>\n")
                .arg(ns, schemaRef) +
            contesti + QStringLiteral("<unit id=\"EUR\"><measure>%1</measure></unit>\n").arg(unita) + fatti +
            QStringLiteral("\n</xbrl>\n"))
        .toUtf8();
}

// A numeric fact.
inline QString fatto(const QString& concetto, const QString& contesto, const QString& valore,
                     const QString& decimali = QStringLiteral("0"))
{
    const QString dec = decimali.isNull() ? QString() : QStringLiteral(" decimals=\"%1\"").arg(decimali);
    return QStringLiteral("<itcc-ci:%1 contextRef=\"%2\" unitRef=\"EUR\"%3>%4</itcc-ci:%1>\n").arg(concetto, contesto, dec, valore);
}

}  // namespace xbrlprova
