#pragma once
#include <QtGlobal>

// One column layout entry: field number in a delimited line, or character range.
class Colonna {
public:
    qint16 Position = 0;
    qint16 FromCol = 0;
    qint16 ToCol = 0;
};
