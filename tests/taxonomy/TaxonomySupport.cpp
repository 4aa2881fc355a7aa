#include "TaxonomySupport.h"

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

const taxonomy::Chart& chartOf(const QString& code)
{
    for (const taxonomy::Chart& c : reference2018().charts)
        if (c.form.chart == code) return c;
    throw std::logic_error("no chart " + code.toStdString());
}
