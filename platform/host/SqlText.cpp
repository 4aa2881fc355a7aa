#include "platform/host/SqlText.h"

QString ApiciSQL(const QString& text)
{
    QString s = text;
    return s.replace(QLatin1Char('\''), QLatin1String("''"));
}

QString StringaSQL(const QString& text) { return QLatin1Char('\'') + text + QLatin1Char('\''); }
