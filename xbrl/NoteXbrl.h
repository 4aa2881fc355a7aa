#pragma once
#include "xbrl/TabellaPeriodi.h"
#include <QString>

class DocumentoXbrl;
class SchermoXbrl;
struct Tassonomia;

// Stores the text of each footnote link under the footnote definition of the fact its
// first locator points to, in that fact's period.
class NoteXbrl {
public:
    NoteXbrl(SchermoXbrl& schermo, const Tassonomia& tassonomia);
    void registra(const DocumentoXbrl& documento, const TabellaPeriodi& tabella, const QString& ditta);

private:
    SchermoXbrl& m_schermo;
    const Tassonomia& m_tassonomia;
};
