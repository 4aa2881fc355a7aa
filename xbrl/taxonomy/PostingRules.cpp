#include "xbrl/taxonomy/PostingRules.h"
#include <cmath>
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
        // The abbreviated models carry these as deductions.
        {{QStringLiteral("A-B-01-020-"), QStringLiteral("A-B-02-020-"), QStringLiteral("A-B-01-030-"),
          QStringLiteral("A-B-02-030-")},
         PostingRule::Negate,
         false,
         shortForms,
         {},
         false},
        {{QStringLiteral("P-A-09-000-b")}, PostingRule::Absolute, false, fullForms, {}, false},
        {{QStringLiteral("E-E-00-220-c"), QStringLiteral("E-E-00-220-d")}, PostingRule::Negate, false, always, {}, false},
        {{QStringLiteral("E-B-00-100-d")}, PostingRule::Rename, false, charts85to93, QStringLiteral("1")},
        {{QStringLiteral("E-D-00-190-a")}, PostingRule::Rename, false, consolidated85to93, QStringLiteral("2")},
        {{QStringLiteral("O--02-010-"), QStringLiteral("O--02-030-")}, PostingRule::Rename, false, always, QStringLiteral("a")},
        {{QStringLiteral("E-C-00-172-"), QStringLiteral("E-C-00-160-d5")}, PostingRule::Negate, true, consolidatedSince2016, {}},
        {{QStringLiteral("E-D-00-200-d")}, PostingRule::Negate, true, taxonomySince2016, {}},
    };
    return rules;
}

void applyPostingRules(QString& code, double& converted, const PostingContext& context)
{
    const QString original = code;
    qsizetype b = 0, e = original.size();  // blanks only, as the platform's Trim
    while (b < e && original[b] == QLatin1Char(' ')) ++b;
    while (e > b && original[e - 1] == QLatin1Char(' ')) --e;
    const QString trimmed = original.mid(b, e - b);
    for (const PostingRule& r : postingRules()) {
        const QString& compared = r.trimmed ? trimmed : original;
        if (!r.codes.contains(compared) || !r.applies(context)) continue;
        switch (r.effect) {
        case PostingRule::Negate: converted = -converted; break;
        case PostingRule::Absolute: converted = std::fabs(converted); break;
        case PostingRule::Rename: code = compared + r.suffix; break;
        }
    }
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
