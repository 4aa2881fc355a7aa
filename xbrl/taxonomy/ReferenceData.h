#pragma once
#include <QString>
#include <vector>

// The reference rows of one itcc-ci taxonomy version, built from its published files and
// the label model: the namespace, the elements, one chart of accounts and one reporting
// schema per form, the element-to-account map and the footnote definitions.
namespace taxonomy {

// A form as the import's taxonomy table names it: the prefix of its schema reference ("ese"
// in "itcc-ci-ese-", "abb", "micr", "cons"), the chart ("version number"), the reporting
// schema and the base model.
struct Form {
    QString prefix;
    QString chart;
    QString schema;
    QString baseModel;
};

struct GeneratorOptions {
    QString taxonomyFolder;
    QString labelModel;
    QString taxonomyCode;  // QD50_CODICE of the version's namespace
    std::vector<Form> forms;
};

// Row types of the reporting schemas.
namespace RowType {
constexpr char Value = 'V';      // a leaf of the statement's calculation tree: posted
constexpr char Aggregate = 'A';  // a total of other rows
constexpr char Breakdown = 'D';  // a further breakdown of a total, never posted ("di cui")
constexpr char Heading = 'B';    // a title, no account behind it
}  // namespace RowType

struct Account {
    QString element;      // element name
    QString code;         // QD15_CODICECONTO
    QString description;  // up to 80 characters
    char section = ' ';   // '1', '2', '4', '5'
    char rowType = RowType::Value;
    int level = 1;  // depth in the calculation tree, the root 1
};

struct SchemaRow {
    QString code;
    char rowType = RowType::Value;
    QString description;  // up to 120 characters
};

// An account that totals others (a grouped line of the short forms, a subtotal) and one
// of the accounts it totals, at any depth.
struct GroupPart {
    QString group;
    QString part;
};

struct Chart {
    Form form;
    QString description;
    std::vector<Account> accounts;  // in the statements' order, balance sheet first
    std::vector<SchemaRow> schemaRows;
    // What each total of a statement adds up: a filing that gives a total without any of
    // its parts has its amount posted on the total's own account.
    std::vector<GroupPart> groups;
    const Account* account(const QString& code) const;
    const Account* accountOf(const QString& element) const;
};

struct ElementRow {
    int pk = 0;    // declaration order in the concept schema, from 1
    QString id;    // "itcc-ci_TotaleAttivo", as the import looks it up
    QString name;  // "TotaleAttivo"
    QString label;
    QString balance;  // "debit", "credit" or empty
};

struct ReferenceData {
    QString namespaceUri;
    QString taxonomyCode;
    std::vector<ElementRow> elements;
    std::vector<Chart> charts;
    const ElementRow* element(const QString& id) const;
    // Footnote definitions: one per element some chart maps, numbered apart from every
    // other version's.
    int footnoteId(int pk) const;
};

// Reads the files and builds the rows; a GeneratorError when something cannot be coded or
// would post wrongly.
ReferenceData generate(const GeneratorOptions& options);

// Statements that replace the version's rows: run twice, they leave the same rows.
QString referenceSql(const ReferenceData& data);

}  // namespace taxonomy
