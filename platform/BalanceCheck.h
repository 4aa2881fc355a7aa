#pragma once
#include <QString>

class Connection;

// The balance-check library: four totals of a stored period.
class BalanceCheck {
public:
    void Verifica(Connection& connection, QString& ditta, QString& anno, qint16& mese, qint16& periodo,
                  qint32& riservato1, bool& riservato2, qint16& riservato3);
    double Totale1() const { return m_totali[0]; }
    double Totale2() const { return m_totali[1]; }
    double Totale3() const { return m_totali[2]; }
    double Totale4() const { return m_totali[3]; }

private:
    double m_totali[4] = {0, 0, 0, 0};
};
