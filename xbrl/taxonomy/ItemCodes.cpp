#include "xbrl/taxonomy/ItemCodes.h"
#include "xbrl/taxonomy/LabelModel.h"
#include "xbrl/taxonomy/TaxonomyFiles.h"
#include <QRegularExpression>

namespace taxonomy {
namespace {

const QRegularExpression& capitalItem()
{
    static const QRegularExpression re(QStringLiteral("^([A-Z])\\)\\s"));
    return re;
}
const QRegularExpression& romanItem()
{
    static const QRegularExpression re(QStringLiteral("^([IVXL]+) - "));
    return re;
}
const QRegularExpression& arabicItem()
{
    static const QRegularExpression re(QStringLiteral("^(\\d+)(?:-([a-z]+))?\\)\\s"));
    return re;
}
const QRegularExpression& letterItem()
{
    static const QRegularExpression re(QStringLiteral("^([a-z])(?:-([a-z]+))?\\)\\s"));
    return re;
}
// "2), 3) variazioni ...", "c), d), e) trattamento ...": items the short forms group.
const QRegularExpression& groupedItems()
{
    static const QRegularExpression re(QStringLiteral("^((?:[0-9a-z]+(?:-[a-z]+)?\\),\\s*)+[0-9a-z]+(?:-[a-z]+)?\\))\\s"));
    return re;
}

int roman(const QString& s)
{
    static const QHash<QChar, int> value{
        {QLatin1Char('I'), 1}, {QLatin1Char('V'), 5}, {QLatin1Char('X'), 10}, {QLatin1Char('L'), 50}};
    int total = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const int v = value.value(s[i]);
        total += (i + 1 < s.size() && value.value(s[i + 1]) > v) ? -v : v;
    }
    return total;
}

// The Latin suffixes of inserted items, as units added to the arabic number × 10.
int suffix(const QString& s)
{
    static const QStringList order{QStringLiteral("bis"),       QStringLiteral("ter"),    QStringLiteral("quater"),
                                   QStringLiteral("quinquies"), QStringLiteral("sexies"), QStringLiteral("septies"),
                                   QStringLiteral("octies")};
    if (s.isEmpty()) return 0;
    const qsizetype i = order.indexOf(s);
    if (i < 0) throw GeneratorError(QStringLiteral("Suffisso di voce sconosciuto: %1").arg(s));
    return int(i) + 2;
}

bool isTotal(const QString& segment) { return segment.startsWith(QLatin1String("Totale")); }

bool isNumbered(const QString& segment)
{
    return capitalItem().match(segment).hasMatch() || romanItem().match(segment).hasMatch() ||
           arabicItem().match(segment).hasMatch() || letterItem().match(segment).hasMatch() ||
           groupedItems().match(segment).hasMatch();
}

// Segments that name the statement or its side, not an item.
qsizetype firstItemSegment(const QStringList& path)
{
    qsizetype i = path.value(0) == QLatin1String("Item duplicati") ? 2 : 1;
    if (path.value(i) == QLatin1String("Attivo") || path.value(i) == QLatin1String("Passivo")) ++i;
    return i;
}

struct Position {
    QChar section, capital;
    int roman = 0, arabic = 0;
    QString rest;
    QString code() const
    {
        return QStringLiteral("%1-%2-%3-%4-%5")
            .arg(section)
            .arg(capital.isNull() ? QString() : QString(capital))
            .arg(roman, 2, 10, QLatin1Char('0'))
            .arg(arabic, 3, 10, QLatin1Char('0'))
            .arg(rest);
    }
};

}  // namespace

QString freeMark(const QString& code, const QSet<QString>& taken)
{
    const bool digits = !code.isEmpty() && code.back().isLetter();
    const QString alphabet = digits ? QStringLiteral("123456789") : QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    for (QChar c : alphabet)
        if (!taken.contains(code + c)) return QString(c);
    throw GeneratorError(QStringLiteral("Nessun codice libero sotto %1").arg(code));
}

QString ItemCoder::mark(const QString& parent, const QString& segment)
{
    const QString key = parent + QLatin1Char('\n') + segment;
    auto it = m_marks.constFind(key);
    if (it != m_marks.constEnd()) return *it;
    QSet<QString> taken = m_numbered;
    for (const QString& m : m_marksTaken.value(parent)) taken.insert(parent + m);
    const QString m = freeMark(parent, taken);
    m_marksTaken[parent].insert(m);
    return *m_marks.insert(key, m);
}

ItemCoder::Parsed ItemCoder::parse(const QStringList& path, bool sp, QChar& lastCapital, bool assignMarks)
{
    Position p;
    const qsizetype first = firstItemSegment(path);
    if (sp) {
        const QString side = path.value(first - 1);
        if (side == QLatin1String("Attivo"))
            p.section = QLatin1Char('A');
        else if (side == QLatin1String("Passivo"))
            p.section = QLatin1Char('P');
        else
            return {QString(), true};  // the statement's own heading: no side, no code
    } else {
        p.section = QLatin1Char('E');
    }
    QString previous = path.value(first - 1);
    for (qsizetype i = first; i < path.size(); ++i) {
        const QString& s = path[i];
        // A total, a heading, or a group's own element repeating the group: the group's position.
        if (isTotal(s) || s == QLatin1String("Heading") || s == previous) continue;
        previous = s;
        QRegularExpressionMatch m;
        if ((m = groupedItems().match(s)).hasMatch()) {
            QStringList parts = m.captured(1).split(QLatin1Char(','));
            for (QString& part : parts) part = part.trimmed().chopped(1);
            bool arabic = false;
            const int firstNumber = parts.first().toInt(&arabic);
            if (arabic) {
                if (p.capital.isNull()) p.capital = lastCapital;
                p.arabic = firstNumber * 10;
                p.rest = QStringLiteral("%1").arg(parts.last().toInt() * 10, 3, 10, QLatin1Char('0'));
            } else {
                p.rest = parts.join(QString()).remove(QLatin1Char('-'));
            }
        } else if ((m = capitalItem().match(s)).hasMatch()) {
            p.capital = lastCapital = m.captured(1).front();
            p.roman = p.arabic = 0;
            p.rest.clear();
        } else if ((m = romanItem().match(s)).hasMatch()) {
            p.roman = roman(m.captured(1));
            p.arabic = 0;
            p.rest.clear();
        } else if ((m = arabicItem().match(s)).hasMatch()) {
            if (p.capital.isNull()) p.capital = lastCapital;
            p.arabic = m.captured(1).toInt() * 10 + suffix(m.captured(2));
            p.rest.clear();
        } else if ((m = letterItem().match(s)).hasMatch()) {
            p.rest = m.captured(1) + m.captured(2);
        } else {
            if (!assignMarks) return {QString(), false};
            p.rest += mark(p.code(), s);
        }
    }
    if (p.code().size() > 20) throw GeneratorError(QStringLiteral("Codice troppo lungo: %1").arg(p.code()));
    return {p.code(), true};
}

ItemCoder::ItemCoder(const std::vector<const LabelTable*>& tables)
{
    // Numbered items first, so that no mark takes a code the civil code gives an item.
    for (int pass = 0; pass < 2; ++pass) {
        for (const LabelTable* t : tables) {
            const bool sp = t->name.startsWith(QLatin1String("Stato patrimoniale"));
            QChar lastCapital;
            for (const LabelCell& c : t->cells) {
                const Parsed parsed = parse(c.path, sp, lastCapital, pass == 1);
                if (pass == 0) {
                    if (parsed.complete) m_numbered.insert(parsed.code);
                    continue;
                }
                const QString key = t->code + QLatin1Char('\n') + c.element;
                // The path filed under "Item duplicati" only when the table has no other.
                if (m_codes.contains(key) && c.path.value(0) == QLatin1String("Item duplicati")) continue;
                m_codes.insert(key, parsed.code);
            }
        }
    }
}

QString ItemCoder::code(const LabelTable& table, const QString& element) const
{
    return m_codes.value(table.code + QLatin1Char('\n') + element);
}

QString shortLabel(const QStringList& path, qsizetype limit)
{
    const qsizetype first = firstItemSegment(path);
    QStringList own = path.mid(first);
    own.removeAll(QStringLiteral("Heading"));
    own.removeDuplicates();  // a group's own element repeats the group
    if (own.isEmpty()) return path.value(first - 1);
    const QString& last = own.last();
    if (own.size() < 2 || isNumbered(last) || isTotal(last)) return last;
    const QString& group = own[own.size() - 2];
    const QString full = group + QStringLiteral(": ") + last;
    if (limit <= 0 || full.size() <= limit) return full;
    // Too long: the group's number stands for the group ("20) imposte correnti").
    for (const QRegularExpression* re : {&groupedItems(), &capitalItem(), &romanItem(), &arabicItem(), &letterItem()}) {
        const QRegularExpressionMatch m = re->match(group);
        if (m.hasMatch()) return m.captured(0).trimmed() + QLatin1Char(' ') + last;
    }
    return full;
}

}  // namespace taxonomy
