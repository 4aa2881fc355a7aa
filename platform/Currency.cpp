#include "platform/Currency.h"
#include "platform/AppError.h"
#include <cmath>

namespace {
constexpr double Limit = 922337203685477.0;  // the platform's currency range

Currency checked(double scaled)
{
    if (std::isnan(scaled) || std::fabs(scaled) / Currency::Scale > Limit)
        throw AppError::overflow();
    return Currency::fromScaled(static_cast<std::int64_t>(std::nearbyint(scaled)));
}
}  // namespace

Currency Currency::fromDouble(double v) { return checked(v * Scale); }

Currency Currency::operator+(Currency o) const { return checked(double(m_raw) + double(o.m_raw)); }
Currency Currency::operator-(Currency o) const { return checked(double(m_raw) - double(o.m_raw)); }
