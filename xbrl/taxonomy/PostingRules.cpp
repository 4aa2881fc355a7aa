#include "xbrl/taxonomy/PostingRules.h"
#include <vector>

namespace taxonomy {
namespace {

bool always(const PostingContext&) { return true; }
bool shortForms(const PostingContext& c) { return c.baseModel == QLatin1String("KXCE86"); }
bool fullForms(const PostingContext& c) { return c.baseModel == QLatin1String("KXCE85"); }
bool charts85to93(const PostingContext& c)
{
    static const QStringList charts{QStringLiteral("85"),   QStringLiteral("85CO"), QStringLiteral("88"),
                                    QStringLiteral("88CO"), QStringLiteral("90"),   QStringLiteral("93CO")};
    return charts.contains(c.chart);
}
bool consolidated85to93(const PostingContext& c)
{
    return c.chart == QLatin1String("85CO") || c.chart == QLatin1String("88CO") || c.chart == QLatin1String("93CO");
}
bool consolidatedSince2016(const PostingContext& c)
{
    return c.chart == QLatin1String("94CO") || c.chart == QLatin1String("97CO");
}
bool taxonomySince2016(const PostingContext& c)
{
    return c.taxonomyCode == QLatin1String("7") || c.taxonomyCode == QLatin1String("8");
}

}  // namespace

const std::vector<PostingRule>& postingRules()
{
    static const std::vector<PostingRule> rules{
        {{QStringLiteral("A-B-01-020-"), QStringLiteral("A-B-02-020-"), QStringLiteral("A-B-01-030-"),
          QStringLiteral("A-B-02-030-")},
         PostingRule::Negate,
         false,
         shortForms},
        {{QStringLiteral("P-A-09-000-b")}, PostingRule::Absolute, false, fullForms},
        {{QStringLiteral("E-E-00-220-c"), QStringLiteral("E-E-00-220-d")}, PostingRule::Negate, false, always},
        {{QStringLiteral("E-B-00-100-d")}, PostingRule::Rename, false, charts85to93},
        {{QStringLiteral("E-D-00-190-a")}, PostingRule::Rename, false, consolidated85to93},
        {{QStringLiteral("O--02-010-"), QStringLiteral("O--02-030-")}, PostingRule::Rename, false, always},
        {{QStringLiteral("E-C-00-172-"), QStringLiteral("E-C-00-160-d5")}, PostingRule::Negate, true, consolidatedSince2016},
        {{QStringLiteral("E-D-00-200-d")}, PostingRule::Negate, true, taxonomySince2016},
    };
    return rules;
}

int ruleFactor(const QString& code, const PostingContext& context)
{
    int factor = 1;
    for (const PostingRule& r : postingRules())
        if (r.effect == PostingRule::Negate && r.codes.contains(code) && r.applies(context)) factor = -factor;
    return factor;
}

const QStringList& postedAnyway()
{
    static const QStringList codes{QStringLiteral("P-A-09-000-a"), QStringLiteral("E-E-00-230-"), QStringLiteral("E-D-00-210-"),
                                   QStringLiteral("O--02-010-"), QStringLiteral("O--02-030-")};
    return codes;
}

}  // namespace taxonomy
