#include "xbrl/DocumentoXbrl.h"
#include "platform/runtime/AppError.h"
#include "xbrl/EntitaHtml.h"
#include <QFile>
#include <cctype>
#include <cstring>

namespace {

bool spazio(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool inizia(const char* p, const char* fine, const char* prefisso)
{
    const size_t n = std::strlen(prefisso);
    return size_t(fine - p) >= n && std::memcmp(p, prefisso, n) == 0;
}

// The reference at p ("&...;") is one XML defines without a DTD.
bool riferimentoNoto(const char* p, const char* fine)
{
    const char* q = p + 1;
    if (q < fine && *q == '#') {
        ++q;
        const bool esadecimale = q < fine && *q == 'x';
        if (esadecimale) ++q;
        const char* cifre = q;
        while (q < fine && (std::isdigit(static_cast<unsigned char>(*q)) ||
                            (esadecimale && std::isxdigit(static_cast<unsigned char>(*q)))))
            ++q;
        return q > cifre && q < fine && *q == ';';
    }
    for (const char* nome : {"amp;", "lt;", "gt;", "quot;", "apos;"})
        if (inizia(q, fine, nome)) return true;
    return false;
}

// A parser that reads no DTD rejects a reference to any other entity; pugixml would
// keep it as text, so the text is checked first. Comments, CDATA sections and
// processing instructions hold no references.
bool soloRiferimentiNoti(const QByteArray& testo)
{
    const char* p = testo.constData();
    const char* const fine = p + testo.size();
    auto salta = [&](const char* chiusura) {
        const char* f = static_cast<const char*>(memmem(p, size_t(fine - p), chiusura, std::strlen(chiusura)));
        p = f ? f + std::strlen(chiusura) : fine;
    };
    auto prossimo = [&] { return static_cast<const char*>(std::memchr(p, '&', size_t(fine - p))); };
    const char* a = prossimo();
    while (a) {
        // Markup before the reference is looked at only as far as the reference.
        if (const char* m = static_cast<const char*>(std::memchr(p, '<', size_t(a - p)))) {
            p = m;
            if (inizia(p, fine, "<!--")) salta("-->");
            else if (inizia(p, fine, "<![CDATA[")) salta("]]>");
            else if (inizia(p, fine, "<?")) salta("?>");
            else ++p;
            if (p > a) a = prossimo();
            continue;
        }
        if (!riferimentoNoto(a, fine)) return false;
        p = a + 1;
        a = prossimo();
    }
    return true;
}

const std::vector<pugi::xml_node> kNessuno;

bool lettera(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

void appendiUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

QString DocumentoXbrl::leggiTesto(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) throw AppError::fileNotFound(percorso);
    QString testo = QString::fromUtf8(f.readAll());
    if (testo.startsWith(QChar(0xFEFF))) testo.remove(0, 1);  // the byte-order mark is no text
    return testo;
}

QString DocumentoXbrl::sostituisciEntita(const QString& testo) { return QString::fromUtf8(sostituisciEntitaUtf8(testo.toUtf8())); }

QByteArray DocumentoXbrl::leggiUtf8(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) throw AppError::fileNotFound(percorso);
    QByteArray testo = f.readAll();
    if (testo.startsWith("\xEF\xBB\xBF")) testo.remove(0, 3);  // the byte-order mark is no text
    return testo;
}

QByteArray DocumentoXbrl::sostituisciEntitaUtf8(QByteArray testo)
{
    // Copied only from the first entity on: most filings have none.
    QByteArray out;
    const char* const inizio = testo.constData();
    const char* const fine = inizio + testo.size();
    const char* copiato = inizio;
    for (const char* p = inizio; (p = static_cast<const char*>(std::memchr(p, '&', size_t(fine - p))));) {
        const char* q = p + 1;
        while (q < fine && lettera(*q) && size_t(q - p) <= LunghezzaMassimaEntitaHtml) ++q;
        const char32_t c = q < fine && *q == ';' ? carattereEntitaHtml(std::string_view(p + 1, size_t(q - p - 1))) : 0;
        if (!c) {
            ++p;
            continue;
        }
        if (out.isEmpty()) out.reserve(testo.size());
        out.append(copiato, p - copiato);
        appendiUtf8(out, c);
        p = copiato = q + 1;
    }
    if (copiato == inizio) return testo;
    out.append(copiato, fine - copiato);
    return out;
}

bool DocumentoXbrl::carica(const QString& testo) { return caricaUtf8(testo.toUtf8()); }

bool DocumentoXbrl::caricaUtf8(QByteArray utf8)
{
    m_perNome.clear();
    m_doc.reset();
    m_caricato = false;
    m_utf8 = std::move(utf8);
    if (!soloRiferimentiNoti(m_utf8)) return false;

    // parse_doctype only to see a declaration: its entities are never expanded.
    const unsigned opzioni = pugi::parse_default | pugi::parse_doctype;
    const pugi::xml_parse_result esito =
        m_doc.load_buffer_inplace(m_utf8.data(), size_t(m_utf8.size()), opzioni, pugi::encoding_utf8);
    if (!esito || !m_doc.document_element()) return false;
    for (pugi::xml_node n : m_doc.children())
        if (n.type() == pugi::node_doctype) return false;

    // One walk indexes every element by name; no recursion, however deep the nesting.
    std::vector<pugi::xml_node> pila{m_doc.document_element()};
    while (!pila.empty()) {
        const pugi::xml_node n = pila.back();
        pila.pop_back();
        m_perNome[std::string_view(n.name())].push_back(n);
        // Children pushed last to first, so that they come out in document order.
        for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling())
            if (c.type() == pugi::node_element) pila.push_back(c);
    }
    m_caricato = true;
    return true;
}

const std::vector<pugi::xml_node>& DocumentoXbrl::elementi(std::string_view nome) const
{
    const auto it = m_perNome.find(nome);
    return it == m_perNome.end() ? kNessuno : it->second;
}

pugi::xml_node DocumentoXbrl::primo(std::string_view nome) const
{
    const auto& tutti = elementi(nome);
    return tutti.empty() ? pugi::xml_node() : tutti.front();
}

QString DocumentoXbrl::testoDi(std::string_view nome) const
{
    const pugi::xml_node n = primo(nome);
    return n ? testo(n) : QString();
}

pugi::xml_node DocumentoXbrl::perId(const QString& id) const
{
    const QByteArray cercato = id.toUtf8();
    // Document order matters when ids repeat: walk the tree, not the index.
    std::vector<pugi::xml_node> pila{m_doc.document_element()};
    while (!pila.empty()) {
        const pugi::xml_node n = pila.back();
        pila.pop_back();
        const pugi::xml_attribute a = n.attribute("id");
        if (a && cercato == a.value()) return n;
        for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling())
            if (c.type() == pugi::node_element) pila.push_back(c);
    }
    return {};
}

QString DocumentoXbrl::testo(pugi::xml_node nodo)
{
    QByteArray testo;
    const pugi::xml_node unico = nodo.first_child();
    if (nodo.type() == pugi::node_pcdata || nodo.type() == pugi::node_cdata) {
        testo = nodo.value();
    } else if (unico && !unico.next_sibling() && unico.type() == pugi::node_pcdata) {
        testo = unico.value();  // a fact: one text child
    } else {
        // Text of the descendants in document order.
        std::vector<pugi::xml_node> pila;
        for (pugi::xml_node c = nodo.last_child(); c; c = c.previous_sibling()) pila.push_back(c);
        while (!pila.empty()) {
            const pugi::xml_node n = pila.back();
            pila.pop_back();
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) testo += n.value();
            for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling()) pila.push_back(c);
        }
    }
    qsizetype b = 0, e = testo.size();
    while (b < e && spazio(testo[b])) ++b;
    while (e > b && spazio(testo[e - 1])) --e;
    return QString::fromUtf8(testo.constData() + b, e - b);
}
