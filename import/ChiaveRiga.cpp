#include "import/ChiaveRiga.h"
#include "platform/runtime/Valori.h"

namespace {
void numeroOPrecedente(const QString& testo, qint16& valore)
{
    if (vb::IsNumeric(testo)) valore = vb::CInt(testo);
}
}  // namespace

void ChiaveRiga::leggi(const QString& numeroDitta, const QString& data)
{
    numeroOPrecedente(numeroDitta, numero);
    numeroOPrecedente(data.mid(4, 4), anno);
    numeroOPrecedente(data.mid(2, 2), mese);
}
