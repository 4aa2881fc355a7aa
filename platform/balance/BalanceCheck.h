#pragma once
#include <QString>

class Connection;

// The balance-check library: four totals of a stored period, from the converted
// values (QD07_VALOREORIGINALE) of the company's accounts, by chart section:
//   Totale1 = section "1" (assets)        Totale2 = section "2" (liabilities and equity)
//   Totale3 = section "4" (costs)         Totale4 = section "5" (revenues)
// Credit balances are stored negative, so when debits equal credits the balance-sheet
// pair and the income-statement pair cancel out: T1 + T2 = −(T3 + T4), the result of
// the year seen from both sides, and |T1 + T2| = |T3 + T4|. Memorandum accounts
// (section "6") balance among themselves, and accounts without a section belong to
// neither statement, so both stay out.
class BalanceCheck {
public:
    // Computes the totals; a database error is raised after the totals were reset to 0.
    // The last three arguments belong to the host's calling convention and change nothing.
    void Verifica(Connection& connection, QString& ditta, QString& anno, qint16& mese, qint16& periodo,
                  qint32& riservato1, bool& riservato2, qint16& riservato3);
    double Totale1() const { return m_totali[0]; }
    double Totale2() const { return m_totali[1]; }
    double Totale3() const { return m_totali[2]; }
    double Totale4() const { return m_totali[3]; }

private:
    double m_totali[4] = {0, 0, 0, 0};
};
