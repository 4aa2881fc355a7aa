#include "platform/runtime/Currency.h"
#include "platform/runtime/AppError.h"
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
constexpr double Limit = 922337203685477.0;  // the platform's currency range
constexpr std::int64_t Massimo = std::numeric_limits<std::int64_t>::max();

Currency checked(double scaled)
{
    if (std::isnan(scaled) || std::fabs(scaled) / Currency::Scale > Limit)
        throw AppError::overflow();
    // A value that is a half in decimal goes to the even neighbour, whatever binary noise it carries.
    const double lower = std::floor(scaled);
    double r;
    if (std::fabs(scaled - lower - 0.5) < 1e-7)
        r = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    else
        r = std::nearbyint(scaled);
    return Currency::fromScaled(static_cast<std::int64_t>(r));
}

Currency exact(__int128 raw)
{
    if (raw > Massimo || raw < -Massimo) throw AppError::overflow();
    return Currency::fromScaled(std::int64_t(raw));
}

__int128 potenza10(int n)
{
    __int128 p = 1;
    while (n-- > 0) p *= 10;
    return p;
}
}  // namespace

Currency Currency::fromDouble(double v) { return checked(v * Scale); }

QString Currency::testo() const
{
    const std::uint64_t a = m_raw < 0 ? std::uint64_t(0) - std::uint64_t(m_raw) : std::uint64_t(m_raw);
    return QStringLiteral("%1%2.%3")
        .arg(m_raw < 0 ? QStringLiteral("-") : QString())
        .arg(a / Scale)
        .arg(a % Scale, 4, 10, QLatin1Char('0'));
}

Currency Currency::operator+(Currency o) const { return exact(__int128(m_raw) + o.m_raw); }
Currency Currency::operator-(Currency o) const { return exact(__int128(m_raw) - o.m_raw); }
Currency Currency::operator-() const { return exact(-__int128(m_raw)); }

Currency Currency::alCambio(double cambio) const
{
    if (cambio == 0) throw AppError::divisionByZero();
    if (!std::isfinite(cambio)) throw AppError::overflow();
    // The rate as digits and a power of ten: 1.05 is 105 and -2.
    char testo[64];
    const auto r = std::to_chars(testo, testo + sizeof testo, std::fabs(cambio), std::chars_format::scientific);
    __int128 cifre = 0;
    int decimali = 0, esponente = 0;
    bool dopo = false;
    const char* p = testo;
    for (; p < r.ptr && *p != 'e'; ++p) {
        if (*p == '.') {
            dopo = true;
            continue;
        }
        cifre = cifre * 10 + (*p - '0');
        if (dopo) ++decimali;
    }
    std::from_chars(p + (*(p + 1) == '+' ? 2 : 1), r.ptr, esponente);
    const int scala = esponente - decimali;  // rate = cifre × 10^scala
    if (m_raw == 0) return Currency();
    // Beyond these the result is 0 (a divisor above twice any amount) or an overflow.
    if (scala > 19) return Currency();
    if (scala < -19) throw AppError::overflow();
    __int128 numeratore = __int128(m_raw < 0 ? -__int128(m_raw) : __int128(m_raw));
    __int128 divisore = cifre;
    if (scala >= 0) divisore *= potenza10(scala);
    else numeratore *= potenza10(-scala);
    __int128 q = numeratore / divisore;
    const __int128 resto = numeratore % divisore;
    if (2 * resto > divisore || (2 * resto == divisore && q % 2 == 1)) ++q;
    const bool negativo = (m_raw < 0) != (cambio < 0);
    return exact(negativo ? -q : q);
}

bool Currency::daFormaC(const char* p, const char* fine, Currency& out)
{
    const bool negativo = p < fine && *p == '-';
    if (negativo) ++p;
    constexpr std::uint64_t Massimo = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    std::uint64_t intero = 0;
    for (; p < fine && *p != '.'; ++p) {
        if (intero > (Massimo - 9) / 10) return false;
        intero = intero * 10 + std::uint64_t(*p - '0');
    }
    if (p < fine) ++p;  // the decimal point
    std::uint64_t decimi = 0;
    for (int k = 0; k < 4; ++k) decimi = decimi * 10 + (p < fine ? std::uint64_t(*p++ - '0') : 0);
    int quinta = p < fine ? *p++ - '0' : 0;
    bool oltre = false;
    for (; p < fine; ++p) oltre = oltre || *p != '0';
    if (intero > (Massimo - decimi) / std::uint64_t(Scale)) return false;
    std::uint64_t raw = intero * std::uint64_t(Scale) + decimi;
    if (quinta > 5 || (quinta == 5 && (oltre || raw % 2 == 1))) {
        if (raw == Massimo) return false;
        ++raw;
    }
    out = Currency::fromScaled(negativo ? -std::int64_t(raw) : std::int64_t(raw));
    return true;
}

