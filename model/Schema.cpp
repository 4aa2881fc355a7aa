#include "model/Schema.h"
#include "platform/runtime/AppError.h"
#include "platform/db/Connection.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

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
void esegui(Connection& c, const QStringList& istruzioni)
{
    c.BeginTrans();
    try {
        for (const QString& s : istruzioni) c.Execute(s);
        c.CommitTrans();
    } catch (...) {
        c.RollbackTrans();
        throw;
    }
}

void run(Connection& c, const QString& resource) { esegui(c, Schema::statements(resource)); }
}  // namespace

void Schema::create(Connection& connection) { run(connection, QStringLiteral(":/data/schema.sql")); }
void Schema::loadDemo(Connection& connection) { run(connection, QStringLiteral(":/data/demo.sql")); }

namespace {
bool esiste(Connection& c, const QString& tabella)
{
    try {
        c.Leggi(QStringLiteral("SELECT COUNT(*) FROM ") + tabella + QStringLiteral(" WHERE 1 = 0"), {});
        return true;
    } catch (const AppError&) {
        c.clearErrors();
        return false;
    }
}
}  // namespace

void Schema::completa(Connection& connection)
{
    if (!esiste(connection, QStringLiteral("QD05_DITTA"))) return;
    static const QRegularExpression tabella(QStringLiteral("^CREATE TABLE (\\w+)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression indice(QStringLiteral("^CREATE INDEX \\w+ ON (\\w+)"), QRegularExpression::CaseInsensitiveOption);
    QSet<QString> nuove;
    QStringList daEseguire;
    for (const QString& s : statements(QStringLiteral(":/data/schema.sql"))) {
        if (const auto t = tabella.match(s); t.hasMatch() && !esiste(connection, t.captured(1))) {
            nuove.insert(t.captured(1).toUpper());
            daEseguire << s;
        } else if (const auto i = indice.match(s); i.hasMatch() && nuove.contains(i.captured(1).toUpper())) {
            daEseguire << s;
        }
    }
    if (!daEseguire.isEmpty()) esegui(connection, daEseguire);
}

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
