#include "platform/Connection.h"
#include "platform/AppError.h"
#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QAtomicInt g_counter;

QString errorText(const QSqlError& e)
{
    const QString db = e.databaseText().trimmed();
    return db.isEmpty() ? e.text().trimmed() : db;
}
}  // namespace

Connection::Connection(const QString& connectionString) : m_connectionString(connectionString)
{
    m_name = QStringLiteral("ktr-%1").arg(g_counter.fetchAndAddRelaxed(1));
    QString target = connectionString;
    if (target.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive)) {
        m_kind = PostgreSQL;
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        QStringList options;
        const auto pairs = target.mid(11).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& pair : pairs) {
            const qsizetype eq = pair.indexOf(QLatin1Char('='));
            const QString key = pair.left(eq).trimmed().toLower(), value = pair.mid(eq + 1);
            if (key == QLatin1String("host")) m_db.setHostName(value);
            else if (key == QLatin1String("port")) m_db.setPort(value.toInt());
            else if (key == QLatin1String("dbname")) m_db.setDatabaseName(value);
            else if (key == QLatin1String("user")) m_db.setUserName(value);
            else if (key == QLatin1String("password")) m_db.setPassword(value);
            else options << pair;
        }
        m_db.setConnectOptions(options.join(QLatin1Char(';')));
    } else {
        if (target.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) target = target.mid(7);
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(target);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!m_db.open())
        fail(QStringLiteral("Impossibile aprire il database: %1").arg(errorText(m_db.lastError())),
             m_db.driverName());
    QSqlQuery q(m_db);
    if (m_kind == SQLite) q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    else q.exec(QStringLiteral("SET client_min_messages TO WARNING"));  // notices are not errors
}

Connection::~Connection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

bool Connection::isOpen() const { return m_db.isOpen(); }

void Connection::fail(const QString& description, const QString& source)
{
    m_errors = {ConnectionError{description, source}};
    throw AppError(-2147467259L, description, source);
}

void Connection::Execute(const QString& sql, int)
{
    m_errors.clear();
    QSqlQuery q(m_db);
    if (!q.exec(translate(sql))) fail(errorText(q.lastError()), m_db.driverName());
}

void Connection::BeginTrans()
{
    if (m_transactionLevel == 0 && !m_db.transaction())
        fail(errorText(m_db.lastError()), m_db.driverName());
    ++m_transactionLevel;
}

void Connection::CommitTrans()
{
    if (m_transactionLevel == 0) fail(QStringLiteral("Nessuna transazione attiva"), m_db.driverName());
    if (m_transactionLevel == 1 && !m_db.commit()) fail(errorText(m_db.lastError()), m_db.driverName());
    --m_transactionLevel;
}

void Connection::RollbackTrans()
{
    if (m_transactionLevel == 0) return;
    m_transactionLevel = 0;
    m_db.rollback();
}

QString Connection::translate(const QString& sql) const
{
    if (m_kind != PostgreSQL || !sql.contains(QLatin1Char('['))) return sql;
    // Bracketed names become plain names, outside text literals only.
    QString out;
    out.reserve(sql.size());
    bool literal = false;
    for (QChar c : sql) {
        if (c == QLatin1Char('\'')) literal = !literal;
        if (!literal && (c == QLatin1Char('[') || c == QLatin1Char(']'))) continue;
        out.append(c);
    }
    return out;
}

const QList<ColumnInfo>& Connection::columns(const QString& table)
{
    const QString key = table.toUpper();
    auto it = m_columns.constFind(key);
    if (it != m_columns.constEnd()) return *it;

    QList<ColumnInfo> cols;
    QSqlQuery q(m_db);
    static const QRegularExpression size(QStringLiteral("\\((\\d+)"));
    if (m_kind == SQLite) {
        q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table));
        while (q.next()) {
            ColumnInfo c;
            c.name = q.value(1).toString();
            const QString type = q.value(2).toString().toUpper();
            if (type.contains(QLatin1String("CHAR"))) {
                const auto m = size.match(type);
                if (m.hasMatch()) c.definedSize = m.captured(1).toInt();
            }
            c.key = q.value(5).toInt() > 0;
            cols << c;
        }
    } else {
        q.prepare(QStringLiteral(
            "SELECT c.column_name, c.character_maximum_length, "
            "EXISTS (SELECT 1 FROM information_schema.table_constraints t "
            "JOIN information_schema.key_column_usage k ON k.constraint_name = t.constraint_name "
            "AND k.table_schema = t.table_schema "
            "WHERE t.constraint_type = 'PRIMARY KEY' AND t.table_name = c.table_name "
            "AND t.table_schema = c.table_schema AND k.column_name = c.column_name) "
            "FROM information_schema.columns c WHERE c.table_name = ? "
            "AND c.table_schema = current_schema() ORDER BY c.ordinal_position"));
        q.addBindValue(table.toLower());
        q.exec();
        while (q.next()) {
            ColumnInfo c;
            c.name = q.value(0).toString().toUpper();
            c.definedSize = q.value(1).isNull() ? 0 : q.value(1).toInt();
            c.key = q.value(2).toBool();
            cols << c;
        }
    }
    return *m_columns.insert(key, cols);
}
