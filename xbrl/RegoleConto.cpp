#include "xbrl/RegoleConto.h"
#include "xbrl/Tassonomia.h"
#include "xbrl/taxonomy/PostingRules.h"

void applicaRegoleConto(QString& conto, double& convertito, const Tassonomia& t)
{
    taxonomy::applyPostingRules(conto, convertito, taxonomy::PostingContext{t.codice, t.versione, t.modelloBase});
}

bool contoSempreRegistrato(const QString& conto) { return taxonomy::postedAnyway().contains(conto); }
