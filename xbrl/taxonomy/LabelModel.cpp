#include "xbrl/taxonomy/LabelModel.h"
#include "xbrl/taxonomy/TaxonomyFiles.h"
#include <QFile>
#include <pugixml.hpp>

namespace taxonomy {

QStringList splitLabelPath(const QString& fullname)
{
    QStringList segments;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < fullname.size(); ++i) {
        const QChar c = fullname[i];
        if (c == QLatin1Char('\'')) {
            if (i + 1 < fullname.size() && fullname[i + 1] == QLatin1Char('\'')) {
                current += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == QLatin1Char('.') && !quoted) {
            segments << current;
            current.clear();
        } else {
            current += c;
        }
    }
    segments << current;
    return segments;
}

QSet<QString> LabelTable::concepts() const
{
    QSet<QString> s;
    for (const LabelCell& c : cells) s.insert(c.element);
    return s;
}

const QStringList* LabelTable::path(const QString& element) const
{
    const QStringList* fallback = nullptr;
    for (const LabelCell& c : cells) {
        if (c.element != element) continue;
        if (c.path.value(0) != QLatin1String("Item duplicati")) return &c.path;
        if (!fallback) fallback = &c.path;
    }
    return fallback;
}

LabelModel::LabelModel(const QString& file)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result r = doc.load_file(QFile::encodeName(file).constData());
    if (!r) throw GeneratorError(QStringLiteral("%1: %2").arg(file, QString::fromUtf8(r.description())));
    for (pugi::xml_node report : doc.document_element().children("report")) {
        LabelTable t;
        t.code = QString::fromUtf8(report.attribute("code").value());
        t.name = QString::fromUtf8(report.attribute("name").value());
        for (pugi::xml_node cell : report.children("cell")) {
            const pugi::xml_node item = cell.child("item");
            if (!item) continue;
            LabelCell c;
            c.element = QString::fromUtf8(cell.attribute("xbrl:name").value());
            c.type = QString::fromUtf8(cell.attribute("xbrl:type").value());
            c.path = splitLabelPath(QString::fromUtf8(item.attribute("fullname").value()));
            if (c.path.value(0) == QLatin1String("Voci")) c.path.removeFirst();
            if (!c.element.isEmpty()) t.cells.push_back(std::move(c));
        }
        m_tables.push_back(std::move(t));
    }
    if (m_tables.empty()) throw GeneratorError(QStringLiteral("%1: nessuna tabella di etichette").arg(file));
}

const LabelTable* LabelModel::bestTable(const QSet<QString>& concepts) const
{
    const LabelTable* best = nullptr;
    double bestShare = 0;
    for (const LabelTable& t : m_tables) {
        const QSet<QString> own = t.concepts();
        const qsizetype common = QSet<QString>(own).intersect(concepts).size();
        if (common == 0) continue;
        const double share = double(common) / double(QSet<QString>(own).unite(concepts).size());
        if (share > bestShare) {
            bestShare = share;
            best = &t;
        }
    }
    return best;
}

}  // namespace taxonomy
