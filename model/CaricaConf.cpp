#include "control/ctlVevAre.h"
#include "model/LetturaDefinizione.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/TextFile.h"
#include "platform/runtime/Valori.h"
#include <QDir>

namespace {

// A location ending in a separator names a folder: like the host's Dir, it counts as
// found when the folder holds any file (opening it then fails and is reported).
bool definizioneEsiste(const QString& percorso)
{
    if (percorso.endsWith(QLatin1Char('\\')) || percorso.endsWith(QLatin1Char('/'))) {
        const QDir dir(Paths::native(percorso));
        return dir.exists() && !dir.entryList(QDir::Files).isEmpty();
    }
    return Paths::fileExists(percorso);
}

}  // namespace

bool ctlVevAre::CaricaConf()
{
    TextFile definizione;
    try {
        m_Colonne = std::make_unique<Colonne>();
        m_Regole = std::make_unique<Regole>();
        m_Colonne->Add(0, 0, 0);

        const auto avviso = [this](const QString& testo) {
            dialogs().MsgBox(testo, vb::vbCritical | vb::vbOKOnly, captionTitle());
            return false;
        };
        if (!m_CGlobal) throw AppError(91, QStringLiteral("Variabile oggetto o variabile del blocco With non impostata"));
        const QString percorso =
            m_CGlobal->App().property(QStringLiteral("Path")).toString() + QStringLiteral("\\Def\\") + m_CodImportazione;
        if (!definizioneEsiste(percorso))
            return avviso(QStringLiteral("File di definizione ") + m_CodImportazione + QStringLiteral(" errato o mancante !!") +
                          QStringLiteral("\r\n") + Paths::native(percorso));
        if (m_WorkingFolder.isEmpty()) return avviso(QStringLiteral("Directory di lavoro non impostata !!"));

        const TextFile::Esito esito = definizione.apri(percorso);
        if (esito == TextFile::Esito::Binario) return avviso(TextFile::motivo(esito, Paths::native(percorso)));
        if (esito != TextFile::Esito::Aperto) throw AppError(75, QStringLiteral("Errore di accesso al percorso/file"));
        m_NomeFile = definizione.readLine();
        if (m_NomeFile.isEmpty()) return avviso(QStringLiteral("Nessun file da importare!!!"));

        // The data file lies in the working folder: a definition may not lead elsewhere.
        if (m_NomeFile.contains(QLatin1Char('/')) || m_NomeFile.contains(QLatin1Char('\\')) ||
            m_NomeFile.contains(QLatin1String("..")))
            return avviso(QStringLiteral("Il file di definizione ") + Paths::native(percorso) +
                          QStringLiteral(" indica un file di dati fuori dalla cartella di lavoro (") + m_NomeFile +
                          QStringLiteral("): indicare solo il nome di un file della cartella ") + Paths::native(m_WorkingFolder) +
                          QLatin1Char('.'));
        const QString dati = m_WorkingFolder + QLatin1Char('\\') + m_NomeFile;
        // A data file that is no text is refused here, before any import writes.
        TextFile prova;
        const TextFile::Esito datiLeggibili = prova.apri(dati);
        if (datiLeggibili == TextFile::Esito::NonApribile)
            return avviso(QStringLiteral("Impossibile Aprire \r\n") + Paths::native(dati));
        if (datiLeggibili != TextFile::Esito::Aperto) return avviso(TextFile::motivo(datiLeggibili, Paths::native(dati)));
        prova.close();

        Impostazioni imp;
        LetturaDefinizione::leggi(
            [&definizione](QString& riga) {
                if (definizione.atEnd()) return false;
                riga = definizione.readLine();
                return true;
            },
            imp, *m_Colonne, *m_Regole);
        m_Delimitato = imp.delimitato;
        m_Separatore = imp.separatore;
        m_DueColonne = imp.dueColonne;
        m_AvereNegativo = imp.avereNegativo;
        m_ConDescrizione = imp.conDescrizione;
        m_PrimaRiga = imp.primaRiga;
        m_ProblemaDefinizione = LetturaDefinizione::problema(imp, *m_Colonne);
        definizione.close();
        return true;
    } catch (...) {
        definizione.close();
        MostraErrore(AppError::fromCurrent());
        return false;
    }
}
