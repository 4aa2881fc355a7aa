#pragma once
#include <QByteArray>
#include <QString>
#include <pugixml.hpp>
#include <string_view>
#include <unordered_map>
#include <vector>

// An XBRL instance as a DOM. Elements and attributes are found by namespace and local
// name, whatever prefixes the document binds: the import names them with its own
// prefixes ("context", "xbrli:context", "link:schemaRef", "xlink:href", "xsi:nil",
// "itcc-ci:..."), each standing for its namespace; "itcc-ci" stands for the taxonomy's
// namespace once it is known. Nothing outside the text is ever read: no DTD, no external
// entity.
class DocumentoXbrl {
public:
    static constexpr std::string_view Istanza = "http://www.xbrl.org/2003/instance";
    static constexpr std::string_view Link = "http://www.xbrl.org/2003/linkbase";
    static constexpr std::string_view Xlink = "http://www.w3.org/1999/xlink";
    static constexpr std::string_view Iso4217 = "http://www.xbrl.org/2003/iso4217";
    static constexpr std::string_view Xsi = "http://www.w3.org/2001/XMLSchema-instance";

    // The file's whole text, read as UTF-8 whatever its declaration says.
    static QString leggiTesto(const QString& percorso);
    // Named HTML 4 entities (other than XML's own) replaced by their characters.
    static QString sostituisciEntita(const QString& testo);

    // The same for the file's bytes, without a round trip through UTF-16: many filings
    // in one run spend their time there otherwise.
    static QByteArray leggiUtf8(const QString& percorso);
    static QByteArray sostituisciEntitaUtf8(QByteArray testo);
    bool caricaUtf8(QByteArray utf8);

    // Parses the text; false when it is not a well-formed document, when it has a
    // document type declaration, or when it refers to an entity XML does not define.
    bool carica(const QString& testo);
    bool caricato() const { return m_caricato; }

    // The namespace that "itcc-ci" stands for from now on.
    void impostaTassonomia(std::string_view spazio);

    // Elements of that name in document order (empty when there are none).
    const std::vector<pugi::xml_node>& elementi(std::string_view nome) const;
    pugi::xml_node primo(std::string_view nome) const;
    // Text of the first element of that name, empty when there is none.
    QString testoDi(std::string_view nome) const;
    // Whether the element has that name; its first child element of that name.
    bool e(pugi::xml_node elemento, std::string_view nome) const;
    pugi::xml_node figlio(pugi::xml_node elemento, std::string_view nome) const;
    // The element's attribute of that name; a name without prefix is one without namespace.
    pugi::xml_attribute attributo(pugi::xml_node elemento, std::string_view nome) const;
    // The namespace of the element's name; for a measure, the one the prefix of its text
    // ("iso4217:EUR") stands for there. Empty when none is declared.
    std::string_view spazioDi(pugi::xml_node elemento) const;
    std::string_view spazioDelValore(pugi::xml_node misura) const;
    // The taxonomy's id of a fact's element: "itcc-ci_" and the local name, or for a
    // namespace of one of the taxonomy's entry points (".../ci/ese/2018-11-04")
    // "itcc-ci-ese_" and the local name; empty for any other namespace.
    QString idConcetto(pugi::xml_node elemento) const;

    // The first element with an attribute "id" of this value.
    pugi::xml_node perId(const QString& id) const;

    // Text content of a node and its descendants, without the blanks around it.
    static QString testo(pugi::xml_node nodo);

private:
    // An element's name resolved, and for a measure the prefix of its text.
    struct Nome {
        int spazio;
        std::string_view locale;
        int valore;
    };
    static constexpr int Nessuna = -2;  // a prefix no declaration binds
    struct Chiave {
        int spazio;
        std::string_view locale;
        bool operator==(const Chiave&) const = default;
    };
    struct HashChiave {
        size_t operator()(const Chiave& k) const { return std::hash<std::string_view>()(k.locale) ^ size_t(k.spazio); }
    };

    int interna(std::string_view spazio);
    int indice(std::string_view spazio) const;
    const Nome* nomeDi(pugi::xml_node elemento) const;
    // The namespace one of the import's prefixes stands for, -1 when none.
    int spazioImport(std::string_view prefisso) const;

    QByteArray m_utf8;  // the parsed text: the DOM's strings point into it
    pugi::xml_document m_doc;
    bool m_caricato = false;
    std::vector<std::string_view> m_spazi;  // namespaces met, by index
    std::unordered_map<std::string_view, int> m_indici;
    std::vector<QString> m_idSpazi;         // the id prefix of each, once the taxonomy is known
    int m_tassonomia = -1;
    std::unordered_map<const void*, Nome> m_nomi;            // every element
    std::unordered_map<const void*, int> m_spaziAttributi;  // every prefixed attribute
    std::unordered_map<Chiave, std::vector<pugi::xml_node>, HashChiave> m_perNome;
};
