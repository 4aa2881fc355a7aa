#pragma once
#include <QString>

class Connection;
class ListControl;

// The host's list utilities.
class Utility {
public:
    explicit Utility(Connection& connection) : m_connection(connection) {}

    // Makes the entry equal to the text the list's current choice.
    void SelezionaVoce(ListControl& list, const QString& text);
    // Fills the list with the column's values (all rows when the condition is empty).
    void CaricaLista(ListControl& list, const QString& table, const QString& column, const QString& condition,
                     bool clear);
    // Text of the column in the row the condition (a WHERE clause with a leading blank) selects.
    QString LeggiCampo(const QString& table, const QString& column, const QString& condition);
    // Flags stored with a copied correlation.
    bool CalcolaCorrAR(const QString& chart, const QString& schema, const QString& account, const QString& side,
                       qint16 row);
    bool CalcolaCorrOP(const QString& chart, const QString& schema, const QString& account, const QString& side,
                       qint16 row);

private:
    Connection& m_connection;
};
