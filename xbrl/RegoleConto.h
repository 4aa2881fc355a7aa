#pragma once
#include "platform/runtime/Currency.h"
#include <QString>

struct Tassonomia;

// The schemas' sign conventions and account substitutions, applied to a fact's account
// and its converted amount (the amount in the document's unit is not touched).
void applicaRegoleConto(QString& conto, Currency& convertito, const Tassonomia& tassonomia);

// Accounts posted even when their schema row is not one that carries values.
bool contoSempreRegistrato(const QString& conto);
