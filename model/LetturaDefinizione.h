#pragma once
#include "model/Colonne.h"
#include "model/Regole.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Layout settings of a definition file (its lines 2 to 6).
struct Impostazioni {
    bool delimitato = false;
    QString separatore;  // empty: fixed width
    bool dueColonne = false;
    bool avereNegativo = false;
    bool conDescrizione = false;
    qint32 primaRiga = 0;  // a header may be long: lines are counted in 32 bits
    QList<int> colonneDate;         // slots a column line filled, in file order
    QStringList colonneNonLette;    // column lines for a slot whose numbers cannot be read
};

// Reads a definition file from its second line on (the first names the data file):
// the settings, the slots they call for and the column and rule lines. Nothing stops
// the reading: a missing or unreadable line leaves its setting at the default, and a
// line of the wrong form, or naming a slot that does not exist, is ignored.
namespace LetturaDefinizione {
// prossima gives the next line, false at the end of the file. colonne holds slot 1.
void leggi(const std::function<bool(QString&)>& prossima, Impostazioni& impostazioni, Colonne& colonne, Regole& regole);
// Why the columns read cannot cut what an import needs (account and amount columns
// given, every column given a possible cut), for "Il file di definizione X ...";
// empty when they can.
QString problema(const Impostazioni& impostazioni, Colonne& colonne);
}  // namespace LetturaDefinizione
