#include "import/IndiceBlocchi.h"
#include "control/ctlVevAre.h"
#include "model/Campi.h"
#include "platform/runtime/TextFile.h"

namespace {

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
    ChiaveRiga corrente;          // key of the run being read; none after a line that cannot be placed
    bool registrato = false;      // the run's block is recorded
    while (!file.atEnd()) {
        const Inizio prima{file.pos(), lette};
        const QString riga = ctlVevAre::PulisciRiga(file.readLine());
        ++lette;
        if (riga.trimmed().isEmpty()) continue;
        ChiaveRiga chiave;
        chiave.leggi(cut(riga, screen.m_Separatore, numero), cut(riga, screen.m_Separatore, data));
        if (!(chiave == corrente)) {
            corrente = chiave;
            registrato = false;
        }
        int impossibili = 0;
        if (!chiave.valida() || registrato || riga.size() <= 1 || !Campi::accettata(*screen.m_Regole, riga, impossibili))
            continue;
        std::vector<Inizio>& blocchi = indice.m_blocchi[chiave.codice()];
        if (blocchi.empty()) indice.m_chiavi.push_back(chiave);
        blocchi.push_back(prima);
        registrato = true;
    }
    return indice;
}

std::vector<IndiceBlocchi::Inizio> IndiceBlocchi::blocchi(const ChiaveRiga& chiave) const
{
    return m_blocchi.value(chiave.codice());
}
