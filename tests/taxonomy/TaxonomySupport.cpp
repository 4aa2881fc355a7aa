#include "TaxonomySupport.h"
#include "TestDb.h"
#include "platform/db/Connection.h"
#include <QFile>
#include <QHash>
#include <QSqlQuery>
#include <cmath>
#include <cstring>
#include <pugixml.hpp>

QString xbrlData(const QString& relative) { return QStringLiteral(KTR_XBRL_DATA "/") + relative; }

const taxonomy::GeneratorOptions& options2018()
{
    static const taxonomy::GeneratorOptions o{
        xbrlData(QStringLiteral("taxonomy/2018-11-04")),
        xbrlData(QStringLiteral("reference/oresteafrica-bilancio_xbrl/mapping.xml")),
        QStringLiteral("8"),
        {{QStringLiteral("ese"), QStringLiteral("97"), QStringLiteral("KXCE97"), QStringLiteral("KXCE85")},
         {QStringLiteral("abb"), QStringLiteral("98"), QStringLiteral("KXCE98"), QStringLiteral("KXCE86")},
         {QStringLiteral("micr"), QStringLiteral("99"), QStringLiteral("KXCE99"), QStringLiteral("KXCE86")},
         {QStringLiteral("cons"), QStringLiteral("97CO"), QStringLiteral("KXCO97"), QStringLiteral("KXCE85")}}};
    return o;
}

const taxonomy::ReferenceData& reference2018()
{
    static const taxonomy::ReferenceData data = taxonomy::generate(options2018());
    return data;
}

double Filing::fact(const QString& name, const QString& year) const
{
    for (const Fact& f : facts)
        if (f.name == name && f.year == year) return f.text.toDouble();
    return std::nan("");
}

Filing readFiling(const QString& path)
{
    pugi::xml_document doc;
    if (!doc.load_file(QFile::encodeName(path).constData())) return {};
    const pugi::xml_node root = doc.child("xbrl");
    Filing filing;
    filing.namespaceUri = QString::fromUtf8(root.attribute("xmlns:itcc-ci").value()).trimmed();
    QHash<QString, QString> yearOf;
    pugi::xml_node lastContext;
    for (pugi::xml_node n : root.children()) {
        if (std::strcmp(n.name(), "link:schemaRef") == 0) filing.schemaRef = QString::fromUtf8(n.attribute("xlink:href").value());
        if (std::strcmp(n.name(), "context") != 0) continue;
        lastContext = n;
        const pugi::xml_node period = n.child("period");
        const pugi::xml_node date = period.child("instant") ? period.child("instant") : period.child("endDate");
        yearOf.insert(QString::fromUtf8(n.first_attribute().value()), QString::fromUtf8(date.text().get()).left(4));
    }
    // The walk: every node after the last context, in turn, its attributes kept from one to
    // the next when it lacks them.
    int decimals = 0;
    QString year;
    for (pugi::xml_node n = lastContext.next_sibling(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        for (pugi::xml_attribute a : n.attributes()) {
            if (std::strcmp(a.name(), "decimals") == 0) {
                bool ok = false;
                decimals = QString::fromUtf8(a.value()).toInt(&ok);
                if (!ok) decimals = 0;
            } else if (std::strcmp(a.name(), "contextRef") == 0) {
                year = yearOf.value(QString::fromUtf8(a.value()));
            }
        }
        filing.facts.push_back({QString::fromUtf8(n.name()), year, QString::fromUtf8(n.text().get()), decimals});
    }
    return filing;
}

double Posted::total(const QString& year) const
{
    double t = 0;
    for (const auto& [section, sum] : bySection.value(year).asKeyValueRange())
        if (section != QLatin1String("6")) t += sum;
    return t;
}

namespace {

// The import's taxonomy table, for the taxonomy code of 2018-11-04.
struct Version {
    QString chart, baseModel, schema;
};
Version versionOf(const QString& code, const QString& schemaRef)
{
    if (code != QLatin1String("8")) return {};
    if (schemaRef.contains(QLatin1String("itcc-ci-ese-")))
        return {QStringLiteral("97"), QStringLiteral("KXCE85"), QStringLiteral("KXCE97")};
    if (schemaRef.contains(QLatin1String("itcc-ci-abb-")))
        return {QStringLiteral("98"), QStringLiteral("KXCE86"), QStringLiteral("KXCE98")};
    if (schemaRef.contains(QLatin1String("itcc-ci-cons-")))
        return {QStringLiteral("97CO"), QStringLiteral("KXCE85"), QStringLiteral("KXCO97")};
    if (schemaRef.contains(QLatin1String("itcc-ci-micr-")))
        return {QStringLiteral("99"), QStringLiteral("KXCE86"), QStringLiteral("KXCE99")};
    return {};
}

QString field(Connection& c, const QString& table, const QString& column, const QString& condition)
{
    return scalar(c, QStringLiteral("SELECT %1 FROM %2%3").arg(column, table, condition)).toString();
}

}  // namespace

Posted post(Connection& c, const Filing& filing)
{
    Posted posted;
    const QString code = field(c, QStringLiteral("QD50_XBRLANAG"), QStringLiteral("QD50_CODICE"),
                               QStringLiteral(" where QD50_VERSIONE = '") + filing.namespaceUri + QLatin1Char('\''))
                             .trimmed();
    const Version v = versionOf(code, filing.schemaRef);
    if (v.chart.isEmpty()) return posted;
    for (const Fact& f : filing.facts) {
        const QString n = f.name.trimmed().replace(QLatin1String("itcc-ci:"), QLatin1String("itcc-ci_"));
        QSqlQuery q(c.database());
        q.exec(QStringLiteral(
                   "SELECT QD51_XBRLDEFANAG.QD51_VERSIONE, QD51_XBRLDEFANAG.QD51_PK, QD51_XBRLDEFANAG.QD51_ID, "
                   "QD51_XBRLDEFANAG.QD51_LABEL, QD51_XBRLDEFANAG.QD51_SALDO, QD52_XBRLCORR.QD52_CODICEPDC_QD04, "
                   "QD52_XBRLCORR.QD52_CODICECONTO_QD15 FROM QD51_XBRLDEFANAG INNER JOIN QD52_XBRLCORR ON "
                   "(QD51_XBRLDEFANAG.QD51_PK = QD52_XBRLCORR.QD52_PK_QD51) AND (QD51_XBRLDEFANAG.QD51_VERSIONE = "
                   "QD52_XBRLCORR.QD52_VERSIONE) WHERE ((QD51_VERSIONE = %1) AND ((QD52_XBRLCORR.QD52_CODICEPDC_QD04)='%2') "
                   "AND ((QD51_XBRLDEFANAG.QD51_ID)='%3'))")
                   .arg(code, v.chart, n));
        if (!q.next()) continue;
        const QString saldo = q.value(4).toString().trimmed();
        QString account = q.value(6).toString();
        if (saldo.isEmpty() && !account.startsWith(QLatin1Char('O')) && code != QLatin1String("6") &&
            code != QLatin1String("7") && code != QLatin1String("8"))
            continue;
        const QString rowType =
            field(c, QStringLiteral("QD02_DEFSCHEMA"), QStringLiteral("QD02_TIPORIGA"),
                  QStringLiteral(" where QD02_CODICESCHEMA_QD01 = '%1' and QD02_VOCE = '%2'").arg(v.schema, account.trimmed()));
        static const QStringList anyway{QStringLiteral("P-A-09-000-a"), QStringLiteral("E-E-00-230-"),
                                        QStringLiteral("E-D-00-210-"), QStringLiteral("O--02-010-"),
                                        QStringLiteral("O--02-030-")};
        if (rowType.trimmed() != QLatin1String("V") && !anyway.contains(account)) continue;
        auto sectionOf = [&](const QString& a) {
            return field(
                c, QStringLiteral("QD15_DEFPDC"), QStringLiteral("QD15_SEZIONE"),
                QStringLiteral(" where QD15_CODICEPDC_QD04 = '%1' and QD15_CODICECONTO = '%2'").arg(v.chart, a.trimmed()));
        };
        const QString section = sectionOf(account);
        const double value = f.text.toDouble() / std::pow(10.0, f.decimals);
        const double foreign = (section == QLatin1String("2") || section == QLatin1String("5")) ? -value : value;
        double converted = foreign;  // rate 1: the filings are in euro

        // The sign and account rules, in the import's order.
        const QString trimmed = account.trimmed();
        if (v.baseModel == QLatin1String("KXCE86"))
            for (const char* a : {"A-B-01-020-", "A-B-02-020-", "A-B-01-030-", "A-B-02-030-"})
                if (account == QLatin1String(a)) converted = -converted;
        if (v.baseModel == QLatin1String("KXCE85") && account == QLatin1String("P-A-09-000-b")) converted = std::abs(converted);
        if (account == QLatin1String("E-E-00-220-c") || account == QLatin1String("E-E-00-220-d")) converted = -converted;
        if (trimmed == QLatin1String("E-B-00-100-d") && QStringList{"85", "85CO", "88", "88CO", "90", "93CO"}.contains(v.chart))
            account = QStringLiteral("E-B-00-100-d1");
        if (trimmed == QLatin1String("E-D-00-190-a") && QStringList{"85CO", "88CO", "93CO"}.contains(v.chart))
            account = QStringLiteral("E-D-00-190-a2");
        if (trimmed == QLatin1String("O--02-010-")) account = QStringLiteral("O--02-010-a");
        if (trimmed == QLatin1String("O--02-030-")) account = QStringLiteral("O--02-030-a");
        if ((trimmed == QLatin1String("E-C-00-172-") || trimmed == QLatin1String("E-C-00-160-d5")) &&
            (v.chart == QLatin1String("94CO") || v.chart == QLatin1String("97CO")))
            converted = -converted;
        if (trimmed == QLatin1String("E-D-00-200-d") && (code == QLatin1String("7") || code == QLatin1String("8")))
            converted = -converted;

        // The value row of the account, read back by the balance check by its chart section.
        posted.byAccount[f.year][account] += converted;
        posted.bySection[f.year][sectionOf(account)] += converted;
    }
    return posted;
}
