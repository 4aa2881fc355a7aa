#include "model/Campi.h"

namespace {

QStringView senzaSpazi(QStringView s)
{
    while (!s.isEmpty() && s.front() == QLatin1Char(' ')) s = s.sliced(1);
    while (!s.isEmpty() && s.back() == QLatin1Char(' ')) s.chop(1);
    return s;
}

}  // namespace

QString Campi::delimitato(QStringView riga, QStringView sep, qint16 n)
{
    if (n <= 0) return {};
    qsizetype inizio = 0;
    for (qint16 campo = 1; campo < n; ++campo) {
        const qsizetype pos = sep.isEmpty() ? -1 : riga.indexOf(sep, inizio);
        if (pos < 0) return {};
        inizio = pos + sep.size();
    }
    qsizetype fine = sep.isEmpty() ? -1 : riga.indexOf(sep, inizio);
    if (fine < 0) fine = riga.size();
    return senzaSpazi(riga.sliced(inizio, fine - inizio)).toString();
}

bool Campi::fisso(QStringView riga, qint16& primo, qint16& ultimo, QStringView& parte)
{
    const auto limita = [n = riga.size()](qint16& v) {
        if (v < 1) v = 1;
        if (v > n) v = qint16(n);
    };
    limita(primo);
    limita(ultimo);
    const qsizetype lunghezza = qsizetype(ultimo) - primo + 1;
    if (primo < 1 || lunghezza < 0) return false;
    parte = riga.mid(primo - 1, lunghezza);
    return true;
}

bool Campi::accettata(Regole& regole, QStringView riga, int& impossibili)
{
    for (const Regola& regola : regole) {
        // The cut clamps its arguments: work on copies so the rule stays as read.
        qint16 primo = regola.FromCol;
        qint16 ultimo = regola.ToCol;
        QStringView parte;
        if (!fisso(riga, primo, ultimo, parte)) ++impossibili;
        if (parte == regola.Rule) return false;
    }
    return true;
}
