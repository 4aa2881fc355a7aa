#include "xbrl/TabellaPeriodi.h"
#include "platform/runtime/AppError.h"
#include <algorithm>
#include <cmath>

namespace {
// Trim(testo) is empty, without building the trimmed text: the scans run per context.
bool bianco(const QString& testo)
{
    return std::all_of(testo.cbegin(), testo.cend(), [](QChar c) { return c == QLatin1Char(' '); });
}
}  // namespace

bool RigaTabellaPeriodi::libera() const { return bianco(identificativo) || !anno.has_value(); }

int righePerContesti(int contesti)
{
    const double r = std::nearbyint(contesti / 2.0 - 1.0);  // the default rounding: half to even
    if (r > 32767) throw AppError::overflow();                // rows are numbered in 16 bits
    return r < 0 ? 1 : int(r) + 1;
}

qint16 RigaPeriodo(const TabellaPeriodi& tabella, const QString& chiave, qint16 anno)
{
    if (tabella.empty()) return 0;
    for (size_t i = 0; i < tabella.size(); ++i) {
        const RigaTabellaPeriodi& riga = tabella[i];
        if (riga.libera() || (riga.identificativo == chiave && *riga.anno == anno)) return qint16(i);
    }
    return qint16(tabella.size() - 1);
}

qint16 RigaContesto(const TabellaPeriodi& tabella, const QString& contesto)
{
    if (tabella.empty()) return 0;
    for (size_t i = 0; i < tabella.size(); ++i) {
        const QString& contesti = tabella[i].contesti;
        if (bianco(contesti) || contesti.contains(contesto, Qt::CaseSensitive)) return qint16(i);
    }
    return qint16(tabella.size() - 1);
}
