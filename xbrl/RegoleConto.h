#pragma once
#include <QString>

struct Tassonomia;

// The schemas' sign conventions and account substitutions, applied to a fact's account
// and its converted amount (the amount in the document's unit is not touched).
void applicaRegoleConto(QString& conto, double& convertito, const Tassonomia& tassonomia);
