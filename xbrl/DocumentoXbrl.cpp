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

// "prefix:local" as its two parts; a name without ":" has an empty prefix.
std::pair<std::string_view, std::string_view> dividi(std::string_view nome)
{
    const size_t dueAPunti = nome.find(':');
    if (dueAPunti == std::string_view::npos) return {{}, nome};
    return {nome.substr(0, dueAPunti), nome.substr(dueAPunti + 1)};
}

// The prefix an attribute declares ("" the default namespace), or false when it declares none.
bool dichiarazione(std::string_view attributo, std::string_view& prefisso)
{
    if (attributo.substr(0, 5) != "xmlns") return false;
    if (attributo.size() == 5) {
        prefisso = {};
        return true;
    }
    if (attributo[5] != ':') return false;
    prefisso = attributo.substr(6);
    return true;
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

QString DocumentoXbrl::sostituisciEntita(const QString& testo)
{
    const QByteArray utf8 = testo.toUtf8();
    const QByteArray sostituito = sostituisciEntitaUtf8(utf8);
    return sostituito.isSharedWith(utf8) ? testo : QString::fromUtf8(sostituito);  // most filings have none
}

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
    m_nomi.clear();
    m_spaziAttributi.clear();
    m_spazi.clear();
    m_indici.clear();
    m_idSpazi.clear();
    m_tassonomia = -1;
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

    // One walk resolves every name and indexes the elements; no recursion, however deep
    // the nesting. The declarations in scope are a map from prefix to namespace, each
    // element's own undone when it closes: a look-up costs the same however many there are.
    std::unordered_map<std::string_view, int> inVigore;
    std::vector<std::pair<std::string_view, int>> oscurati;  // what each declaration hid
    auto risolvi = [&](std::string_view prefisso) {
        const auto it = inVigore.find(prefisso);
        return it == inVigore.end() ? -1 : it->second;
    };
    std::vector<std::pair<pugi::xml_node, size_t>> aperti;  // open elements, and the declarations before theirs
    for (pugi::xml_node n = m_doc.document_element(); n;) {
        aperti.emplace_back(n, oscurati.size());
        for (const pugi::xml_attribute a : n.attributes()) {
            std::string_view prefisso;
            if (!dichiarazione(a.name(), prefisso)) continue;
            const auto it = inVigore.find(prefisso);
            oscurati.emplace_back(prefisso, it == inVigore.end() ? Nessuna : it->second);
            inVigore[prefisso] = interna(a.value());
        }
        for (const pugi::xml_attribute a : n.attributes()) {
            std::string_view prefisso;
            const auto [p, locale] = dividi(a.name());
            if (!p.empty() && !dichiarazione(a.name(), prefisso)) m_spaziAttributi.emplace(a.internal_object(), risolvi(p));
        }
        const auto [prefisso, locale] = dividi(n.name());
        Nome nome{risolvi(prefisso), locale, -1};
        // A measure's text is a name too: its prefix is resolved here, in its scope.
        if (locale == "measure" && nome.spazio >= 0 && m_spazi[size_t(nome.spazio)] == Istanza) {
            const QByteArray valore = testo(n).toUtf8();
            const qsizetype dueAPunti = valore.indexOf(':');
            nome.valore = risolvi(std::string_view(valore.constData(), size_t(std::max<qsizetype>(dueAPunti, 0))));
        }
        m_nomi.emplace(n.internal_object(), nome);
        m_perNome[Chiave{nome.spazio, locale}].push_back(n);

        // Next: the first child element, else the next sibling element of the element
        // or of the nearest open ancestor, closing each element left.
        pugi::xml_node prossimo = n.first_child();
        while (prossimo && prossimo.type() != pugi::node_element) prossimo = prossimo.next_sibling();
        while (!prossimo && !aperti.empty()) {
            const auto [chiuso, prima] = aperti.back();
            aperti.pop_back();
            for (size_t i = oscurati.size(); i > prima; --i) {
                const auto& [p, nascosto] = oscurati[i - 1];
                if (nascosto == Nessuna) inVigore.erase(p);
                else inVigore[p] = nascosto;
            }
            oscurati.resize(prima);
            if (aperti.empty()) break;
            for (prossimo = chiuso.next_sibling(); prossimo && prossimo.type() != pugi::node_element;)
                prossimo = prossimo.next_sibling();
        }
        n = prossimo;
    }
    m_caricato = true;
    return true;
}

int DocumentoXbrl::interna(std::string_view spazio)
{
    if (spazio.empty()) return -1;  // xmlns="": no namespace
    const auto [it, nuovo] = m_indici.emplace(spazio, int(m_spazi.size()));
    if (nuovo) m_spazi.push_back(spazio);
    return it->second;
}

int DocumentoXbrl::indice(std::string_view spazio) const
{
    const auto it = m_indici.find(spazio);
    return it == m_indici.end() ? -1 : it->second;
}

const DocumentoXbrl::Nome* DocumentoXbrl::nomeDi(pugi::xml_node elemento) const
{
    const auto it = m_nomi.find(elemento.internal_object());
    return it == m_nomi.end() ? nullptr : &it->second;
}

int DocumentoXbrl::spazioImport(std::string_view prefisso) const
{
    if (prefisso.empty() || prefisso == "xbrli") return indice(Istanza);
    if (prefisso == "link") return indice(Link);
    if (prefisso == "xlink") return indice(Xlink);
    if (prefisso == "iso4217") return indice(Iso4217);
    if (prefisso == "xsi") return indice(Xsi);
    if (prefisso == "itcc-ci") return m_tassonomia;
    return -1;
}

void DocumentoXbrl::impostaTassonomia(std::string_view spazio)
{
    m_tassonomia = indice(spazio);
    // The entry points' namespaces put their form before the taxonomy's date:
    // ".../itcc/ci/2018-11-04" and ".../itcc/ci/ese/2018-11-04".
    m_idSpazi.assign(m_spazi.size(), QString());
    if (m_tassonomia < 0) return;
    const size_t barra = spazio.rfind('/');
    const std::string_view base = spazio.substr(0, barra + 1), data = spazio.substr(barra + 1);
    for (size_t i = 0; i < m_spazi.size(); ++i) {
        const std::string_view s = m_spazi[i];
        if (int(i) == m_tassonomia) {
            m_idSpazi[i] = QStringLiteral("itcc-ci_");
        } else if (barra != std::string_view::npos && !data.empty() && s.size() > spazio.size() + 1 && s.starts_with(base) &&
                   s.ends_with(data) && s[s.size() - data.size() - 1] == '/') {
            const std::string_view forma = s.substr(base.size(), s.size() - base.size() - data.size() - 1);
            if (forma.find('/') == std::string_view::npos)
                m_idSpazi[i] = QStringLiteral("itcc-ci-") + QString::fromUtf8(forma.data(), qsizetype(forma.size())) +
                               QLatin1Char('_');
        }
    }
}

const std::vector<pugi::xml_node>& DocumentoXbrl::elementi(std::string_view nome) const
{
    const auto [prefisso, locale] = dividi(nome);
    const int spazio = spazioImport(prefisso);
    if (spazio < 0) return kNessuno;
    const auto it = m_perNome.find(Chiave{spazio, locale});
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

bool DocumentoXbrl::e(pugi::xml_node elemento, std::string_view nome) const
{
    const Nome* n = nomeDi(elemento);
    if (!n) return false;
    const auto [prefisso, locale] = dividi(nome);
    return n->locale == locale && n->spazio >= 0 && n->spazio == spazioImport(prefisso);
}

pugi::xml_node DocumentoXbrl::figlio(pugi::xml_node elemento, std::string_view nome) const
{
    for (pugi::xml_node c = elemento.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && e(c, nome)) return c;
    return {};
}

pugi::xml_attribute DocumentoXbrl::attributo(pugi::xml_node elemento, std::string_view nome) const
{
    // An attribute without prefix has no namespace, the default one notwithstanding.
    const auto [prefisso, locale] = dividi(nome);
    const int spazio = prefisso.empty() ? -1 : spazioImport(prefisso);
    if (!prefisso.empty() && spazio < 0) return {};
    for (const pugi::xml_attribute a : elemento.attributes()) {
        const auto [p, l] = dividi(a.name());
        if (l != locale || p.empty() != prefisso.empty()) continue;
        if (p.empty()) return a;
        const auto it = m_spaziAttributi.find(a.internal_object());
        if (it != m_spaziAttributi.end() && it->second == spazio) return a;
    }
    return {};
}

std::string_view DocumentoXbrl::spazioDi(pugi::xml_node elemento) const
{
    const Nome* n = nomeDi(elemento);
    return n && n->spazio >= 0 ? m_spazi[size_t(n->spazio)] : std::string_view();
}

std::string_view DocumentoXbrl::spazioDelValore(pugi::xml_node misura) const
{
    const Nome* n = nomeDi(misura);
    return n && n->valore >= 0 ? m_spazi[size_t(n->valore)] : std::string_view();
}

QString DocumentoXbrl::idConcetto(pugi::xml_node elemento) const
{
    const Nome* n = nomeDi(elemento);
    if (!n || n->spazio < 0 || size_t(n->spazio) >= m_idSpazi.size() || m_idSpazi[size_t(n->spazio)].isEmpty()) return {};
    return m_idSpazi[size_t(n->spazio)] + QString::fromUtf8(n->locale.data(), qsizetype(n->locale.size()));
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
