#pragma once
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

// The Italian labels of a taxonomy version, from a model that gives every concept of every
// table its label path with the civil-code numbering, for example
//   Voci.Stato patrimoniale.Attivo.'B) Immobilizzazioni'.'I - Immobilizzazioni immateriali'.'1) costi di impianto e di
//   ampliamento'
namespace taxonomy {

// The segments of a label path: dots separate them outside quotes, '' is an apostrophe.
QStringList splitLabelPath(const QString& fullname);

struct LabelCell {
    QString element;
    QString type;      // "monetary", "abstract", ...
    QStringList path;  // without the leading "Voci"
};

struct LabelTable {
    QString code;  // "T0001"
    QString name;  // "Stato patrimoniale"
    std::vector<LabelCell> cells;
    QSet<QString> concepts() const;
    // The path of an element; a path filed under "Item duplicati" only when there is no other.
    const QStringList* path(const QString& element) const;
};

class LabelModel {
public:
    explicit LabelModel(const QString& file);
    const std::vector<LabelTable>& tables() const { return m_tables; }
    // The table that shares the most with the concepts (the largest share of their union),
    // which tells which of the forms' tables labels a linkbase; null when none shares any.
    const LabelTable* bestTable(const QSet<QString>& concepts) const;

private:
    std::vector<LabelTable> m_tables;
};

}  // namespace taxonomy
