#pragma once
#include "platform/runtime/Currency.h"
#include <QChar>
#include <QString>
#include <QVariant>

// Conversions with the platform's semantics, in one place. Texts are read under the
// platform number format (Italian by default: decimal comma, grouping dot).
namespace vb {

struct NumberFormat {
    QChar decimal = QLatin1Char(',');
    QChar grouping = QLatin1Char('.');
};
const NumberFormat& numberFormat();
void setNumberFormat(const NumberFormat& f);

// True when the text reads as a number under the number format (blanks around allowed).
bool IsNumeric(const QString& text);
bool IsNumeric(const QVariant& v);

// An amount read exactly to its fourth decimal (a fifth and beyond round half to even),
// never through a double. FuoriScala: a number beyond the fixed-point range.
enum class Importo { Letto, NonNumero, FuoriScala };
Importo LeggiImporto(QStringView text, Currency& out);

// Text or value to number; a text that is not numeric is a type-mismatch error.
double CDbl(const QString& text);
double CDbl(const QVariant& v);
qint16 CInt(double v);  // nearest, halves to even; outside 16 bits is an overflow error
qint16 CInt(const QString& text);
qint16 CInt(const QVariant& v);
qint32 CLng(double v);
qint32 CLng(const QString& text);
qint32 CLng(const QVariant& v);
Currency CCur(double v);
Currency CCur(const QString& text);
Currency CCur(const QVariant& v);
bool CBool(const QVariant& v);

// Number to text as the platform writes it: up to 15 significant digits, no exponent,
// decimal separator of the format.
QString CStr(double v);
QString CStr(const QVariant& v);

// Leading-number reading: blanks skipped, digits up to the first character that cannot
// continue the number ('.' is the decimal point), 0 when there is none.
double Val(const QString& text);

// The "#,0" format: rounded to a whole number, grouped by thousands.
QString FormatIntero(double v);

// A number in full as a person reads it under the format: grouped by thousands, with
// its decimals up to 15 significant digits ("1.234,5", "1,05", "105").
QString FormatNumero(double v);

// An amount in full, exactly: grouped by thousands, its decimals without trailing zeros.
QString FormatNumero(Currency v);

// Full Italian month name, as "mmmm" gives it ("gennaio").
QString NomeMese(int month);

// Rounding to a number of decimals, an exact half going to the even neighbour.
double Round(double v, int decimals);

// Trim of blanks (spaces only), as the platform's Trim does.
QString Trim(const QString& s);

}  // namespace vb
