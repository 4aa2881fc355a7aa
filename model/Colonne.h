#pragma once
#include "model/Colonna.h"
#include "model/KeyedCollection.h"

// The column layout of a definition file; slots are addressed by position.
class Colonne : public KeyedCollection<Colonna> {
public:
    Colonna& Add(qint16 ToCol, qint16 FromCol, qint16 Position, const QString& sKey = QString())
    {
        auto c = std::make_unique<Colonna>();
        c->ToCol = ToCol;
        c->FromCol = FromCol;
        c->Position = Position;
        return append(std::move(c), sKey);
    }
};
