#pragma once
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// One error of the connection's error collection.
struct ConnectionError {
    QString description;
    QString source;  // "rs" for record-set operations, the driver name otherwise
};

// Column facts the record sets need: declared text size and key membership.
struct ColumnInfo {
    QString name;
    int definedSize = 0;  // characters of a limited text column, 0 when unlimited or not text
    bool key = false;
};

// The host's connection to the analysis database. SQLite is the embedded default;
// PostgreSQL is the shared option. Statement texts are written for both; the few
// forms PostgreSQL does not accept are translated here.
class Connection {
public:
    enum Kind { SQLite, PostgreSQL };

    // Connection strings: an SQLite file path (optionally "sqlite:PATH"), or
    // "postgresql:" followed by libpq key=value pairs (host, port, dbname, user, password).
    explicit Connection(const QString& connectionString);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool isOpen() const;
    Kind kind() const { return m_kind; }
    const QString& connectionString() const { return m_connectionString; }
    QSqlDatabase& database() { return m_db; }

    // Runs a statement that returns no records (options -1 in the host's terms).
    void Execute(const QString& sql, int options = -1);

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool inTransaction() const { return m_transactionLevel > 0; }

    const QList<ConnectionError>& Errors() const { return m_errors; }
    void clearErrors() { m_errors.clear(); }
    // Records a failure in the collection (replacing what it held) and throws it.
    [[noreturn]] void fail(const QString& description, const QString& source);

    QString translate(const QString& sql) const;
    // Columns of a table as the database declares them, cached.
    const QList<ColumnInfo>& columns(const QString& table);

private:
    Kind m_kind = SQLite;
    QString m_connectionString;
    QString m_name;
    QSqlDatabase m_db;
    QList<ConnectionError> m_errors;
    int m_transactionLevel = 0;
    QHash<QString, QList<ColumnInfo>> m_columns;
};
