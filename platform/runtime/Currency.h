#pragma once
#include <QMetaType>
#include <QString>
#include <cstdint>

// Fixed-point amount with four decimals, as amounts are held when read from files. Sums
// and conversions are exact in ten-thousandths; what leaves the range is an overflow error.
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    Currency() = default;
    static Currency fromDouble(double v);  // nearest, halves to even; overflow is an error
    static Currency fromScaled(std::int64_t raw) { Currency c; c.m_raw = raw; return c; }
    // A number's C form ("-1234.56789": sign, digits, decimal point) read exactly; a fifth
    // decimal and beyond round half to even. False beyond the range.
    static bool daFormaC(const char* p, const char* fine, Currency& out);

    double toDouble() const { return double(m_raw) / Scale; }
    std::int64_t scaled() const { return m_raw; }
    // "-1234.5600": four decimals, "." as the decimal point, as SQL reads it.
    QString testo() const;

    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    Currency operator-() const;
    // The amount in another currency: divided by the rate, rounded half to even to four
    // decimals. The rate is taken as the shortest decimal that reads back as it (1.05 is
    // 1.05, not its binary neighbour); a rate of 0 is a division error.
    Currency alCambio(double cambio) const;
    bool operator==(const Currency& o) const = default;
    auto operator<=>(const Currency& o) const = default;

private:
    std::int64_t m_raw = 0;
};
