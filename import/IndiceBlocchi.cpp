#include "import/IndiceBlocchi.h"
#include "control/ctlVevAre.h"
#include "model/Campi.h"
#include "platform/runtime/TextFile.h"

namespace {

quint64 chiaveHash(const ChiaveRiga& k)
{
    return (quint64(quint16(k.numero)) << 32) | (quint64(quint16(k.anno)) << 16) | quint64(quint16(k.mese));
}

// A field cut as the engines cut it, without the boxes an impossible cut shows.
QString cut(const QString& riga, const QString& separatore, const Colonna& c)
{
    if (!separatore.isEmpty()) return Campi::delimitato(riga, separatore, c.Position);
    qint16 da = c.FromCol, a = c.ToCol;
    QStringView parte;
    return Campi::fisso(riga, da, a, parte) ? parte.toString() : QString();
}

}  // namespace

IndiceBlocchi IndiceBlocchi::costruisci(ctlVevAre& screen, const QString& percorso)
{
    IndiceBlocchi indice;
    TextFile file;
    if (!file.open(percorso)) return indice;
    indice.m_utf8 = file.utf8();
    qint64 lette = 0;
    try {
        for (int i = 1; i < screen.m_PrimaRiga && !file.atEnd(); ++i) {
            file.readLine();
            ++lette;
        }
    } catch (...) {
    }
    const Colonna numero = screen.m_Colonne->Item(5), data = screen.m_Colonne->Item(6);
    ChiaveRiga chiave;
    while (!file.atEnd()) {
        const Inizio prima{file.pos(), lette, chiave};
        const QString riga = ctlVevAre::PulisciRiga(file.readLine());
        ++lette;
        try {
            chiave.leggi(cut(riga, screen.m_Separatore, numero), cut(riga, screen.m_Separatore, data));
        } catch (...) {
            indice.m_errore = prima;
            break;
        }
        int impossibili = 0;
        if (riga.size() <= 1 || !Campi::accettata(*screen.m_Regole, riga, impossibili)) continue;
        const quint64 k = chiaveHash(chiave);
        if (!indice.m_blocchi.contains(k)) indice.m_blocchi.insert(k, prima);  // a key's first block only
    }
    return indice;
}

std::optional<IndiceBlocchi::Inizio> IndiceBlocchi::inizio(const ChiaveRiga& chiave) const
{
    const auto trovato = m_blocchi.constFind(chiaveHash(chiave));
    if (trovato == m_blocchi.constEnd()) return m_errore;
    if (m_errore && m_errore->posizione < trovato->posizione) return m_errore;
    return *trovato;
}
