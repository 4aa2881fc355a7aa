#include "xbrl/Tassonomia.h"
#include "platform/runtime/Valori.h"

namespace {

struct Voce {
    const char* codice;
    const char* prefisso;
    const char* versione;
    const char* modello;
    const char* schema;
};

// Within a code the order matters: "itcc-ci-abbsemp-" never contains "itcc-ci-abb-",
// but the first prefix found wins all the same.
constexpr Voce kTabella[] = {
    {"3", "itcc-ci-ese-", "85", "KXCE85", "KXCE85"},     {"3", "itcc-ci-abb-", "86", "KXCE86", "KXCE86"},
    {"3", "itcc-ci-abbsemp-", "87", "KXCE86", "KXCE87"}, {"3", "itcc-ci-cons-", "85CO", "KXCE85", "KXCO85"},
    {"5", "itcc-ci-ese-", "88", "KXCE85", "KXCE88"},     {"5", "itcc-ci-abb-", "89", "KXCE86", "KXCE89"},
    {"5", "itcc-ci-abbsemp-", "87", "KXCE86", "KXCE87"}, {"5", "itcc-ci-cons-", "88CO", "KXCE85", "KXCO88"},
    {"6", "itcc-ci-ese-", "90", "KXCE85", "KXCE90"},     {"6", "itcc-ci-abb-", "91", "KXCE86", "KXCE91"},
    {"6", "itcc-ci-abbsemp-", "87", "KXCE86", "KXCE87"}, {"6", "itcc-ci-cons-", "93CO", "KXCE85", "KXCO93"},
    {"6", "itcc-ci-micro-", "92", "KXCE86", "KXCE92"},   {"7", "itcc-ci-ese-", "94", "KXCE85", "KXCE94"},
    {"7", "itcc-ci-abb-", "95", "KXCE86", "KXCE95"},     {"7", "itcc-ci-cons-", "94CO", "KXCE85", "KXCO94"},
    {"7", "itcc-ci-micr-", "96", "KXCE86", "KXCE96"},    {"8", "itcc-ci-ese-", "97", "KXCE85", "KXCE97"},
    {"8", "itcc-ci-abb-", "98", "KXCE86", "KXCE98"},     {"8", "itcc-ci-cons-", "97CO", "KXCE85", "KXCO97"},
    {"8", "itcc-ci-micr-", "99", "KXCE86", "KXCE99"},
};

}  // namespace

Tassonomia Tassonomia::riconosci(const QString& codice, const QString& schemaRef)
{
    Tassonomia t;
    t.codice = codice;
    for (const Voce& v : kTabella) {
        if (codice != QLatin1String(v.codice) || !schemaRef.contains(QLatin1String(v.prefisso), Qt::CaseSensitive)) continue;
        t.versione = QLatin1String(v.versione);
        t.modelloBase = QLatin1String(v.modello);
        t.schema = QLatin1String(v.schema);
        break;
    }
    return t;
}

bool Tassonomia::consolidato() const
{
    return schema == QLatin1String("KXCO85") || schema == QLatin1String("KXCO88") || schema == QLatin1String("KXCO93");
}

QVariant Tassonomia::codiceSql() const
{
    bool numerico = false;
    const qlonglong numero = vb::Trim(codice).toLongLong(&numerico);
    return numerico ? QVariant(numero) : QVariant(vb::Trim(codice));
}
