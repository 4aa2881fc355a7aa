#include "xbrl/RegoleConto.h"
#include "xbrl/Tassonomia.h"
#include "xbrl/taxonomy/PostingRules.h"

// The rules change an amount's sign only: they are applied to the sign, and the exact
// amount follows it.
void applicaRegoleConto(QString& conto, Currency& convertito, const Tassonomia& t)
{
    double segno = convertito < Currency() ? -1.0 : 1.0;
    const double prima = segno;
    taxonomy::applyPostingRules(conto, segno, taxonomy::PostingContext{t.codice, t.versione, t.modelloBase});
    if (segno != prima) convertito = -convertito;
}

bool contoSempreRegistrato(const QString& conto) { return taxonomy::postedAnyway().contains(conto); }
