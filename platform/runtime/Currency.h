#pragma once
#include <QMetaType>
#include <QString>
#include <cstdint>

// Fixed-point amount with four decimals, as amounts are held when read from files.
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    Currency() = default;
    static Currency fromDouble(double v);  // nearest, halves to even; overflow is an error
    static Currency fromScaled(std::int64_t raw) { Currency c; c.m_raw = raw; return c; }

    double toDouble() const { return double(m_raw) / Scale; }
    std::int64_t scaled() const { return m_raw; }

    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    Currency operator*(double f) const { return fromDouble(toDouble() * f); }
    bool operator==(const Currency& o) const = default;
    auto operator<=>(const Currency& o) const = default;

private:
    std::int64_t m_raw = 0;
};
