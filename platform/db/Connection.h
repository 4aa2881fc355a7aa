#pragma once
#include "platform/runtime/Currency.h"
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <span>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct pg_conn;

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

class QSqlQuery;

// The host's connection to the analysis database. SQLite is the embedded default;
// PostgreSQL is the shared option. Statement texts are written for both; the few
// forms PostgreSQL does not accept are translated here.
class Connection {
public:
    enum Kind { SQLite, PostgreSQL };

    // Connection strings: an SQLite file path (optionally "sqlite:PATH"), or
    // "postgresql:" followed by libpq key=value pairs (host, port, dbname, user, password).
    // A transaction waits up to lockTimeoutMs for another writer (or, on PostgreSQL, for
    // another import of the same company) before it fails.
    explicit Connection(const QString& connectionString, int lockTimeoutMs = DefaultLockTimeoutMs);
    static constexpr int DefaultLockTimeoutMs = 30000;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool isOpen() const;
    Kind kind() const { return m_kind; }
    const QString& connectionString() const { return m_connectionString; }
    // The connection string as it may be shown: a password is never printed.
    static QString senzaSegreti(const QString& connectionString);
    QSqlDatabase& database() { return m_db; }

    // Runs a statement that returns no records (options -1 in the host's terms).
    void Execute(const QString& sql, int options = -1);
    // Statements whose values come from outside: bound, never written into the text. An
    // absent text is bound as the empty text, never as NULL.
    void Esegui(const QString& sql, const QVariantList& valori);
    // The first column of the first row, empty when there is none.
    QString Leggi(const QString& sql, const QVariantList& valori);
    // Every row, each as the texts of its columns.
    QList<QStringList> Righe(const QString& sql, const QVariantList& valori);
    // Every row in turn, as the values of its columns, none of them kept: for reads too
    // long to hold whole. Numbers come as numbers on both databases.
    void Scorri(const QString& sql, const QVariantList& valori, const std::function<void(std::span<const QVariant>)>& riga);
    // Amounts of the value columns as they are bound: a number on SQLite, which keeps them
    // as doubles, exact to the fourth decimal up to the largest amount below; the decimal
    // text on PostgreSQL, whose NUMERIC keeps every amount of the fixed-point range.
    QVariant importo(Currency valore) const;
    Currency importoMassimo() const;
    bool importoConservabile(Currency valore) const;
    // A text cut to the declared size of its column (unlimited columns keep it whole).
    QString Taglia(const QString& tabella, const QString& colonna, const QString& testo);

    // On SQLite the write lock is taken at once, so that a second import waits here
    // for the first one instead of failing at its first write.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool inTransaction() const { return m_transactionLevel > 0; }
    // Outermost transactions committed since the connection opened.
    int commits() const { return m_commits; }
    // Commits whose outcome nobody knows: the connection was lost while COMMIT ran, and the
    // server may have made the transaction durable or not.
    int commitIgnoti() const { return m_commitIgnoti; }
    // The server is no longer reachable on this connection (PostgreSQL; SQLite's file is
    // never lost so).
    bool connessionePersa() const;

    // A trial run: from iniziaProva on everything runs inside one transaction that
    // fineProva undoes. Each import's own transaction becomes a savepoint in it, so a
    // later step still reads what an earlier one wrote, and its commit is still counted.
    void iniziaProva();
    void fineProva();
    bool inProva() const { return m_prova; }

    // Runs a step whose failure the caller skips, without spoiling the transaction around
    // it: on PostgreSQL, where a failed statement aborts the whole transaction, the step
    // runs under a savepoint that is rolled back when it fails. False when it failed.
    bool tenta(const std::function<void()>& passo);

    // Inside a transaction: serializes the period assignment of one company among
    // connections, until the transaction ends (SQLite's write lock already does).
    void lockCompany(const QString& company);
    // The same for the imports that add accounts to one chart: the second one waits and
    // then finds the accounts the first one created. Taken after the company's lock.
    void lockChart(const QString& chart);

    const QList<ConnectionError>& Errors() const { return m_errors; }
    // The driver's text with an Italian explanation in front when it is a known one.
    static QString describe(const QString& driverText);
    void clearErrors() { m_errors.clear(); }
    // Records a failure in the collection (replacing what it held) and throws it.
    [[noreturn]] void fail(const QString& description, const QString& source);

    // Statements run once per row (record-set inserts and updates) go straight to the
    // SQLite engine when the driver's engine is the one linked here: the generic layer
    // costs as much per row as the engine. Null otherwise, and those use QSqlQuery.
    sqlite3* sqliteHandle() const { return m_sqlite; }
    // Prepares once and keeps the statement until the connection closes; null with the
    // engine's message when it cannot be prepared.
    sqlite3_stmt* prepareDirect(const QString& sql, QString& error);
    // Binds the values as the Qt driver would bind them and runs the statement once;
    // false with the engine's message.
    bool execDirect(sqlite3_stmt* statement, std::span<const QVariant* const> values, QString& error);
    // After a failed direct statement: the engine refused a row (a constraint or a
    // trigger) and only that statement was undone, the transaction goes on.
    bool rifiutoDiRiga() const;

    // PostgreSQL: the driver's own libpq connection, null on SQLite.
    pg_conn* pgHandle() const { return m_pg; }
    // A value in the text form COPY reads, appended to `riga`: \N for what the driver binds
    // as NULL, a double as the driver writes it (the shortest text that reads back the same),
    // text with COPY's escapes (amounts come as text already, see importo). Every value
    // written in bulk becomes text here.
    static void testoCopia(const QVariant& valore, QByteArray& riga);
    // Rows written with COPY on the driver's connection, inside the transaction, as they
    // come, so that the server stores them while the program reads the next: iniziaCopia
    // opens the COPY under a savepoint, aggiungiCopia sends rows in COPY's text form,
    // fineCopia ends it. Until then the connection is the COPY's: the next statement of any
    // kind first ends it through the function given to iniziaCopia (abandoned, its rows
    // undone, before a rollback). fineCopia is given the rows again, a line each, the i-th
    // starting at inizi[i]: when the server refused a row (a constraint, a trigger, a value
    // that does not fit), parts of them are written again until the row at fault is found,
    // the rows before it written. -1 when every row was written; otherwise the index of the
    // row at fault (0 for a failure of no row), with the server's message.
    bool iniziaCopia(const QString& tabella, const QStringList& colonne, std::function<void(bool abbandona)> fine,
                     QString& errore);
    void aggiungiCopia(QByteArrayView righe);
    qsizetype fineCopia(const QByteArray& righe, std::span<const qsizetype> inizi, bool abbandona, QString& errore);
    // Ends a COPY under way before anything else runs on the connection.
    void libera(bool abbandona = false);

    QString translate(const QString& sql) const;
    // Columns of a table as the database declares them, cached.
    const QList<ColumnInfo>& columns(const QString& table);

private:
    void lockKey(const QString& table, const QString& key);
    void diretto(const QString& sql);
    // A bound statement run; `numeri` reads its rows forward, numbers as numbers.
    QSqlQuery legato(const QString& sql, const QVariantList& valori, bool numeri = false);
    Kind m_kind = SQLite;
    QString m_connectionString;
    QString m_name;
    QSqlDatabase m_db;
    QList<ConnectionError> m_errors;
    int m_transactionLevel = 0;
    int m_commits = 0;
    int m_commitIgnoti = 0;
    int m_savepoints = 0;
    bool m_prova = false;
    QHash<QString, QList<ColumnInfo>> m_columns;
    sqlite3* m_sqlite = nullptr;
    pg_conn* m_pg = nullptr;
    // A COPY under a savepoint of its own, undone when it fails; the error's SQLSTATE.
    bool apriCopia(QString& errore, QByteArray& stato);
    bool chiudiCopia(bool abbandona, QString& errore, QByteArray& stato);
    std::function<void(bool)> m_fineCopia;
    QByteArray m_sqlCopia;
    bool m_savepointCopia = false;
    bool pg(const char* sql, QString& errore);
    void scorriPg(const QString& sql, const QVariantList& valori, const std::function<void(std::span<const QVariant>)>& riga);
    QHash<QString, sqlite3_stmt*> m_direct;
    std::vector<char> m_text;  // text of the values being bound
};
