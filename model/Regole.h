#pragma once
#include "model/KeyedCollection.h"
#include "model/Regola.h"

// The exclusion rules of a definition file, in file order.
class Regole : public KeyedCollection<Regola> {
public:
    Regola& Add(qint16 FromCol, qint16 ToCol, const QString& Rule, const QString& sKey = QString())
    {
        auto r = std::make_unique<Regola>();
        r->FromCol = FromCol;
        r->ToCol = ToCol;
        r->Rule = Rule;
        return append(std::move(r), sKey);
    }
};
