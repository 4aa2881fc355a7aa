#include "TaxonomySupport.h"

QString xbrlData(const QString& relative) { return QStringLiteral(KTR_XBRL_DATA "/") + relative; }

const taxonomy::GeneratorOptions& options2018()
{
    static const taxonomy::GeneratorOptions o{
        xbrlData("taxonomy/2018-11-04"), xbrlData("reference/oresteafrica-bilancio_xbrl/mapping.xml"), "8",
        {{"ese", "97", "KXCE97", "KXCE85"}, {"abb", "98", "KXCE98", "KXCE86"}, {"micr", "99", "KXCE99", "KXCE86"},
         {"cons", "97CO", "KXCO97", "KXCE85"}}};
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
