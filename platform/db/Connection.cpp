#include "platform/db/Connection.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Currency.h"
#include <QAtomicInt>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <cmath>
#include <libpq-fe.h>
#include <limits>
#include <sqlite3.h>

namespace {
QAtomicInt g_counter;

QString errorText(const QSqlError& e)
{
    const QString db = e.databaseText().trimmed();
    return Connection::describe(db.isEmpty() ? e.text().trimmed() : db);
}

// The driver's engine handle, when that engine is the very one linked here: the same
// build, and the same loaded copy (its default file layer is ours).
sqlite3* sameEngine(QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    sqlite3* engine = *static_cast<sqlite3* const*>(handle.constData());
    if (!engine) return nullptr;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT sqlite_source_id()")) || !q.next() ||
        q.value(0).toString() != QLatin1String(sqlite3_sourceid()))
        return nullptr;
    if (sqlite3_initialize() != SQLITE_OK) return nullptr;
    sqlite3_vfs* vfs = nullptr;
    if (sqlite3_file_control(engine, "main", SQLITE_FCNTL_VFS_POINTER, &vfs) != SQLITE_OK || !vfs ||
        sqlite3_vfs_find(vfs->zName) != vfs)
        return nullptr;
    return engine;
}

// What the Qt driver binds as NULL.
bool nullValue(const QVariant& v)
{
    if (v.isNull()) return true;
    switch (v.typeId()) {
    case QMetaType::QString: return static_cast<const QString*>(v.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray*>(v.constData())->isNull();
    case QMetaType::QDateTime: return !static_cast<const QDateTime*>(v.constData())->isValid();
    case QMetaType::QDate: return !static_cast<const QDate*>(v.constData())->isValid();
    case QMetaType::QTime: return !static_cast<const QTime*>(v.constData())->isValid();
    case QMetaType::QUuid: return static_cast<const QUuid*>(v.constData())->isNull();
    default: return false;
    }
}

int bindText(sqlite3_stmt* st, int i, const QString& s, void (*lifetime)(void*))
{
    return sqlite3_bind_text16(st, i, s.unicode(), int(s.size() * sizeof(QChar)), lifetime);
}

// Plain ASCII text goes to the engine as it stores it (UTF-8), into room the caller set
// aside for the whole statement; other text goes as UTF-16, as the driver sends it.
struct TextRoom {
    char* next;
};

// Values are stored as the Qt driver stores them: the same types for the same variants.
int bind(sqlite3_stmt* st, int i, const QVariant& v, TextRoom& room)
{
    if (nullValue(v)) return sqlite3_bind_null(st, i);
    switch (v.typeId()) {
    case QMetaType::QByteArray: {
        const auto* bytes = static_cast<const QByteArray*>(v.constData());
        return sqlite3_bind_blob(st, i, bytes->constData(), int(bytes->size()), SQLITE_STATIC);
    }
    case QMetaType::Int:
    case QMetaType::Bool: return sqlite3_bind_int(st, i, v.toInt());
    case QMetaType::Double: return sqlite3_bind_double(st, i, v.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong: return sqlite3_bind_int64(st, i, v.toLongLong());
    case QMetaType::QDateTime: return bindText(st, i, v.toDateTime().toString(Qt::ISODateWithMs), SQLITE_TRANSIENT);
    case QMetaType::QTime: return bindText(st, i, v.toTime().toString(u"hh:mm:ss.zzz"), SQLITE_TRANSIENT);
    case QMetaType::QString: {
        const QString& s = *static_cast<const QString*>(v.constData());
        if (s.isEmpty()) return sqlite3_bind_text(st, i, "", 0, SQLITE_STATIC);  // empty, not NULL
        const QChar* u = s.constData();
        char* const out = room.next;
        for (qsizetype k = 0; k < s.size(); ++k) {
            if (u[k].unicode() >= 0x80) return bindText(st, i, s, SQLITE_STATIC);
            out[k] = char(u[k].unicode());
        }
        room.next += s.size();
        return sqlite3_bind_text(st, i, out, int(s.size()), SQLITE_STATIC);
    }
    default: return bindText(st, i, v.toString(), SQLITE_TRANSIENT);
    }
}

}  // namespace

QString Connection::describe(const QString& driverText)
{
    static const std::pair<const char*, const char*> known[] = {
        {"database is locked", "Il database è occupato da un'altra operazione, per esempio un'altra importazione: riprovare più tardi."},
        {"database table is locked", "Il database è occupato da un'altra operazione: riprovare più tardi."},
        {"lock timeout", "Un'altra importazione della stessa ditta o dello stesso piano dei conti è in corso: riprovare più tardi."},
        {"duplicate key", "Il dato esiste già nel database, forse registrato nel frattempo da un'altra importazione: ripetere l'importazione."},
        {"no such table", "Il database non ha la struttura attesa (tabella mancante): non è un database di analisi o è di un'altra versione."},
        {"no such column", "Il database non ha la struttura attesa (colonna mancante): è di un'altra versione."},
        {"malformed", "Il file del database è danneggiato."},
        {"password authentication failed", "Accesso al server del database negato: utente o password errati."},
        {"does not exist", "Il database non esiste o non ha la struttura attesa."},
        {"file is not a database", "Il file indicato non è un database di analisi."},
        {"database or disk is full", "Spazio su disco esaurito: il database non può crescere."},
        {"readonly database", "Il database è in sola lettura: impossibile scrivere."},
        {"unable to open database file", "Impossibile aprire il file del database."},
        {"disk I/O error", "Errore di lettura o scrittura sul disco del database."},
        {"deadlock detected", "Conflitto con un'altra operazione sul database: riprovare."},
        {"could not connect to server", "Impossibile connettersi al server del database."},
        {"connection to server", "Impossibile connettersi al server del database."},
        {"Connection refused", "Impossibile connettersi al server del database."},
        {"could not translate host name", "Impossibile connettersi al server del database: nome del server sconosciuto."},
        {"server closed the connection", "Il server del database ha chiuso la connessione."},
        {"terminating connection", "Il server del database ha chiuso la connessione."},
        {"no connection to the server", "Connessione al database persa."},
        {"database not open", "Connessione al database persa."},
    };
    for (const auto& [english, italiano] : known)
        if (driverText.contains(QLatin1String(english), Qt::CaseInsensitive))
            return QString::fromUtf8(italiano) + QStringLiteral(" (") + driverText + QLatin1Char(')');
    return driverText;
}

QString Connection::senzaSegreti(const QString& connectionString)
{
    static const QRegularExpression password(QStringLiteral("(\\bpassword\\s*=\\s*)('(?:[^'\\\\]|\\\\.)*'|\\S*)"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString testo = connectionString;
    return testo.replace(password, QStringLiteral("\\1***"));
}

Connection::Connection(const QString& connectionString, int lockTimeoutMs) : m_connectionString(connectionString)
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
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(qMax(0, lockTimeoutMs)));
    }
    // A connection that cannot open leaves nothing registered behind it.
    const auto nonAperta = [this](const QString& testo) {
        const QString driver = m_db.driverName();
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw AppError(-2147467259L, QStringLiteral("Impossibile aprire il database: %1").arg(testo), driver);
    };
    if (!m_db.open()) nonAperta(errorText(m_db.lastError()));
    QSqlQuery q(m_db);
    if (m_kind == SQLite) {
        // Opening reads nothing: a file that is no database shows up at the first read.
        if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"))) {
            const QString testo = errorText(q.lastError());
            q = QSqlQuery();
            nonAperta(testo);
        }
        q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        // A large import and the checks that read it back stay in memory (64 MB at most,
        // taken only as pages are used) instead of spilling to the file mid-transaction.
        q.exec(QStringLiteral("PRAGMA cache_size = -65536"));
        m_sqlite = sameEngine(m_db);
    } else {
        q.exec(QStringLiteral("SET client_min_messages TO WARNING"));  // notices are not errors
        q.exec(QStringLiteral("SET lock_timeout = %1").arg(qMax(0, lockTimeoutMs)));
        const QVariant handle = m_db.driver()->handle();
        if (handle.isValid() && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0))
            m_pg = *static_cast<PGconn* const*>(handle.constData());
    }
}

Connection::~Connection()
{
    try {
        libera(true);
    } catch (...) {
    }
    for (sqlite3_stmt* st : std::as_const(m_direct)) sqlite3_finalize(st);
    m_direct.clear();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

bool Connection::isOpen() const { return m_db.isOpen(); }

void Connection::fail(const QString& description, const QString& source)
{
    // A driver that says nothing still leaves the user a reason.
    const QString testo = !description.trimmed().isEmpty() ? description
                          : connessionePersa()              ? QStringLiteral("Connessione al database persa.")
                                                            : QStringLiteral("Errore del database senza descrizione.");
    m_errors = {ConnectionError{testo, source}};
    throw AppError(-2147467259L, testo, source);
}

bool Connection::connessionePersa() const
{
    if (m_kind != PostgreSQL) return false;
    return !m_db.isOpen() || !m_pg || PQstatus(m_pg) == CONNECTION_BAD;
}

void Connection::Execute(const QString& sql, int)
{
    libera();
    m_errors.clear();
    // In a trial run a statement outside an import must not abort the one transaction
    // around everything, as a failed statement does on PostgreSQL.
    if (m_prova && m_kind == PostgreSQL && m_transactionLevel == 0) {
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("SAVEPOINT KTR_PASSO"));
        if (!q.exec(translate(sql))) {
            const QString testo = errorText(q.lastError());
            q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT KTR_PASSO"));
            fail(testo, m_db.driverName());
        }
        q.exec(QStringLiteral("RELEASE SAVEPOINT KTR_PASSO"));
        return;
    }
    diretto(translate(sql));
}

// A statement of the connection's own, straight to the driver.
void Connection::diretto(const QString& sql)
{
    libera();
    QSqlQuery q(m_db);
    if (!q.exec(sql)) fail(errorText(q.lastError()), m_db.driverName());
}

QSqlQuery Connection::legato(const QString& sql, const QVariantList& valori, bool numeri)
{
    libera();
    clearErrors();
    QSqlQuery q(m_db);
    if (numeri) {
        q.setForwardOnly(true);
        q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    }
    bool ok = q.prepare(translate(sql));
    if (ok) {
        for (const QVariant& v : valori)
            q.addBindValue(v.typeId() == QMetaType::QString && v.toString().isNull() ? QVariant(QStringLiteral("")) : v);
        ok = q.exec();
    }
    if (!ok) fail(errorText(q.lastError()), m_db.driverName());
    return q;
}

void Connection::Esegui(const QString& sql, const QVariantList& valori) { legato(sql, valori); }

QString Connection::Leggi(const QString& sql, const QVariantList& valori)
{
    QSqlQuery q = legato(sql, valori);
    return q.next() ? q.value(0).toString() : QString();
}

QList<QStringList> Connection::Righe(const QString& sql, const QVariantList& valori)
{
    QSqlQuery q = legato(sql, valori);
    QList<QStringList> out;
    while (q.next()) {
        QStringList riga;
        for (int i = 0; i < q.record().count(); ++i) riga << q.value(i).toString();
        out << riga;
    }
    return out;
}

void Connection::Scorri(const QString& sql, const QVariantList& valori, const std::function<void(std::span<const QVariant>)>& riga)
{
    libera();
    if (m_pg) {
        scorriPg(sql, valori, riga);
        return;
    }
    if (!m_sqlite) {
        QSqlQuery q = legato(sql, valori, true);
        QVariantList colonne;
        while (q.next()) {
            colonne.resize(q.record().count());
            for (qsizetype i = 0; i < colonne.size(); ++i) colonne[i] = q.value(int(i));
            riga(colonne);
        }
        return;
    }
    // SQLite: straight from the engine, a row at a time.
    clearErrors();
    QString errore;
    sqlite3_stmt* st = prepareDirect(sql, errore);
    if (!st) fail(describe(errore), m_db.driverName());
    std::vector<char> testo;
    size_t spazio = 0;
    for (const QVariant& v : valori)
        if (v.typeId() == QMetaType::QString) spazio += size_t(static_cast<const QString*>(v.constData())->size());
    testo.resize(spazio);
    TextRoom room{testo.data()};
    int rc = SQLITE_OK;
    for (qsizetype i = 0; i < valori.size() && rc == SQLITE_OK; ++i) rc = bind(st, int(i) + 1, valori[i], room);
    std::vector<QVariant> colonne(size_t(sqlite3_column_count(st)));
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < int(colonne.size()); ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER: colonne[size_t(i)] = qint64(sqlite3_column_int64(st, i)); break;
            case SQLITE_FLOAT: colonne[size_t(i)] = sqlite3_column_double(st, i); break;
            case SQLITE_NULL: colonne[size_t(i)] = QVariant(); break;
            default:  // as the engine stores it: no conversion inside the engine
                colonne[size_t(i)] = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                                       sqlite3_column_bytes(st, i));
            }
        }
        try {
            riga(colonne);
        } catch (...) {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
            throw;
        }
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_DONE && rc != SQLITE_OK) errore = QString::fromUtf8(sqlite3_errmsg(m_sqlite));
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);  // the text room goes now
    if (!errore.isEmpty()) fail(describe(errore), m_db.driverName());
}

QVariant Connection::importo(Currency valore) const
{
    if (m_kind == PostgreSQL) return valore.testo();
    return valore.toDouble();
}

// Fifteen significant digits survive the trip through a double and back.
Currency Connection::importoMassimo() const
{
    return Currency::fromScaled(m_kind == PostgreSQL ? std::numeric_limits<std::int64_t>::max() : 999999999999999LL);
}

bool Connection::importoConservabile(Currency valore) const
{
    const Currency massimo = importoMassimo();
    return valore <= massimo && -massimo <= valore;
}

// PostgreSQL: straight from libpq, a row at a time, the values as the driver gives them
// (numbers as numbers, the reading of each the same). The driver's own path costs more
// per row than the server.
void Connection::scorriPg(const QString& sql, const QVariantList& valori,
                          const std::function<void(std::span<const QVariant>)>& riga)
{
    clearErrors();
    if (PQtransactionStatus(m_pg) == PQTRANS_ACTIVE) fail(QStringLiteral("Connessione occupata"), m_db.driverName());
    // Placeholders outside text literals become $1, $2, ...
    QString testo;
    int n = 0;
    bool letterale = false;
    for (const QChar c : translate(sql)) {
        if (c == QLatin1Char('\'')) letterale = !letterale;
        if (c == QLatin1Char('?') && !letterale) testo += QLatin1Char('$') + QString::number(++n);
        else testo += c;
    }
    std::vector<QByteArray> parametri(size_t(valori.size()));
    std::vector<const char*> puntatori(size_t(valori.size()), nullptr);
    for (qsizetype i = 0; i < valori.size(); ++i) {
        const QVariant& v = valori[i];
        // As the other reads bind them: an absent text is the empty text, never NULL.
        if (v.typeId() != QMetaType::QString && nullValue(v)) continue;
        QByteArray& t = parametri[size_t(i)];
        t = v.typeId() == QMetaType::Double ? QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest)
                                            : v.toString().toUtf8();
        puntatori[size_t(i)] = t.constData();
    }
    const QByteArray comando = testo.toUtf8();
    if (!PQsendQueryParams(m_pg, comando.constData(), int(puntatori.size()), nullptr, puntatori.data(), nullptr, nullptr, 0) ||
        !PQsetSingleRowMode(m_pg))
        fail(describe(QString::fromUtf8(PQerrorMessage(m_pg)).trimmed()), m_db.driverName());
    QString errore;
    std::vector<QVariant> colonne;
    std::vector<int> tipi;
    bool fermato = false;
    std::exception_ptr eccezione;
    while (PGresult* r = PQgetResult(m_pg)) {
        const ExecStatusType stato = PQresultStatus(r);
        if (stato == PGRES_SINGLE_TUPLE && !fermato) {
            if (tipi.empty()) {
                colonne.resize(size_t(PQnfields(r)));
                for (int i = 0; i < PQnfields(r); ++i) tipi.push_back(int(PQftype(r, i)));
            }
            for (int i = 0; i < int(colonne.size()); ++i) {
                QVariant& v = colonne[size_t(i)];
                if (PQgetisnull(r, 0, i)) {
                    v = QVariant();
                    continue;
                }
                const QByteArrayView valore(PQgetvalue(r, 0, i), PQgetlength(r, 0, i));
                switch (tipi[size_t(i)]) {
                case 21:  // int2
                case 23:  // int4
                    v = valore.toInt();
                    break;
                case 20: v = valore.toLongLong(); break;  // int8
                case 700:                                 // float4
                case 701:                                 // float8
                case 1700:                                // numeric
                    v = valore.toDouble();
                    break;
                case 16: v = valore == "t"; break;  // bool
                default: v = QString::fromUtf8(valore);
                }
            }
            try {
                riga(colonne);
            } catch (...) {
                // The rest of the rows is read and dropped: the connection must be free again.
                eccezione = std::current_exception();
                fermato = true;
            }
        } else if (stato != PGRES_SINGLE_TUPLE && stato != PGRES_TUPLES_OK && stato != PGRES_COMMAND_OK) {
            errore = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        }
        PQclear(r);
    }
    if (eccezione) std::rethrow_exception(eccezione);
    if (!errore.isEmpty()) fail(describe(errore), m_db.driverName());
}

QString Connection::Taglia(const QString& tabella, const QString& colonna, const QString& testo)
{
    for (const ColumnInfo& c : columns(tabella))
        if (c.name.compare(colonna, Qt::CaseInsensitive) == 0 && c.definedSize > 0 && testo.size() > c.definedSize)
            return testo.left(c.definedSize);
    return testo;
}

void Connection::iniziaProva()
{
    if (m_prova) return;
    diretto(m_kind == SQLite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    m_prova = true;
}

void Connection::fineProva()
{
    if (!m_prova) return;
    libera(true);
    m_prova = false;
    m_transactionLevel = 0;
    QSqlQuery q(m_db);
    q.exec(QStringLiteral("ROLLBACK"));
}

void Connection::BeginTrans()
{
    libera();
    if (m_transactionLevel == 0 && m_prova) {
        diretto(QStringLiteral("SAVEPOINT KTR_IMPORTAZIONE"));
    } else if (m_transactionLevel == 0) {
        if (m_kind == SQLite) {
            diretto(QStringLiteral("BEGIN IMMEDIATE"));
        } else if (!m_db.transaction()) {
            fail(errorText(m_db.lastError()), m_db.driverName());
        }
    }
    ++m_transactionLevel;
}

bool Connection::tenta(const std::function<void()>& passo)
{
    libera();
    const bool savepoint = m_kind == PostgreSQL && (m_transactionLevel > 0 || m_prova);
    const QString nome = QStringLiteral("KTR_TENTA_%1").arg(++m_savepoints);
    // Straight to the driver: Execute's own savepoint in a trial run would take this one with it.
    try {
        if (savepoint) diretto(QStringLiteral("SAVEPOINT ") + nome);
        passo();
        if (savepoint) diretto(QStringLiteral("RELEASE SAVEPOINT ") + nome);
        --m_savepoints;
        return true;
    } catch (...) {
        --m_savepoints;
        try {
            libera(true);
        } catch (...) {
        }
        if (savepoint) {
            // The step's error stays the one the collection reports.
            const QList<ConnectionError> errori = m_errors;
            QSqlQuery q(m_db);
            q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + nome);
            m_errors = errori;
        }
        return false;
    }
}

void Connection::lockCompany(const QString& company) { lockKey(QStringLiteral("QD07_VALORIPDC"), company); }

void Connection::lockChart(const QString& chart) { lockKey(QStringLiteral("QD15_DEFPDC"), chart); }

// A transaction-scoped advisory lock on one key of one table, released at commit or rollback.
void Connection::lockKey(const QString& table, const QString& key)
{
    if (m_kind != PostgreSQL || m_transactionLevel == 0) return;
    libera();
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?), hashtext(?))"));
    q.addBindValue(table);
    q.addBindValue(key.trimmed());
    if (!q.exec()) fail(errorText(q.lastError()), m_db.driverName());
}

void Connection::CommitTrans()
{
    libera();
    if (m_transactionLevel == 0) fail(QStringLiteral("Nessuna transazione attiva"), m_db.driverName());
    if (m_transactionLevel == 1) {
        if (m_prova) {
            diretto(QStringLiteral("RELEASE SAVEPOINT KTR_IMPORTAZIONE"));
        } else if (!m_db.commit()) {
            if (connessionePersa()) {
                // Whether the server committed is not known: the transaction is over either way.
                ++m_commitIgnoti;
                m_transactionLevel = 0;
                fail(QStringLiteral("Connessione al database persa durante il salvataggio: esito non verificabile (%1)")
                         .arg(errorText(m_db.lastError())),
                     m_db.driverName());
            }
            fail(errorText(m_db.lastError()), m_db.driverName());
        }
        ++m_commits;
    }
    --m_transactionLevel;
}

void Connection::RollbackTrans()
{
    libera(true);
    if (m_transactionLevel == 0) return;
    m_transactionLevel = 0;
    if (m_prova) {
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT KTR_IMPORTAZIONE"));
        q.exec(QStringLiteral("RELEASE SAVEPOINT KTR_IMPORTAZIONE"));
        return;
    }
    m_db.rollback();
}

sqlite3_stmt* Connection::prepareDirect(const QString& sql, QString& error)
{
    if (!m_sqlite) {
        error = QStringLiteral("Connessione non SQLite");
        return nullptr;
    }
    const auto known = m_direct.constFind(sql);
    if (known != m_direct.constEnd()) return *known;
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare16_v3(m_sqlite, sql.unicode(), int(sql.size() * sizeof(QChar)), SQLITE_PREPARE_PERSISTENT,
                                        &st, nullptr);
    if (rc != SQLITE_OK || !st) {
        error = QString::fromUtf8(sqlite3_errmsg(m_sqlite));
        sqlite3_finalize(st);
        return nullptr;
    }
    m_direct.insert(sql, st);
    return st;
}

bool Connection::execDirect(sqlite3_stmt* statement, std::span<const QVariant* const> values, QString& error)
{
    // Every parameter is bound on every run, so nothing of an earlier run is ever read.
    if (qsizetype(values.size()) != sqlite3_bind_parameter_count(statement)) {
        error = QStringLiteral("Numero di parametri errato");
        return false;
    }
    size_t text = 0;
    for (const QVariant* v : values)
        if (v->typeId() == QMetaType::QString) text += size_t(static_cast<const QString*>(v->constData())->size());
    if (m_text.size() < text) m_text.resize(text);
    TextRoom room{m_text.data()};
    int rc = SQLITE_OK;
    for (size_t i = 0; i < values.size() && rc == SQLITE_OK; ++i) rc = bind(statement, int(i) + 1, *values[i], room);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE || rc == SQLITE_ROW) rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) error = QString::fromUtf8(sqlite3_errmsg(m_sqlite));
    sqlite3_reset(statement);  // at once: a statement left running holds its locks
    return rc == SQLITE_OK;
}

bool Connection::rifiutoDiRiga() const
{
    return m_sqlite && (sqlite3_errcode(m_sqlite) & 0xff) == SQLITE_CONSTRAINT && !sqlite3_get_autocommit(m_sqlite);
}

void Connection::testoCopia(const QVariant& v, QByteArray& riga)
{
    if (nullValue(v)) {
        riga += "\\N";
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool: riga += v.toBool() ? '1' : '0'; return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: riga += v.toByteArray(); return;
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (std::isnan(d)) riga += "NaN";
        else if (std::isinf(d)) riga += d < 0 ? "-Infinity" : "Infinity";
        else riga += QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
        return;
    }
    default: break;
    }
    const QByteArray testo = v.toString().toUtf8();
    for (const char c : testo) {
        switch (c) {
        case '\\': riga += "\\\\"; break;
        case '\n': riga += "\\n"; break;
        case '\r': riga += "\\r"; break;
        case '\t': riga += "\\t"; break;
        default: riga += c;
        }
    }
}

bool Connection::pg(const char* sql, QString& errore)
{
    PGresult* r = PQexec(m_pg, sql);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    if (!ok) errore = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
    PQclear(r);
    return ok;
}

bool Connection::apriCopia(QString& errore, QByteArray& stato)
{
    // Outside a transaction a failed COPY is undone by itself.
    m_savepointCopia = PQtransactionStatus(m_pg) == PQTRANS_INTRANS;
    if (m_savepointCopia && !pg("SAVEPOINT KTR_COPIA", errore)) return false;
    PGresult* r = PQexec(m_pg, m_sqlCopia.constData());
    if (PQresultStatus(r) == PGRES_COPY_IN) {
        PQclear(r);
        return true;
    }
    stato = QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE));
    errore = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
    PQclear(r);
    while ((r = PQgetResult(m_pg))) PQclear(r);
    QString nessuno;
    if (m_savepointCopia) pg("ROLLBACK TO SAVEPOINT KTR_COPIA; RELEASE SAVEPOINT KTR_COPIA", nessuno);
    return false;
}

void Connection::aggiungiCopia(QByteArrayView righe)
{
    // A failure of the connection shows at the end of the COPY.
    if (!righe.isEmpty()) PQputCopyData(m_pg, righe.data(), int(righe.size()));
}

bool Connection::chiudiCopia(bool abbandona, QString& errore, QByteArray& stato)
{
    PQputCopyEnd(m_pg, abbandona ? "abbandonata" : nullptr);
    PGresult* r = PQgetResult(m_pg);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    if (!ok) {
        // The server's own words, as the driver reports a statement's failure.
        const char* primo = PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY);
        const char* dettaglio = PQresultErrorField(r, PG_DIAG_MESSAGE_DETAIL);
        stato = QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE));
        errore = primo ? QString::fromUtf8(primo) : QString::fromUtf8(PQerrorMessage(m_pg)).trimmed();
        if (dettaglio) errore += QLatin1Char(' ') + QString::fromUtf8(dettaglio);
        if (!stato.isEmpty()) errore += QStringLiteral(" (%1)").arg(QString::fromLatin1(stato));
    }
    PQclear(r);
    while ((r = PQgetResult(m_pg))) PQclear(r);
    QString nessuno;
    if (m_savepointCopia)
        pg(ok ? "RELEASE SAVEPOINT KTR_COPIA" : "ROLLBACK TO SAVEPOINT KTR_COPIA; RELEASE SAVEPOINT KTR_COPIA", nessuno);
    return ok;
}

bool Connection::iniziaCopia(const QString& tabella, const QStringList& colonne, std::function<void(bool)> fine, QString& errore)
{
    libera();
    clearErrors();
    if (!m_pg || PQtransactionStatus(m_pg) == PQTRANS_ACTIVE) {
        errore = m_pg ? QStringLiteral("Connessione occupata") : QStringLiteral("Connessione non PostgreSQL");
        return false;
    }
    m_sqlCopia = QStringLiteral("COPY %1 (%2) FROM STDIN").arg(tabella, colonne.join(QLatin1Char(','))).toUtf8();
    QByteArray stato;
    if (!apriCopia(errore, stato)) return false;
    m_fineCopia = std::move(fine);
    return true;
}

void Connection::libera(bool abbandona)
{
    if (!m_fineCopia) return;
    const std::function<void(bool)> fine = std::move(m_fineCopia);
    m_fineCopia = nullptr;
    fine(abbandona);
}

qsizetype Connection::fineCopia(const QByteArray& righe, std::span<const qsizetype> inizi, bool abbandona, QString& errore)
{
    QByteArray stato;
    if (chiudiCopia(abbandona, errore, stato) || abbandona || inizi.empty()) return -1;
    // Only a refused row is looked for: data that does not fit, a constraint, a trigger.
    const auto diRiga = [](const QByteArray& s) { return s.startsWith("22") || s.startsWith("23") || s.startsWith("P0"); };
    if (!diRiga(stato)) return 0;
    const size_t n = inizi.size();
    const auto parte = [&](size_t da, size_t a) {
        const qsizetype inizio = inizi[da], fine = a < n ? inizi[a] : righe.size();
        return QByteArrayView(righe).sliced(inizio, fine - inizio);
    };
    // The first refused row lies in [da, a); the rows before da are written.
    size_t da = 0, a = n;
    while (a - da > 1) {
        const size_t mezzo = da + (a - da) / 2;
        QString altro;
        QByteArray statoAltro;
        bool scritta = apriCopia(altro, statoAltro);
        if (scritta) {
            aggiungiCopia(parte(da, mezzo));
            scritta = chiudiCopia(false, altro, statoAltro);
        }
        if (scritta) {
            da = mezzo;
        } else if (diRiga(statoAltro)) {
            a = mezzo;
        } else {
            errore = altro;
            return qsizetype(da);
        }
    }
    return qsizetype(da);
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

    libera();
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
