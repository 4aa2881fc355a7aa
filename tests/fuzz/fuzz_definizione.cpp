// Fuzzing of the definition-file reader with field cuts and rule checks: the input is
// a file whose lines up to "#DATI" are a definition and whose other lines are data.
#include "model/Campi.h"
#include "model/LetturaDefinizione.h"
#include "platform/runtime/TextFile.h"
#include <QCoreApplication>
#include <QTemporaryFile>
#include <cstdint>
#include <cstdlib>

namespace {
void verifica(bool condizione)
{
    if (!condizione) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open()) return 0;
    file.resize(0);
    file.seek(0);
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.flush();

    TextFile testo;
    if (testo.apri(file.fileName()) != TextFile::Esito::Aperto) return 0;
    if (testo.atEnd()) return 0;
    testo.readLine();  // the data file's name

    bool dati = false;
    Impostazioni imp;
    Colonne colonne;
    Regole regole;
    colonne.Add(0, 0, 0);
    LetturaDefinizione::leggi(
        [&](QString& riga) {
            if (dati || testo.atEnd()) return false;
            riga = testo.readLine();
            if (riga == QLatin1String("#DATI")) dati = true;
            return !dati;
        },
        imp, colonne, regole);
    verifica(colonne.Count() >= 8 && colonne.Count() <= 10);

    while (!testo.atEnd()) {
        const QString riga = testo.readLine();
        for (const Colonna& c : colonne) {
            const QString campo = Campi::delimitato(riga, imp.separatore, c.Position);
            verifica(campo.isEmpty() || (campo.front() != QLatin1Char(' ') && campo.back() != QLatin1Char(' ')));
            qint16 primo = c.FromCol, ultimo = c.ToCol;
            QStringView parte;
            if (Campi::fisso(riga, primo, ultimo, parte)) {
                verifica(primo >= 1 && ultimo <= riga.size() && parte.size() == qMax(0, ultimo - primo + 1));
                verifica(parte.data() >= riga.data() && parte.data() + parte.size() <= riga.data() + riga.size());
            }
        }
        int impossibili = 0;
        Campi::accettata(regole, riga, impossibili);
        verifica(impossibili <= regole.Count());
    }
    return 0;
}
