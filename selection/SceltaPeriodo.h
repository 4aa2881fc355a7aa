#pragma once
#include <QString>

class Dialogs;

// Asks which stored period an import overwrites: only a whole number from 1 to `ultimo`
// is taken ("1,9" is no period: a rounded one would overwrite a period nobody named); any
// other answer asks again, naming the choices. A cancelled box (the empty text) ends the
// import with an error.
qint16 SceltaPeriodo(Dialogs& dialogs, const QString& prompt, qint16 ultimo);
