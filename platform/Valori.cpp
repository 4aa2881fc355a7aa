#include "platform/Valori.h"
#include "platform/AppError.h"
#include <QLocale>
#include <cmath>
#include <limits>

namespace vb {
namespace {

NumberFormat g_format;

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Reads the whole text as a number under the format; false when it is not one.
bool parse(const QString& text, double& out)
{
    const NumberFormat& f = g_format;
    qsizetype i = 0, n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    while (n > i && isBlank(text[n - 1])) --n;
    if (i >= n) return false;

    QByteArray c;
    c.reserve(n - i + 1);
    if (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')) c.append(char(text[i++].unicode()));
    bool digits = false, decimal = false;
    for (; i < n; ++i) {
        const QChar ch = text[i];
        if (ch.isDigit() && ch.unicode() < 128) {
            c.append(char(ch.unicode()));
            digits = true;
        } else if (ch == f.decimal && !decimal) {
            c.append('.');
            decimal = true;
        } else if (ch == f.grouping && !decimal) {
            // grouping separators are ignored before the decimal separator
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        c.append('e');
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) c.append(char(text[i++].unicode()));
        bool exp = false;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) { c.append(char(text[i++].unicode())); exp = true; }
        if (!exp) return false;
    }
    if (i != n) return false;
    bool ok = false;
    out = QLocale::c().toDouble(QString::fromLatin1(c), &ok);
    return ok && std::isfinite(out);
}

double numberOf(const QVariant& v)
{
    if (v.isNull()) throw AppError::invalidNull();
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? -1.0 : 0.0;
    case QMetaType::QString: return CDbl(v.toString());
    case QMetaType::QByteArray: return CDbl(QString::fromUtf8(v.toByteArray()));
    default: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok) throw AppError::typeMismatch();
        return d;
    }
    }
}

}  // namespace

const NumberFormat& numberFormat() { return g_format; }
void setNumberFormat(const NumberFormat& f) { g_format = f; }

bool IsNumeric(const QString& text)
{
    double d;
    return parse(text, d);
}

bool IsNumeric(const QVariant& v)
{
    if (v.isNull()) return false;
    if (v.typeId() == QMetaType::QString) return IsNumeric(v.toString());
    bool ok = false;
    v.toDouble(&ok);
    return ok;
}

double CDbl(const QString& text)
{
    double d;
    if (!parse(text, d)) throw AppError::typeMismatch();
    return d;
}
double CDbl(const QVariant& v) { return numberOf(v); }

qint16 CInt(double v)
{
    const double r = std::nearbyint(v);
    if (std::isnan(r) || r < -32768.0 || r > 32767.0) throw AppError::overflow();
    return static_cast<qint16>(r);
}
qint16 CInt(const QString& text) { return CInt(CDbl(text)); }
qint16 CInt(const QVariant& v) { return CInt(numberOf(v)); }

qint32 CLng(double v)
{
    const double r = std::nearbyint(v);
    if (std::isnan(r) || r < -2147483648.0 || r > 2147483647.0) throw AppError::overflow();
    return static_cast<qint32>(r);
}
qint32 CLng(const QString& text) { return CLng(CDbl(text)); }
qint32 CLng(const QVariant& v) { return CLng(numberOf(v)); }

Currency CCur(double v) { return Currency::fromDouble(v); }
Currency CCur(const QString& text) { return Currency::fromDouble(CDbl(text)); }
Currency CCur(const QVariant& v) { return Currency::fromDouble(numberOf(v)); }

bool CBool(const QVariant& v)
{
    if (v.isNull()) throw AppError::invalidNull();
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString s = Trim(v.toString());
        if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("Vero"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("Falso"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return numberOf(v) != 0.0;
}

QString CStr(double v)
{
    QString s = QString::number(v, 'g', 15);
    s.replace(QLatin1Char('.'), g_format.decimal);
    s.replace(QLatin1String("e+"), QLatin1String("E+"));
    s.replace(QLatin1String("e-"), QLatin1String("E-"));
    return s;
}

QString CStr(const QVariant& v)
{
    if (v.isNull()) return QString();
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: return CStr(v.toDouble());
    default: return v.toString();
    }
}

double Val(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (isBlank(text[i]) || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r'))) ++i;
    QByteArray c;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) c.append(char(text[i++].unicode()));
    bool digits = false;
    auto takeDigits = [&] {
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            c.append(char(text[i++].unicode()));
            digits = true;
        }
    };
    takeDigits();
    if (i < n && text[i] == QLatin1Char('.')) {
        c.append('.');
        ++i;
        takeDigits();
    }
    if (!digits) return 0.0;
    if (i + 1 < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        QByteArray e("e");
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) e.append(char(text[j++].unicode()));
        if (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9') e.append(char(text[j++].unicode()));
            c.append(e);
        }
    }
    const double d = std::strtod(c.constData(), nullptr);
    return std::isfinite(d) ? d : 0.0;
}

QString FormatIntero(double v)
{
    const double r = std::round(v);
    QString digits = QString::number(std::fabs(r), 'f', 0);
    for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3) digits.insert(pos, g_format.grouping);
    return (r < 0 ? QStringLiteral("-") : QString()) + digits;
}

QString NomeMese(int month)
{
    if (month < 1 || month > 12) throw AppError::invalidCall();
    return QLocale(QLocale::Italian, QLocale::Italy).monthName(month, QLocale::LongFormat);
}

double Round(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = v * scale;
    const double lower = std::floor(scaled);
    const double frac = scaled - lower;
    double r;
    if (std::fabs(frac - 0.5) < 1e-9)
        r = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    else
        r = std::round(scaled);
    return r / scale;
}

QString Trim(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' ')) ++b;
    while (e > b && s[e - 1] == QLatin1Char(' ')) --e;
    return s.mid(b, e - b);
}

}  // namespace vb
