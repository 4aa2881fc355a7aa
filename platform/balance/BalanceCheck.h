#pragma once
#include <QString>

class Connection;

// The balance-check library: four totals of a stored period, from the converted values
// (QD07_VALOREORIGINALE) of the company, memorandum accounts (section "6") apart:
//   Totale1 = debit balances of the balance sheet and of every account outside the
//             income statement (no section, or missing from the chart)
//   Totale2 = debit balances of the income statement (sections "4" and "5")
//   Totale3, Totale4 = the credit balances of the same two groups (negative)
// Credits are stored negative, so |Totale1 + Totale2| is the period's debits and
// |Totale3 + Totale4| its credits: the two are equal exactly when the period's values
// add up to zero, whatever sections the chart gives its accounts, and an income
// statement with the wrong sign fails.
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
