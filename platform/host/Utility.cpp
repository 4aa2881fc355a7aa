#include "platform/host/Utility.h"
#include "platform/db/Connection.h"
#include "platform/ui/ListControl.h"
#include "platform/db/Recordset.h"
#include "platform/runtime/Valori.h"

void Utility::SelezionaVoce(ListControl& list, const QString& text)
{
    const int i = list.findText(text, Qt::MatchExactly);
    if (i >= 0) list.setListIndex(i);
    else if (list.freeTyping()) list.setText(text);
}

void Utility::CaricaLista(ListControl& list, const QString& table, const QString& column, const QString& condition,
                          bool clear)
{
    Recordset rs;
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(column, table);
    if (!condition.trimmed().isEmpty()) sql += QLatin1Char(' ') + condition.trimmed();
    sql += QStringLiteral(" ORDER BY %1").arg(column);
    rs.Open(sql, m_connection);
    if (clear) list.Clear();
    for (; !rs.Eof(); rs.MoveNext()) list.AddItem(vb::CStr(rs.value(column)));
    rs.Close();
}

QString Utility::LeggiCampo(const QString& table, const QString& column, const QString& condition)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT %1 FROM %2%3").arg(column, table, condition), m_connection);
    QString result;
    if (!rs.Eof()) {
        const QVariant v = rs.value(rs.fieldNames().value(0));
        result = vb::CStr(v);
    }
    rs.Close();
    return result;
}

// The host's rule for the two correlation flags: a debit-side row counts for the
// assets/revenues view (AR), a credit-side row for the operating view (OP).
bool Utility::CalcolaCorrAR(const QString&, const QString&, const QString&, const QString& side, qint16)
{
    return vb::Trim(side).compare(QLatin1String("D"), Qt::CaseInsensitive) == 0;
}

bool Utility::CalcolaCorrOP(const QString&, const QString&, const QString&, const QString& side, qint16)
{
    return vb::Trim(side).compare(QLatin1String("A"), Qt::CaseInsensitive) == 0;
}
