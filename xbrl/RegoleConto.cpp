#include "xbrl/RegoleConto.h"
#include "platform/runtime/Valori.h"
#include "xbrl/Tassonomia.h"
#include <cmath>
#include <initializer_list>

namespace {
bool tra(const QString& testo, std::initializer_list<const char*> valori)
{
    for (const char* v : valori)
        if (testo == QLatin1String(v)) return true;
    return false;
}
}  // namespace

void applicaRegoleConto(QString& conto, double& convertito, const Tassonomia& t)
{
    const QString& versione = t.versione;
    // The abbreviated models carry these as deductions.
    if (t.modelloBase == QLatin1String("KXCE86") &&
        tra(conto, {"A-B-01-020-", "A-B-02-020-", "A-B-01-030-", "A-B-02-030-"}))
        convertito = -convertito;
    if (t.modelloBase == QLatin1String("KXCE85") && conto == QLatin1String("P-A-09-000-b")) convertito = std::fabs(convertito);
    if (conto == QLatin1String("E-E-00-220-c")) convertito = -convertito;
    if (conto == QLatin1String("E-E-00-220-d")) convertito = -convertito;

    const QString c = vb::Trim(conto);
    if (c == QLatin1String("E-B-00-100-d") && tra(versione, {"85", "85CO", "88", "88CO", "90", "93CO"}))
        conto = QStringLiteral("E-B-00-100-d1");
    if (c == QLatin1String("E-D-00-190-a") && tra(versione, {"85CO", "88CO", "93CO"})) conto = QStringLiteral("E-D-00-190-a2");
    if (c == QLatin1String("O--02-010-")) conto = QStringLiteral("O--02-010-a");
    if (c == QLatin1String("O--02-030-")) conto = QStringLiteral("O--02-030-a");
    if (tra(c, {"E-C-00-172-", "E-C-00-160-d5"}) && tra(versione, {"94CO", "97CO"})) convertito = -convertito;
    if (c == QLatin1String("E-D-00-200-d") && tra(t.codice, {"7", "8"})) convertito = -convertito;
}
