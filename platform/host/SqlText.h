#pragma once
#include <QString>

// The host's SQL literal functions, applied in this order to a value after "=".
QString ApiciSQL(const QString& text);   // doubles every apostrophe
QString StringaSQL(const QString& text); // encloses the text between apostrophes
