#include "platform/host/SqlText.h"

namespace {
QString doubled(const QString& text)
{
    QString s = text;
    return s.replace(QLatin1Char('\''), QLatin1String("''"));
}
QString enclosed(const QString& text) { return QLatin1Char('\'') + text + QLatin1Char('\''); }
}  // namespace

TestoApici ApiciSQL(const QString& text) { return TestoApici(doubled(text)); }
TestoApici ApiciSQL(const TestoApici& text) { return text; }
QString StringaSQL(const QString& text) { return enclosed(doubled(text)); }
QString StringaSQL(const TestoApici& text) { return enclosed(text.text()); }
