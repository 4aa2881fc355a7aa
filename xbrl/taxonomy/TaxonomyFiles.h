#pragma once
#include <QHash>
#include <QString>
#include <stdexcept>
#include <vector>

// Reading of one itcc-ci taxonomy version as it is published: the concept schema, the
// entry point of each form and the calculation and presentation linkbases they name.
namespace taxonomy {

// A failure of the generator: a missing or malformed file, or data it cannot code.
class GeneratorError : public std::runtime_error {
public:
    explicit GeneratorError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

struct Element {
    QString id;       // "itcc-ci_TotaleAttivo": the instance name with ':' read as '_'
    QString name;     // "TotaleAttivo"
    QString type;     // "xbrli:monetaryItemType"
    QString balance;  // "debit", "credit" or empty
    QString periodType;
    bool abstract = false;
    bool tuple = false;
};

struct Arc {
    QString from, to;  // element names
    double order = 0;
    int weight = 1;
};

// One extended link: the arcs of one role.
struct ExtendedLink {
    QString role;
    std::vector<Arc> arcs;
};

struct Linkbase {
    QString file;
    std::vector<ExtendedLink> links;
};

// What a form's entry point brings that is in the folder (the version's other linkbases,
// notes and cash flow among them, may be absent: they hold no statement).
struct EntryPoint {
    QString form;
    QString file;
    std::vector<Linkbase> calculation;
    std::vector<Linkbase> presentation;
};

class TaxonomyFiles {
public:
    // The concept schema is the schema of the folder that declares the most elements.
    explicit TaxonomyFiles(const QString& folder);

    const QString& folder() const { return m_folder; }
    const QString& targetNamespace() const { return m_namespace; }
    // In declaration order, which numbers them.
    const std::vector<Element>& elements() const { return m_elements; }
    const Element* element(const QString& name) const;

    // The entry point whose file name holds "-<form>-", as the schema reference of a
    // filing does ("itcc-ci-micr-2018-11-04.xsd").
    EntryPoint entryPoint(const QString& form) const;

private:
    Linkbase readLinkbase(const QString& file, const char* linkName, const char* arcName) const;

    QString m_folder;
    QString m_namespace;
    std::vector<Element> m_elements;
    QHash<QString, int> m_byName;
    QHash<QString, QString> m_nameById;
};

}  // namespace taxonomy
