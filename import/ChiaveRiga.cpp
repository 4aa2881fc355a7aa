#include "import/ChiaveRiga.h"
#include "control/ctlVevAre.h"

namespace {

// Digits only (blanks around them allowed), within [minimo, massimo].
bool intero(const QString& testo, int minimo, int massimo, int& valore)
{
    const QString t = testo.trimmed();
    if (t.isEmpty() || t.size() > 9) return false;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    valore = t.toInt();
    return valore >= minimo && valore <= massimo;
}

}  // namespace

QString ChiaveRiga::leggi(const QString& numeroDitta, const QString& data)
{
    *this = ChiaveRiga{};
    int n = 0, g = 0, m = 0, a = 0;
    if (!intero(numeroDitta, 1, 32767, n))
        return QStringLiteral("codice ditta non leggibile (\"%1\")").arg(numeroDitta.trimmed());
    const QString d = data.trimmed();
    if (d.size() != 8 || !intero(d.left(2), 0, 99, g) || !intero(d.mid(2, 2), 0, 99, m) || !intero(d.mid(4, 4), 0, 9999, a))
        return QStringLiteral("data non leggibile (\"%1\")").arg(d);
    if (a < 1900 || a > 2100) return QStringLiteral("anno %1 fuori dall'intervallo 1900-2100").arg(a);
    if (m < 1 || m > 12) return QStringLiteral("mese %1 fuori dall'intervallo 1-12").arg(m);
    *this = ChiaveRiga{qint16(n), qint16(a), qint16(m)};
    return QString();
}

void segnalaRigaNonImportata(ctlVevAre& screen, qint64 numero, const QString& riga, const QString& motivo,
                             const QString& numeroDitta)
{
    const QString testo = QStringLiteral("Riga %1 non importata: %2").arg(numero).arg(motivo);
    screen.InsertLog(QString(), QStringLiteral("** ") + testo, QString(), true, false);
    RigaAnomalia r;
    r[0] = QStringLiteral("?");  // no company: "?" still tells the closing message there are anomalies
    r[1] = QString();
    r[2] = numeroDitta.trimmed();
    r[3] = QStringLiteral("riga %1").arg(numero);
    r[4] = riga.trimmed().left(120);
    r[5] = false;
    r[6] = true;
    r[7] = false;
    r[8] = testo;
    screen.AggiungiAnomalia(r);
}
