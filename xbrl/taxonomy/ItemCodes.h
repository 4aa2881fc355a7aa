#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <vector>

namespace taxonomy {

struct LabelTable;

// Account codes from the civil-code position of an item, in the form the import's sign and
// account rules name them ("A-B-01-010-", "E-D-00-200-d"):
//   section letter (A assets, P liabilities and equity, E income statement)
//   - capital letter of the item - roman numeral, two digits - arabic number × 10, three
//   digits ("bis" adds 2, "ter" 3, "quater" 4: 17-bis is 172) - the rest: the lower-case
//   letter ("d-bis" is "dbis"), or the letters of a grouped item of the short forms
//   ("c), d), e)" is "cde"; "2), 3)" keeps 020 and adds "030").
// Totals and headings take the position of their group ("Totale immobilizzazioni
// immateriali" is "A-B-01-000-"). Items the code does not number (the "esigibili entro /
// oltre" parts, "Perdita ripianata nell'esercizio", "altri" under 16 d) ...) add a mark to
// the code of their parent: a letter after a code that ends with a digit or a hyphen, a
// digit after one that ends with a letter, the first not taken by a numbered sibling, in
// the order the items first appear across the tables. So the fourth unnumbered part of 20)
// is "E-D-00-200-d" and the fifth under 16 d) "E-C-00-160-d5", and a code means the same
// item in every chart of a version.
// Item 20 and 21, after D) with no capital letter of their own, keep D) as the numbering
// of art. 2425 runs on: "E-D-00-210-" is the result of the year.
class ItemCoder {
public:
    // Codes every cell of the tables (those of one version's statements, in model order).
    explicit ItemCoder(const std::vector<const LabelTable*>& tables);

    // Empty when the table does not label the element.
    QString code(const LabelTable& table, const QString& element) const;

private:
    struct Parsed {
        QString code;
        bool complete = true;  // false when an unnumbered segment needed a mark not yet given
    };
    Parsed parse(const QStringList& path, bool sp, QChar& lastCapital, bool assignMarks);
    QString mark(const QString& parent, const QString& segment);

    QSet<QString> m_numbered;
    QHash<QString, QSet<QString>> m_marksTaken;  // parent code -> marks given under it
    QHash<QString, QString> m_marks;             // parent code + '\n' + segment -> mark
    QHash<QString, QString> m_codes;             // table code + '\n' + element -> code
};

// A short label from a label path: the item's own, after its group's when the item is not
// numbered ("1) verso clienti: esigibili entro l'esercizio successivo"); beyond `limit`
// characters, after the group's number only.
QString shortLabel(const QStringList& path, qsizetype limit = 0);

// The next mark under a code that makes a code none of `taken` has.
QString freeMark(const QString& code, const QSet<QString>& taken);

}  // namespace taxonomy
