#include "platform/runtime/Valori.h"
#include "platform/runtime/AppError.h"
#include <QLocale>
#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace vb {
namespace {

NumberFormat g_format;

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool isAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// Room for the C form of a number: one character per character of the text, on the
// stack for every text of ordinary length.
class Buffer {
public:
    explicit Buffer(qsizetype size)
    {
        if (size > qsizetype(sizeof m_local)) {
            m_spill.resize(size_t(size));
            m_data = m_spill.data();
        }
    }
    char* data() { return m_data; }

private:
    char m_local[64];
    std::string m_spill;
    char* m_data = m_local;
};

// The C form read with the C conventions, whatever the process locale; false when the
// value is too large. One too small for a double is 0, as the amounts' rounding makes it.
bool readC(const char* begin, const char* end, double& out)
{
    const auto r = std::from_chars(begin, end, out);
    if (r.ec == std::errc::result_out_of_range && r.ptr == end &&
        std::all_of(begin, std::find(begin, end, '.'), [](char c) { return c == '-' || c == '0'; })) {
        out = 0;
        return true;
    }
    return r.ec == std::errc() && r.ptr == end && std::isfinite(out);
}

bool isSpace(QChar c) { return isBlank(c) || c == QChar(0x00A0) || c == QChar(0x202F); }

QStringView trimmed(QStringView v)
{
    while (!v.isEmpty() && isSpace(v.front())) v = v.sliced(1);
    while (!v.isEmpty() && isSpace(v.back())) v.chop(1);
    return v;
}

// Takes the euro sign off one end of the text, with the blanks next to it.
bool senzaEuro(QStringView& v)
{
    const QChar euro(0x20AC);
    if (!v.isEmpty() && v.front() == euro) v = trimmed(v.sliced(1));
    else if (!v.isEmpty() && v.back() == euro) v = trimmed(v.first(v.size() - 1));
    else return false;
    return true;
}

// Word processors and spreadsheets write the minus sign (U+2212) or a dash (U+2013).
bool isMinus(QChar c) { return c == QLatin1Char('-') || c == QChar(0x2212) || c == QChar(0x2013); }
bool isSign(QChar c) { return c == QLatin1Char('+') || isMinus(c); }

// Thousands separators besides the format's own: a blank (also the no-break ones) as
// French and Swiss texts write it, an apostrophe (straight or typographic) as the Swiss do.
bool separatoreMigliaia(QChar c)
{
    return c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F) || c == QLatin1Char('\'') || c == QChar(0x2019);
}

// Digits grouped by thousands: a first group of one to three digits (no leading zero)
// and groups of exactly three after each separator.
bool raggruppate(QStringView v, QChar grouping)
{
    qsizetype inizio = 0;
    bool primo = true;
    for (;;) {
        const qsizetype fine = v.indexOf(grouping, inizio);
        const QStringView gruppo = v.sliced(inizio, (fine < 0 ? v.size() : fine) - inizio);
        if (primo ? gruppo.isEmpty() || gruppo.size() > 3 || gruppo.front() == QLatin1Char('0') : gruppo.size() != 3) return false;
        for (QChar c : gruppo)
            if (!isAsciiDigit(c)) return false;
        if (fine < 0) return true;
        inizio = fine + 1;
        primo = false;
    }
}

bool soloCifre(QStringView v)
{
    for (QChar c : v)
        if (!isAsciiDigit(c)) return false;
    return true;
}

// Reads the whole text as a number under the format and writes its C form ("-1234.5",
// no grouping, no exponent) from `c`; false when the text is not one number. Besides sign,
// digits and separators it takes the forms of accounting exports: blanks around, a
// trailing sign ("1.250,40-"), parentheses for a negative ("(500,00)"), the euro sign
// before or after the amount, the typographic minus, and thousands grouped by blanks or
// apostrophes. A grouping separator counts only between groups of three digits; where the
// grouping separator is a dot, a single dot anywhere else in a number without decimal
// comma is the decimal point ("1.05", "1234.56"), as exports and web pages write it. An
// exponent is no amount. The numeric test and every conversion read through here, so
// they agree on every form.
bool formaC(QStringView text, char* c, char*& fine)
{
    const NumberFormat& f = g_format;
    QStringView v = trimmed(text);
    bool euro = senzaEuro(v);
    bool negative = false;
    if (v.size() >= 2 && v.front() == QLatin1Char('(') && v.back() == QLatin1Char(')')) {
        v = trimmed(v.sliced(1, v.size() - 2));
        if (!euro) euro = senzaEuro(v);
        if (v.isEmpty() || isSign(v.front()) || isSign(v.back())) return false;
        negative = true;
    } else if (!v.isEmpty() && isSign(v.front())) {
        negative = isMinus(v.front());
        v = trimmed(v.sliced(1));
        if (!euro) euro = senzaEuro(v);
    } else if (!v.isEmpty() && isSign(v.back())) {
        negative = isMinus(v.back());
        v = trimmed(v.first(v.size() - 1));
        if (!euro) euro = senzaEuro(v);
    }
    if (v.isEmpty()) return false;

    // One kind of blank or apostrophe at most groups the digits.
    QChar altro;
    for (QChar ch : v) {
        if (isAsciiDigit(ch) || ch == f.decimal || ch == f.grouping) continue;
        if (!separatoreMigliaia(ch) || (!altro.isNull() && ch != altro)) return false;
        altro = ch;
    }
    QStringView intera = v, decimali;
    bool punto = false;  // a separator read as the decimal point
    if (const qsizetype d = v.indexOf(f.decimal); d >= 0) {
        intera = v.first(d);
        decimali = v.sliced(d + 1);
        punto = true;
        if (!soloCifre(decimali)) return false;
        const bool gruppi = intera.contains(f.grouping);
        if (gruppi && !altro.isNull()) return false;
        if ((gruppi || !altro.isNull()) && !raggruppate(intera, gruppi ? f.grouping : altro)) return false;
    } else if (!altro.isNull()) {
        // "1'234.56": after blank or apostrophe groups a dot can only be the decimal point;
        // followed by three digits it could group them too, and that is no amount.
        if (const qsizetype g = v.indexOf(f.grouping); g >= 0) {
            if (f.grouping != QLatin1Char('.')) return false;
            intera = v.first(g);
            decimali = v.sliced(g + 1);
            punto = true;
            if (!soloCifre(decimali) || decimali.size() == 3) return false;
        }
        if (!raggruppate(intera, altro)) return false;
    } else if (const qsizetype g = v.indexOf(f.grouping); g >= 0 && !raggruppate(v, f.grouping)) {
        if (f.grouping != QLatin1Char('.') || v.indexOf(f.grouping, g + 1) >= 0) return false;
        intera = v.first(g);
        decimali = v.sliced(g + 1);
        punto = true;
    }
    if (intera.isEmpty() && decimali.isEmpty()) return false;

    char* p = c;
    if (negative) *p++ = '-';
    for (QChar ch : intera)
        if (isAsciiDigit(ch)) *p++ = char(ch.unicode());
    if (punto) *p++ = '.';
    for (QChar ch : decimali) *p++ = char(ch.unicode());
    fine = p;
    return true;
}

bool parse(QStringView text, double& out)
{
    Buffer buffer(text.size() + 2);
    char* fine = nullptr;
    return formaC(text, buffer.data(), fine) && readC(buffer.data(), fine, out);
}

// Up to 15 significant digits with "." as the decimal point, never with an exponent:
// what the platform writes it reads back.
QString testoSemplice(double v)
{
    QString testo = QString::number(v, 'g', 15);
    if (std::isfinite(v) && testo.contains(QLatin1Char('e'))) {
        const int cifre = std::max(0, 14 - int(std::floor(std::log10(std::fabs(v)))));
        testo = QString::number(v, 'f', std::min(cifre, 340));
        if (testo.contains(QLatin1Char('.'))) {
            while (testo.endsWith(QLatin1Char('0'))) testo.chop(1);
            if (testo.endsWith(QLatin1Char('.'))) testo.chop(1);
        }
    }
    return testo;
}

// A plain number ("-1234.5") as a person reads it under the format ("-1.234,5").
QString raggruppa(QString testo)
{
    const bool negativo = testo.startsWith(QLatin1Char('-'));
    if (negativo) testo.remove(0, 1);
    const qsizetype punto = testo.indexOf(QLatin1Char('.'));
    QString intera = punto < 0 ? testo : testo.left(punto);
    const QString decimali = punto < 0 ? QString() : testo.mid(punto + 1);
    for (qsizetype pos = intera.size() - 3; pos > 0; pos -= 3) intera.insert(pos, g_format.grouping);
    return (negativo ? QStringLiteral("-") : QString()) + intera + (decimali.isEmpty() ? QString() : g_format.decimal + decimali);
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

Importo LeggiImporto(QStringView text, Currency& out)
{
    Buffer buffer(text.size() + 2);
    char* fine = nullptr;
    if (!formaC(text, buffer.data(), fine)) return Importo::NonNumero;
    return Currency::daFormaC(buffer.data(), fine, out) ? Importo::Letto : Importo::FuoriScala;
}

Currency CCur(double v) { return Currency::fromDouble(v); }
Currency CCur(const QString& text)
{
    Currency c;
    switch (LeggiImporto(text, c)) {
    case Importo::Letto: return c;
    case Importo::NonNumero: throw AppError::typeMismatch();
    case Importo::FuoriScala: break;
    }
    throw AppError::overflow();
}
Currency CCur(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString) return CCur(v.toString());
    return Currency::fromDouble(numberOf(v));
}

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
    QString s = testoSemplice(v);
    s.replace(QLatin1Char('.'), g_format.decimal);
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
    Buffer buffer(n - i + 2);  // with the terminating zero
    char* const c = buffer.data();
    char* p = c;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-')) *p++ = '-';
        ++i;
    }
    bool digits = false;
    auto takeDigits = [&] {
        while (i < n && isAsciiDigit(text[i])) {
            *p++ = char(text[i++].unicode());
            digits = true;
        }
    };
    takeDigits();
    if (i < n && text[i] == QLatin1Char('.')) {
        *p++ = '.';
        ++i;
        takeDigits();
    }
    if (!digits) return 0.0;
    if (i + 1 < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        char* e = p;
        *e++ = 'e';
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) *e++ = char(text[j++].unicode());
        if (j < n && isAsciiDigit(text[j])) {
            while (j < n && isAsciiDigit(text[j])) *e++ = char(text[j++].unicode());
            p = e;
        }
    }
    *p = '\0';
    // strtod's reading (a number too small is a signed zero), under the C conventions.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const double d = strtod_l(c, nullptr, cLocale);
    return std::isfinite(d) ? d : 0.0;
}

QString FormatIntero(double v)
{
    const double r = std::round(v);
    const double a = std::fabs(r);
    const QChar grouping = g_format.grouping;
    if (!(a < 1e15)) {  // very large (or not a number): the general form
        QString digits = QString::number(a, 'f', 0);
        for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3) digits.insert(pos, grouping);
        return (r < 0 ? QStringLiteral("-") : QString()) + digits;
    }
    char digits[20];
    int count = 0;
    for (auto u = quint64(a); count == 0 || u != 0; u /= 10) digits[count++] = char('0' + u % 10);
    const bool negative = r < 0;
    QString s(qsizetype(negative) + count + (count - 1) / 3, Qt::Uninitialized);
    QChar* out = s.data();
    if (negative) *out++ = QLatin1Char('-');
    for (int k = count - 1; k >= 0; --k) {
        *out++ = QLatin1Char(digits[k]);
        if (k > 0 && k % 3 == 0) *out++ = grouping;
    }
    return s;
}

QString FormatNumero(double v)
{
    if (!std::isfinite(v)) return CStr(v);
    return raggruppa(testoSemplice(v));
}

QString FormatNumero(Currency v)
{
    QString testo = v.testo();
    while (testo.endsWith(QLatin1Char('0'))) testo.chop(1);
    if (testo.endsWith(QLatin1Char('.'))) testo.chop(1);
    return raggruppa(testo);
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
