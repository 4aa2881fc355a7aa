#pragma once
#include <QString>

// One exclusion rule: a line whose characters FromCol..ToCol equal Rule is skipped.
class Regola {
public:
    QString Rule;
    qint16 ToCol = 0;
    qint16 FromCol = 0;
};
