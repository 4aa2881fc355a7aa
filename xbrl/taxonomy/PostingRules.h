#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// What the XBRL import does to particular account codes when it posts a fact: the sign
// and account rules it applies after signing the amount by section, and the accounts it
// posts even when their schema row is not "V". The import applies exactly this table,
// and the generator checks every chart against it.
namespace taxonomy {

// What the import knows of a filing when it posts: the taxonomy code of the namespace, and
// from the schema reference the chart ("version number") and the base model.
struct PostingContext {
    QString taxonomyCode;
    QString chart;
    QString baseModel;
};

struct PostingRule {
    enum Effect { Negate, Absolute, Rename };
    QStringList codes;
    Effect effect;
    // True when the code names the same civil-code item in our charts, so that a section
    // chosen against the rule gives the true sign. False for codes of older layouts (item
    // E) of the income statement before 2016, memorandum accounts, the funds the short
    // forms used to show under B) I and II): a chart of ours must not contain them.
    bool sameItem;
    bool (*applies)(const PostingContext&);
    QString suffix;         // Rename: what is appended to the code
    bool trimmed = true;    // the code compared with its blanks trimmed
};

// In the order the import applies them.
const std::vector<PostingRule>& postingRules();

// Applies the rules to a fact's account and its converted amount (the amount in the
// document's unit is not theirs to change). Every rule compares the account as it was
// before any rule renamed it.
void applyPostingRules(QString& code, double& converted, const PostingContext& context);

// The factor the rules that apply put on an account's section-signed amount (1 or -1).
int ruleFactor(const QString& code, const PostingContext& context);

// Accounts posted even when their schema row is not "V".
const QStringList& postedAnyway();

}  // namespace taxonomy
