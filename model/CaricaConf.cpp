#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/TextFile.h"
#include "platform/runtime/Valori.h"
#include <QDir>
#include <optional>

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

// Leading-number reading rounded to 16 bits; nothing when out of range.
std::optional<qint16> intero(QStringView testo)
{
    try {
        return vb::CInt(vb::Val(testo.toString()));
    } catch (const AppError&) {
        return std::nullopt;
    }
}

// "head TAB a TAB b TAB rest": false without three TABs.
bool dividi(QStringView riga, QStringView (&parti)[4])
{
    qsizetype inizio = 0;
    for (int i = 0; i < 3; ++i) {
        const qsizetype tab = riga.indexOf(QLatin1Char('\t'), inizio);
        if (tab < 0) return false;
        parti[i] = riga.mid(inizio, tab - inizio);
        inizio = tab + 1;
    }
    parti[3] = riga.mid(inizio);
    return true;
}

// "C" slot TAB Position TAB FromCol TAB ToCol, into an existing slot.
void leggiColonna(Colonne& colonne, QStringView riga)
{
    QStringView p[4];
    if (!dividi(riga, p)) return;
    const auto slot = intero(p[0].mid(1));
    const auto posizione = intero(p[1]), da = intero(p[2]), a = intero(p[3]);
    if (!slot || !posizione || !da || !a || *slot < 1 || *slot > colonne.Count()) return;
    Colonna& c = colonne.Item(*slot);
    c.Position = *posizione;
    c.FromCol = *da;
    c.ToCol = *a;
}

// Any leading character, number TAB FromCol TAB ToCol TAB Rule; the rule text is kept
// exactly, trailing blanks included, because they take part in the comparison.
void leggiRegola(Regole& regole, QStringView riga)
{
    QStringView p[4];
    if (!dividi(riga, p) || p[0].isEmpty()) return;
    const auto numero = intero(p[0].mid(1));
    const auto da = intero(p[1]), a = intero(p[2]);
    if (!numero || !da || !a) return;
    if (*numero > regole.Count()) regole.Add(0, 0, QString());
    if (*numero < 1 || *numero > regole.Count()) return;
    Regola& r = regole.Item(*numero);
    r.FromCol = *da;
    r.ToCol = *a;
    r.Rule = p[3].toString();
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
            return avviso(QStringLiteral("File di definizione ") + m_CodImportazione + QStringLiteral(" errato o mancante !!"));
        if (m_WorkingFolder.isEmpty()) return avviso(QStringLiteral("Directory di lavoro non impostata !!"));

        const TextFile::Esito esito = definizione.apri(percorso);
        if (esito == TextFile::Esito::Binario) return avviso(TextFile::motivo(esito, Paths::native(percorso)));
        if (esito != TextFile::Esito::Aperto) throw AppError(75, QStringLiteral("Errore di accesso al percorso/file"));
        m_NomeFile = definizione.readLine();
        if (m_NomeFile.isEmpty()) return avviso(QStringLiteral("Nessun file da importare!!!"));

        const QString dati = m_WorkingFolder + QLatin1Char('\\') + m_NomeFile;
        // A data file that is no text is refused here, before any import writes.
        TextFile prova;
        const TextFile::Esito datiLeggibili = prova.apri(dati);
        if (datiLeggibili == TextFile::Esito::NonApribile) return avviso(QStringLiteral("Impossibile Aprire \r\n") + dati);
        if (datiLeggibili != TextFile::Esito::Aperto) return avviso(TextFile::motivo(datiLeggibili, Paths::native(dati)));
        prova.close();

        // From here a missing or unreadable line only leaves its setting at the default.
        QString riga;
        const auto prossima = [&] {
            if (definizione.atEnd()) return false;
            riga = definizione.readLine();
            return true;
        };
        const auto conUno = [&] { return prossima() && riga.startsWith(QLatin1Char('1')); };

        m_Delimitato = conUno();
        m_Separatore = m_Delimitato ? riga.mid(1, 1) : QString();

        m_DueColonne = conUno();
        m_Colonne->Add(0, 0, 0);
        if (m_DueColonne) m_Colonne->Add(0, 0, 0);

        m_AvereNegativo = conUno();

        m_ConDescrizione = conUno();
        if (m_ConDescrizione) m_Colonne->Add(0, 0, 0);

        m_PrimaRiga = 0;
        if (prossima()) {
            try {
                m_PrimaRiga = vb::CInt(riga);
            } catch (const AppError&) {
            }
        }
        for (int i = 0; i < 6; ++i) m_Colonne->Add(0, 0, 0);

        while (prossima()) {
            if (riga.startsWith(QLatin1Char('C')))
                leggiColonna(*m_Colonne, riga);
            else
                leggiRegola(*m_Regole, riga);
        }
        definizione.close();
        return true;
    } catch (...) {
        definizione.close();
        MostraErrore(AppError::fromCurrent());
        return false;
    }
}
