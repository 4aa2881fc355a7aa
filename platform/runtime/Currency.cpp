#include "platform/runtime/Currency.h"
#include "platform/runtime/AppError.h"
#include <cmath>

namespace {
constexpr double Limit = 922337203685477.0;  // the platform's currency range

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
}  // namespace

Currency Currency::fromDouble(double v) { return checked(v * Scale); }

Currency Currency::operator+(Currency o) const { return checked(double(m_raw) + double(o.m_raw)); }
Currency Currency::operator-(Currency o) const { return checked(double(m_raw) - double(o.m_raw)); }
