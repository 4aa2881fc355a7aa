#include "platform/host/CGlobal.h"
#include "platform/host/Settings.h"

CGlobal::CGlobal(std::unique_ptr<::Connection> connection, QString baseCurrency, QString productName, QString appPath)
    : m_database(std::move(connection)), m_valutaBase(std::move(baseCurrency)), m_utility(m_database.Connection())
{
    m_app.setProperty(QStringLiteral("ProductName"), productName);
    m_app.setProperty(QStringLiteral("Path"), appPath);
}

QString CGlobal::CartellaLavoro() const
{
    const QString avvio = m_app.property(QStringLiteral("WorkingFolder")).toString();
    if (!avvio.isEmpty()) return avvio;
    return Settings::GetSetting(m_app.property(QStringLiteral("ProductName")).toString(), QStringLiteral("General"),
                                QStringLiteral("WorkingFolder"), QString());
}

QString CGlobal::ConnectionString() const
{
    return const_cast<CGlobal*>(this)->m_database.Connection().connectionString();
}
