#include "model/Schema.h"
#include "platform/runtime/AppError.h"
#include "platform/db/Connection.h"
#include <QDir>
#include <QFile>

static void initResources() { Q_INIT_RESOURCE(data); }

QStringList Schema::statements(const QString& resource)
{
    initResources();
    QFile f(resource);
    if (!f.open(QIODevice::ReadOnly)) throw AppError::fileNotFound(resource);
    QStringList result;
    QString current;
    const auto lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1String("--"))) continue;
        current += line + QLatin1Char('\n');
        if (t.endsWith(QLatin1Char(';'))) {
            current = current.trimmed();
            current.chop(1);
            result << current;
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty()) result << current.trimmed();
    return result;
}

namespace {
void run(Connection& c, const QString& resource)
{
    c.BeginTrans();
    try {
        for (const QString& s : Schema::statements(resource)) c.Execute(s);
        c.CommitTrans();
    } catch (...) {
        c.RollbackTrans();
        throw;
    }
}
}  // namespace

void Schema::create(Connection& connection) { run(connection, QStringLiteral(":/data/schema.sql")); }
void Schema::loadDemo(Connection& connection) { run(connection, QStringLiteral(":/data/demo.sql")); }

void Schema::loadTaxonomy(Connection& connection)
{
    const QDir versions(QStringLiteral(":/taxonomy"));
    connection.BeginTrans();
    try {
        for (const QString& file : versions.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name))
            for (const QString& s : Schema::statements(versions.filePath(file))) connection.Execute(s);
        connection.CommitTrans();
    } catch (...) {
        connection.RollbackTrans();
        throw;
    }
}
