#pragma once
#include "platform/db/Connection.h"
#include "platform/host/Hotkey.h"
#include "platform/host/Utility.h"
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>

// The host application object: late-bound text properties ("ProductName", "Path").
class AppObject {
public:
    QVariant property(const QString& name) const { return m_properties.value(name.toUpper()); }
    void setProperty(const QString& name, const QVariant& value) { m_properties.insert(name.toUpper(), value); }

private:
    QHash<QString, QVariant> m_properties;
};

// The database object of the host, which hands out its open connection.
class Database {
public:
    explicit Database(std::unique_ptr<::Connection> connection) : m_connection(std::move(connection)) {}
    ::Connection& Connection() { return *m_connection; }

private:
    std::unique_ptr<::Connection> m_connection;
};

// The services object the host hands to the screen.
class CGlobal {
public:
    CGlobal(std::unique_ptr<::Connection> connection, QString baseCurrency, QString productName, QString appPath);

    ::Database& Database() { return m_database; }
    QString ConnectionString() const;
    const QString& ValutaBase() const { return m_valutaBase; }
    AppObject& App() { return m_app; }
    ::Utility& Utility() { return m_utility; }
    ::Hotkey& Hotkey() { return m_hotkey; }
    // The working folder: the one the host was started with ("WorkingFolder") wins over the
    // stored setting; empty when there is neither.
    QString CartellaLavoro() const;

    void setValutaBase(const QString& code) { m_valutaBase = code; }

private:
    ::Database m_database;
    QString m_valutaBase;
    AppObject m_app;
    ::Utility m_utility;
    ::Hotkey m_hotkey;
};
