#include "platform/host/CGlobal.h"

CGlobal::CGlobal(std::unique_ptr<::Connection> connection, QString baseCurrency, QString productName, QString appPath)
    : m_database(std::move(connection)), m_valutaBase(std::move(baseCurrency)), m_utility(m_database.Connection())
{
    m_app.setProperty(QStringLiteral("ProductName"), productName);
    m_app.setProperty(QStringLiteral("Path"), appPath);
}

QString CGlobal::ConnectionString() const
{
    return const_cast<CGlobal*>(this)->m_database.Connection().connectionString();
}
