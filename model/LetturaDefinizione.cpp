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
void leggiColonna(Colonne& colonne, QStringView riga, Impostazioni& imp)
{
    QStringView p[4];
    if (!dividi(riga, p)) return;
    const auto slot = intero(p[0].mid(1));
    if (!slot || *slot < 1 || *slot > colonne.Count()) return;
    const auto posizione = intero(p[1]), da = intero(p[2]), a = intero(p[3]);
    if (!posizione || !da || !a) {
        imp.colonneNonLette << riga.toString();
        return;
    }
    Colonna& c = colonne.Item(*slot);
    c.Position = *posizione;
    c.FromCol = *da;
    c.ToCol = *a;
    imp.colonneDate.removeAll(*slot);
    imp.colonneDate << *slot;
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
            leggiColonna(colonne, riga, imp);
        else
            leggiRegola(regole, riga);
    }
}

// A column whose cut can take nothing, or takes another field than meant (a start
// below 1 is read as 1), would post every line wrong: the definition is refused.
QString LetturaDefinizione::problema(const Impostazioni& imp, Colonne& colonne)
{
    if (!imp.colonneNonLette.isEmpty())
        return QStringLiteral("ha una riga di colonna con numeri non leggibili ('%1')").arg(imp.colonneNonLette.first());
    const bool fisso = imp.separatore.isEmpty();
    for (int slot : imp.colonneDate) {
        const Colonna& c = colonne.Item(slot);
        if (!fisso && c.Position < 1)
            return QStringLiteral("indica per la colonna C%1 il campo %2 (il primo è 1)").arg(slot).arg(c.Position);
        if (fisso && c.FromCol < 1)
            return QStringLiteral("fa iniziare la colonna C%1 alla posizione %2 (la prima è 1)").arg(slot).arg(c.FromCol);
        if (fisso && c.ToCol < c.FromCol)
            return QStringLiteral("dà alla colonna C%1 lunghezza %2 (dalla posizione %3 alla %4)")
                .arg(slot)
                .arg(int(c.ToCol) - c.FromCol + 1)
                .arg(c.FromCol)
                .arg(c.ToCol);
    }
    const auto data = [&](int slot) { return imp.colonneDate.contains(slot); };
    if (!data(1)) return QStringLiteral("non indica la colonna del conto (C1)");
    if (!data(2)) return QStringLiteral("non indica la colonna dell'importo");
    if (imp.dueColonne && !data(3)) return QStringLiteral("non indica la colonna dell'avere (C3)");
    return {};
}
