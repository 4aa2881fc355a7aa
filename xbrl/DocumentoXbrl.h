#pragma once
#include <QByteArray>
#include <QString>
#include <pugixml.hpp>
#include <string_view>
#include <unordered_map>
#include <vector>

// An XBRL instance as a DOM. Elements are found by their qualified name exactly as the
// document writes it ("context", "link:schemaRef", "itcc-ci:..."): no namespace is
// resolved. Nothing outside the text is ever read: no DTD, no external entity.
class DocumentoXbrl {
public:
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

    // Elements of that name in document order (empty when there are none).
    const std::vector<pugi::xml_node>& elementi(std::string_view nome) const;
    pugi::xml_node primo(std::string_view nome) const;
    // Text of the first element of that name, empty when there is none.
    QString testoDi(std::string_view nome) const;
    // The first element with an attribute "id" of this value.
    pugi::xml_node perId(const QString& id) const;

    // Text content of a node and its descendants, without the blanks around it.
    static QString testo(pugi::xml_node nodo);

private:
    QByteArray m_utf8;  // the parsed text: the DOM's strings point into it
    pugi::xml_document m_doc;
    bool m_caricato = false;
    std::unordered_map<std::string_view, std::vector<pugi::xml_node>> m_perNome;
};
