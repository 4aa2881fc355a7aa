#pragma once
#include "platform/db/Connection.h"
#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <span>
#include <vector>

// A record set on the host connection: opened on SQL text or on a table name,
// read row by row, and (when not read-only) extended with AddNew/Update or edited
// in place. Rows are fetched once, on first use; Filter on one column is served by
// a hash index built on first use, so repeated look-ups do not scan.
class Recordset {
public:
    enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
    enum LockType { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };

    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void Open(const QString& source, Connection& connection, CursorType cursor = adOpenForwardOnly,
              LockType lock = adLockReadOnly);
    bool isOpen() const { return m_open; }
    void Close();

    bool Eof();
    void MoveFirst();
    void MoveNext();
    long RecordCount();

    // Field access by name, case-insensitive. Reading at end of data is an error.
    QVariant value(const QString& field);
    bool IsNull(const QString& field) { return value(field).isNull(); }
    // Field access by position (fieldIndex of the name), for loops over many rows.
    int fieldIndex(const QString& field) const { return column(field); }
    QVariant value(int index);
    // Declared size of a limited text column, 0 when the column has none.
    int DefinedSize(const QString& field);
    QStringList fieldNames() const { return m_names; }

    void AddNew();
    void setValue(const QString& field, const QVariant& value);  // starts an edit of the current row
    void setValue(int index, const QVariant& value);
    void Update();
    void CancelUpdate();

    // Rows added to a table opened by name are written in groups: on SQLite up to `righe`
    // at a time, with one statement (a statement per row costs the engine twice as much);
    // on PostgreSQL with one COPY for about a megabyte of rows, each row sent as it is
    // added (a statement per row costs a round trip to the server). A group ends when it
    // is full, before any read, before any other statement on the connection and at Close.
    // When a row is refused, the group is written again in parts (on SQLite row by row),
    // so that the row at fault is the one reported.
    void ScriviAGruppi(int righe) { m_gruppo = righe; }
    // Who a row comes from, given before its Update; the failing row's, after a failure.
    struct Origine {
        qint64 numero = 0;
        QString testo;
    };
    void setOrigine(Origine origine) { m_origine = std::move(origine); }
    const Origine& origineFallita() const { return m_fallita; }
    // Drops the rows not yet written: what follows a failure undoes them anyway.
    void ScartaInAttesa();
    bool editing() const { return m_mode != Mode::None; }

    // New values of one column for rows given by their position in the current view, written
    // a few hundred rows a statement, each row found by the table's key (row by row when the
    // table has none). The record set holds them as written.
    void AggiornaInBlocco(int colonna, std::span<const std::pair<qsizetype, QVariant>> valori);

    // "COLUMN=value" (a quoted text or a number); an empty criterion removes the filter.
    void Filter(const QString& criterion);
    // The same rows as Filter("COLUMN='text'") for the field at index, without the text.
    void Filter(int index, const QString& text);
    void Requery();

private:
    enum class Mode { None, Adding, Editing };
    using Row = QVector<QVariant>;

    Connection& conn() const;
    void requireOpen() const;
    void ensureLoaded();
    int column(const QString& field) const;
    int currentRow();
    const QHash<QString, std::vector<int>>& indexFor(int col);
    void indexRow(int row);
    // Row `row`'s value in column `col` changed: its entry in that column's index moves.
    void reindicizza(int row, int col, const QVariant& prima, const QVariant& dopo);
    void insertRow(const Row& row);
    void updateRow(const Row& original, const Row& edited);
    void checkIndex(int index) const;
    struct Prepared;
    void prepare(Prepared& p, const QString& sql);
    void exec(Prepared& p);
    [[noreturn]] void fail(const QString& description);
    void accoda();
    void scriviAttesa();
    Prepared& inserimento(qsizetype righe);
    void chiudiCopia(bool abbandona);

    Connection* m_conn = nullptr;
    bool m_open = false;
    bool m_loaded = false;
    QString m_sql;
    QString m_table;  // the table rows are written to; empty when not updatable
    CursorType m_cursor = adOpenForwardOnly;
    LockType m_lock = adLockReadOnly;

    QStringList m_names;
    QHash<QString, int> m_byName;  // upper-case name -> column
    std::vector<Row> m_rows;
    bool m_filtered = false;
    std::vector<int> m_view;  // rows passing the filter
    size_t m_pos = 0;         // position in the view (or in m_rows when not filtered)

    QHash<int, QHash<QString, std::vector<int>>> m_indexes;
    mutable QHash<QString, int> m_asked;  // names as callers spell them -> column

    Mode m_mode = Mode::None;
    Row m_edit;
    std::vector<quint8> m_changed;  // 1 for the columns given a value
    // Inserts and updates are prepared once and reused: inserts by the set of columns
    // given, updates by their text.
    struct Prepared {
        sqlite3_stmt* direct = nullptr;  // owned by the connection
        std::shared_ptr<QSqlQuery> query;
    };
    std::vector<std::pair<std::vector<quint8>, Prepared>> m_inserts;
    QHash<QString, Prepared> m_updates;
    int m_gruppo = 0;
    std::vector<QVariant> m_attesa;          // values of the rows not yet written, row after row
    std::vector<Origine> m_origini;          // and where each comes from
    std::vector<quint8> m_colonneAttesa;     // the columns they give
    Prepared m_gruppo1;                      // the insert of the waiting rows
    QByteArray m_copia;                      // PostgreSQL: the waiting rows as COPY reads them
    std::vector<qsizetype> m_inizi;          // where each starts there
    Origine m_origine, m_fallita;
    std::vector<const QVariant*> m_bound;  // the values of the statement being run
    std::vector<QVariant> m_converted;     // values bound in another form (flags as numbers)
};
