#include "import/Ingressi.h"
#include "control/ctlVevAre.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/TextFile.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"

namespace {

// A line after the leading ones that holds more than blanks.
bool righeDaImportare(const QString& percorso, int primaRiga)
{
    TextFile file;
    if (!file.open(percorso)) return false;
    for (int riga = 1; !file.atEnd(); ++riga) {
        const QString testo = file.readLine();
        if (riga >= primaRiga && !ctlVevAre::PulisciRiga(testo).trimmed().isEmpty()) return true;
    }
    return false;
}

}  // namespace

bool IngressiImportabili(ctlVevAre& screen)
{
    const auto avviso = [&screen](const QString& testo) {
        screen.dialogs().MsgBox(testo, vb::vbCritical | vb::vbOKOnly, screen.captionTitle());
        return false;
    };
    if (!screen.m_ProblemaDefinizione.isEmpty())
        return avviso(QStringLiteral("Il file di definizione ") + screen.m_CodImportazione + QLatin1Char(' ') +
                      screen.m_ProblemaDefinizione + QStringLiteral(": impossibile importare."));
    const QString dati = screen.m_WorkingFolder + QLatin1Char('\\') + screen.m_NomeFile;
    if (!righeDaImportare(dati, screen.m_PrimaRiga))
        return avviso(QStringLiteral("Il file ") + Paths::native(dati) +
                      QStringLiteral(" non contiene righe da importare (è vuoto o contiene solo l'intestazione)."));
    return true;
}
