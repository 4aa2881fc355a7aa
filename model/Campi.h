#pragma once
#include "model/Regole.h"
#include <QString>
#include <QStringView>

// Field cuts of data lines and the exclusion rules. They run once or more for every
// line of data files with a million lines: they cut on views of the line and allocate
// only the text they return.
namespace Campi {
// Field n (from 1) of a line split at every separator, trimmed of blanks; empty when
// n is 0 or less or the line has fewer fields.
QString delimitato(QStringView riga, QStringView separatore, qint16 n);
// Characters primo..ultimo of the line, both first clamped to the line (and written
// back). False when the cut cannot be made: an empty line, or ultimo more than one
// position before primo.
bool fisso(QStringView riga, qint16& primo, qint16& ultimo, QStringView& parte);
// True when no rule matches the line; cuts that cannot be made count in impossibili.
bool accettata(Regole& regole, QStringView riga, int& impossibili);
}  // namespace Campi
