#include "control/ctlVevAre.h"

// These run once or more for every line of data files with a million lines: they cut
// on views of the line and allocate only the text they return.

namespace {

QStringView senzaSpazi(QStringView s)
{
    while (!s.isEmpty() && s.front() == QLatin1Char(' ')) s = s.sliced(1);
    while (!s.isEmpty() && s.back() == QLatin1Char(' ')) s.chop(1);
    return s;
}

// Characters primo..ultimo of the line, both first clamped to the line (and written
// back). False when the cut cannot be made: an empty line, or ultimo more than one
// position before primo.
bool taglia(QStringView riga, qint16& primo, qint16& ultimo, QStringView& parte)
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

}  // namespace

QString ctlVevAre::EstraiCampo(const QString& riga, qint16& primo)
{
    if (primo <= 0) return {};
    const QStringView linea(riga);
    const QStringView sep(m_Separatore);
    qsizetype inizio = 0;
    for (qint16 campo = 1; campo < primo; ++campo) {
        const qsizetype pos = sep.isEmpty() ? -1 : linea.indexOf(sep, inizio);
        if (pos < 0) return {};
        inizio = pos + sep.size();
    }
    qsizetype fine = sep.isEmpty() ? -1 : linea.indexOf(sep, inizio);
    if (fine < 0) fine = linea.size();
    return senzaSpazi(linea.sliced(inizio, fine - inizio)).toString();
}

QString ctlVevAre::EstraiCampo(const QString& riga, qint16& primo, qint16& ultimo)
{
    QStringView parte;
    if (!taglia(riga, primo, ultimo, parte)) {
        MostraErrore(AppError::invalidCall());
        return {};
    }
    return parte.toString();
}

bool ctlVevAre::VerificaRegole(const QString& riga)
{
    if (!m_Regole) return true;
    for (const Regola& regola : *m_Regole) {
        // The cut clamps its arguments: work on copies so the rule stays as read.
        qint16 primo = regola.FromCol;
        qint16 ultimo = regola.ToCol;
        QStringView parte;
        if (!taglia(riga, primo, ultimo, parte)) MostraErrore(AppError::invalidCall());
        if (parte == regola.Rule) return false;
    }
    return true;
}
