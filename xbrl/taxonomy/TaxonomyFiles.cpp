#include "xbrl/taxonomy/TaxonomyFiles.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <pugixml.hpp>

namespace taxonomy {
namespace {

QString text(const char* s) { return QString::fromUtf8(s); }

// Element names are compared without their prefix: the files bind their namespaces to
// prefixes of their own choosing ("link:loc", or "loc" under a default namespace).
bool named(const pugi::xml_node& n, const char* local)
{
    const char* name = n.name();
    const char* colon = std::strrchr(name, ':');
    return std::strcmp(colon ? colon + 1 : name, local) == 0;
}

pugi::xml_document load(const QString& path)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result r = doc.load_file(QFile::encodeName(path).constData());
    if (!r) throw GeneratorError(QStringLiteral("%1: %2").arg(path, text(r.description())));
    return doc;
}

template <typename F>
void forEachDescendant(const pugi::xml_node& root, const char* local, F&& f)
{
    for (pugi::xml_node n = root.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;
        if (named(n, local)) f(n);
        forEachDescendant(n, local, f);
    }
}

// The part of an href after '#': the id of the element it locates.
QString fragment(const QString& href)
{
    const qsizetype hash = href.indexOf(QLatin1Char('#'));
    return hash < 0 ? QString() : href.mid(hash + 1);
}

}  // namespace

TaxonomyFiles::TaxonomyFiles(const QString& folder) : m_folder(folder)
{
    const QStringList schemas = QDir(folder).entryList({QStringLiteral("*.xsd")}, QDir::Files, QDir::Name);
    if (schemas.isEmpty()) throw GeneratorError(QStringLiteral("%1: nessuno schema della tassonomia").arg(folder));
    QString best;
    qsizetype most = 0;
    for (const QString& s : schemas) {
        QFile f(QDir(folder).filePath(s));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const qsizetype count = f.readAll().count("<element ");
        if (count > most) {
            most = count;
            best = s;
        }
    }
    if (best.isEmpty()) throw GeneratorError(QStringLiteral("%1: nessuno schema dichiaran elementi").arg(folder));

    const pugi::xml_document doc = load(QDir(folder).filePath(best));
    const pugi::xml_node schema = doc.document_element();
    m_namespace = text(schema.attribute("targetNamespace").value()).trimmed();
    for (pugi::xml_node n = schema.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element || !named(n, "element")) continue;
        Element e;
        e.id = text(n.attribute("id").value());
        e.name = text(n.attribute("name").value());
        e.type = text(n.attribute("type").value());
        e.balance = text(n.attribute("xbrli:balance").value());
        e.periodType = text(n.attribute("xbrli:periodType").value());
        e.abstract = std::strcmp(n.attribute("abstract").value(), "true") == 0;
        e.tuple = std::strstr(n.attribute("substitutionGroup").value(), "tuple") != nullptr;
        if (e.name.isEmpty()) continue;
        m_byName.insert(e.name, int(m_elements.size()));
        m_nameById.insert(e.id, e.name);
        m_elements.push_back(e);
    }
}

const Element* TaxonomyFiles::element(const QString& name) const
{
    const auto it = m_byName.constFind(name);
    return it == m_byName.constEnd() ? nullptr : &m_elements[size_t(*it)];
}

EntryPoint TaxonomyFiles::entryPoint(const QString& form) const
{
    const QString marker = QLatin1Char('-') + form + QLatin1Char('-');
    QString file;
    for (const QString& s : QDir(m_folder).entryList({QStringLiteral("*.xsd")}, QDir::Files, QDir::Name))
        if (s.contains(marker)) {
            file = s;
            break;
        }
    if (file.isEmpty()) throw GeneratorError(QStringLiteral("%1: nessun punto di ingresso per la forma %2").arg(m_folder, form));

    EntryPoint ep;
    ep.form = form;
    ep.file = file;
    const pugi::xml_document doc = load(QDir(m_folder).filePath(file));
    forEachDescendant(doc.document_element(), "linkbaseRef", [&](const pugi::xml_node& ref) {
        const QString href = text(ref.attribute("xlink:href").value());
        const QString role = text(ref.attribute("xlink:role").value());
        if (!QFileInfo::exists(QDir(m_folder).filePath(href))) return;
        if (role.endsWith(QLatin1String("/calculationLinkbaseRef")))
            ep.calculation.push_back(readLinkbase(href, "calculationLink", "calculationArc"));
        else if (role.endsWith(QLatin1String("/presentationLinkbaseRef")))
            ep.presentation.push_back(readLinkbase(href, "presentationLink", "presentationArc"));
    });
    return ep;
}

Linkbase TaxonomyFiles::readLinkbase(const QString& file, const char* linkName, const char* arcName) const
{
    Linkbase lb;
    lb.file = file;
    const pugi::xml_document doc = load(QDir(m_folder).filePath(file));
    forEachDescendant(doc.document_element(), linkName, [&](const pugi::xml_node& link) {
        ExtendedLink el;
        el.role = text(link.attribute("xlink:role").value());
        QHash<QString, QString> located;  // locator label -> element name
        for (pugi::xml_node n = link.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element || !named(n, "loc")) continue;
            const QString id = fragment(text(n.attribute("xlink:href").value()));
            const QString name = m_nameById.value(id);
            if (name.isEmpty()) throw GeneratorError(QStringLiteral("%1: %2 non è dichiarato nello schema").arg(file, id));
            located.insert(text(n.attribute("xlink:label").value()), name);
        }
        for (pugi::xml_node n = link.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element || !named(n, arcName)) continue;
            Arc a;
            a.from = located.value(text(n.attribute("xlink:from").value()));
            a.to = located.value(text(n.attribute("xlink:to").value()));
            if (a.from.isEmpty() || a.to.isEmpty()) throw GeneratorError(QStringLiteral("%1: arco senza locatore").arg(file));
            a.order = n.attribute("order").as_double();
            a.weight = n.attribute("weight").empty() ? 1 : int(n.attribute("weight").as_double());
            el.arcs.push_back(a);
        }
        if (!el.arcs.empty()) lb.links.push_back(std::move(el));
    });
    return lb;
}

}  // namespace taxonomy
