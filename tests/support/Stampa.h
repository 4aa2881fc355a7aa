#pragma once
#include <QString>
#include <QStringList>
#include <ostream>

// Every test program sees these before any test prints a text, so that test names and
// failure messages show texts as text, not as bytes, and every translation unit prints
// them alike.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < l.size(); ++i) *os << (i ? ", " : " ") << '"' << l[i].toStdString() << '"';
    *os << " }";
}
