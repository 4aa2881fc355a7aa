#include "model/LetturaDefinizione.h"
#include "platform/runtime/Valori.h"
#include <optional>

namespace {

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

void LetturaDefinizione::leggi(const std::function<bool(QString&)>& prossima, Impostazioni& imp, Colonne& colonne,
                               Regole& regole)
{
    QString riga;
    const auto conUno = [&] { return prossima(riga) && riga.startsWith(QLatin1Char('1')); };

    imp.delimitato = conUno();
    imp.separatore = imp.delimitato ? riga.mid(1, 1) : QString();

    imp.dueColonne = conUno();
    colonne.Add(0, 0, 0);
    if (imp.dueColonne) colonne.Add(0, 0, 0);

    imp.avereNegativo = conUno();

    imp.conDescrizione = conUno();
    if (imp.conDescrizione) colonne.Add(0, 0, 0);

    imp.primaRiga = 0;
    if (prossima(riga)) {
        try {
            imp.primaRiga = vb::CLng(riga);
        } catch (const AppError&) {
        }
    }
    for (int i = 0; i < 6; ++i) colonne.Add(0, 0, 0);

    while (prossima(riga)) {
        if (riga.startsWith(QLatin1Char('C')))
            leggiColonna(colonne, riga);
        else
            leggiRegola(regole, riga);
    }
}
