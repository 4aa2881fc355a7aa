#include "platform/db/Recordset.h"
#include "platform/runtime/AppError.h"
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>
#include <utility>

namespace {

const QString RsSource = QStringLiteral("rs");

// The key under which a value is indexed: numbers by value, everything else by text.
QString keyOf(const QVariant& v)
{
    if (v.isNull()) return QStringLiteral("\x01null");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return QString::number(v.toDouble(), 'g', 17);
    default:
        return v.toString();
    }
}

QVariant bindable(const QVariant& v)
{
    if (v.typeId() == QMetaType::Bool) return QVariant(v.toBool() ? 1 : 0);
    return v;
}

bool isSingleName(const QString& s)
{
    static const QRegularExpression name(QStringLiteral("^\\[?[A-Za-z_][A-Za-z0-9_]*\\]?$"));
    return name.match(s.trimmed()).hasMatch();
}

// The one table a simple "SELECT ... FROM table [WHERE ...]" reads, else empty.
QString tableOf(const QString& sql)
{
    static const QRegularExpression from(
        QStringLiteral("^\\s*select\\s.+?\\sfrom\\s+\\[?([A-Za-z_][A-Za-z0-9_]*)\\]?\\s*(where\\s|order\\s|$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = from.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace

Recordset::Recordset() = default;
Recordset::~Recordset()
{
    // A COPY of this record set's rows still under way is abandoned: they were never written.
    if (!m_inizi.empty()) {
        try {
            m_conn->libera(true);
        } catch (...) {
        }
    }
}

Connection& Recordset::conn() const { return *m_conn; }

void Recordset::requireOpen() const
{
    if (!m_open) throw AppError(3704, QStringLiteral("Operazione non consentita se l'oggetto è chiuso."), RsSource);
}

void Recordset::fail(const QString& description) { conn().fail(Connection::describe(description), RsSource); }

void Recordset::Open(const QString& source, Connection& connection, CursorType cursor, LockType lock)
{
    if (m_open) throw AppError(3705, QStringLiteral("Operazione non consentita se l'oggetto è aperto."), RsSource);
    m_conn = &connection;
    m_fallita = {};
    m_cursor = cursor;
    m_lock = lock;
    connection.clearErrors();
    const QString trimmed = source.trimmed();
    if (isSingleName(trimmed)) {
        m_table = trimmed;
        m_table.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        m_sql = QStringLiteral("SELECT * FROM %1").arg(m_table);
        const auto& cols = connection.columns(m_table);
        if (cols.isEmpty()) fail(QStringLiteral("Tabella %1 inesistente").arg(m_table));
        m_names.clear();
        for (const auto& c : cols) m_names << c.name;
        m_loaded = false;  // a table is read only when a row is asked for
    } else {
        m_sql = source;
        m_table = lock == adLockReadOnly ? QString() : tableOf(source);
        m_loaded = false;
        m_open = true;
        ensureLoaded();
    }
    m_byName.clear();
    m_asked.clear();
    for (int i = 0; i < m_names.size(); ++i) m_byName.insert(m_names[i].toUpper(), i);
    m_open = true;
}

void Recordset::ensureLoaded()
{
    if (m_loaded) return;
    scriviAttesa();
    conn().libera();
    QSqlQuery q(conn().database());
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!q.exec(conn().translate(m_sql))) {
        m_open = false;
        fail(q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText());
    }
    const QSqlRecord rec = q.record();
    if (m_names.isEmpty() || m_table.isEmpty()) {
        m_names.clear();
        for (int i = 0; i < rec.count(); ++i) m_names << rec.fieldName(i);
        m_byName.clear();
        m_asked.clear();
        for (int i = 0; i < m_names.size(); ++i) m_byName.insert(m_names[i].toUpper(), i);
    }
    m_rows.clear();
    const int n = rec.count();
    while (q.next()) {
        Row r(n);
        for (int i = 0; i < n; ++i) r[i] = q.value(i);
        m_rows.push_back(std::move(r));
    }
    m_loaded = true;
    m_indexes.clear();
    m_filtered = false;
    m_view.clear();
    m_pos = 0;
}

void Recordset::Close()
{
    if (m_open) scriviAttesa();
    m_open = false;
    m_loaded = false;
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_view.clear();
    m_indexes.clear();
    m_inserts.clear();
    m_updates.clear();
    m_names.clear();
    m_byName.clear();
    m_asked.clear();
    m_mode = Mode::None;
    m_filtered = false;
    m_pos = 0;
}

bool Recordset::Eof()
{
    requireOpen();
    ensureLoaded();
    return m_pos >= (m_filtered ? m_view.size() : m_rows.size());
}

void Recordset::MoveFirst()
{
    requireOpen();
    ensureLoaded();
    m_pos = 0;
}

void Recordset::MoveNext()
{
    if (Eof()) throw AppError(3021, QStringLiteral("BOF o EOF è True oppure il record corrente è stato eliminato."), RsSource);
    ++m_pos;
}

long Recordset::RecordCount()
{
    requireOpen();
    ensureLoaded();
    return long(m_filtered ? m_view.size() : m_rows.size());
}

int Recordset::column(const QString& field) const
{
    const auto asked = m_asked.constFind(field);
    if (asked != m_asked.constEnd()) return *asked;
    const auto it = m_byName.constFind(field.toUpper());
    if (it == m_byName.constEnd())
        throw AppError(3265, QStringLiteral("Impossibile trovare l'elemento nell'insieme corrispondente al nome richiesto: %1").arg(field), RsSource);
    m_asked.insert(field, *it);
    return *it;
}

void Recordset::checkIndex(int index) const
{
    if (index < 0 || index >= m_names.size())
        throw AppError(3265, QStringLiteral("Impossibile trovare l'elemento nell'insieme corrispondente al nome richiesto: %1").arg(index), RsSource);
}

int Recordset::currentRow()
{
    if (Eof()) throw AppError(3021, QStringLiteral("BOF o EOF è True oppure il record corrente è stato eliminato."), RsSource);
    return m_filtered ? m_view[m_pos] : int(m_pos);
}

QVariant Recordset::value(const QString& field)
{
    requireOpen();
    return value(column(field));
}

QVariant Recordset::value(int index)
{
    requireOpen();
    checkIndex(index);
    if (m_mode != Mode::None) return m_edit[index];
    return m_rows[currentRow()][index];
}

int Recordset::DefinedSize(const QString& field)
{
    requireOpen();
    column(field);
    const QString table = m_table.isEmpty() ? tableOf(m_sql) : m_table;
    if (table.isEmpty()) return 0;
    for (const auto& c : conn().columns(table))
        if (c.name.compare(field, Qt::CaseInsensitive) == 0) return c.definedSize;
    return 0;
}

void Recordset::AddNew()
{
    requireOpen();
    if (m_lock == adLockReadOnly) throw AppError(3251, QStringLiteral("Il recordset non supporta l'aggiornamento."), RsSource);
    m_mode = Mode::Adding;
    m_edit.resize(0);  // keeps its storage for the next row
    m_edit.resize(m_names.size());
    m_changed.assign(size_t(m_names.size()), 0);
}

void Recordset::setValue(const QString& field, const QVariant& value)
{
    requireOpen();
    setValue(column(field), value);
}

void Recordset::setValue(int c, const QVariant& value)
{
    requireOpen();
    checkIndex(c);
    if (m_mode == Mode::None) {
        if (m_lock == adLockReadOnly) throw AppError(3251, QStringLiteral("Il recordset non supporta l'aggiornamento."), RsSource);
        m_edit = m_rows[currentRow()];
        m_changed.assign(size_t(m_names.size()), 0);
        m_mode = Mode::Editing;
    }
    m_edit[c] = value;
    m_changed[size_t(c)] = 1;
}

void Recordset::CancelUpdate()
{
    m_mode = Mode::None;
    m_edit.clear();
}

void Recordset::Update()
{
    requireOpen();
    if (m_mode == Mode::None) return;
    if (m_table.isEmpty()) fail(QStringLiteral("Il recordset non è aggiornabile."));
    conn().clearErrors();
    if (m_mode == Mode::Adding && !m_loaded && m_gruppo > 1 && (conn().sqliteHandle() || conn().pgHandle())) {
        accoda();
    } else if (m_mode == Mode::Adding) {
        insertRow(m_edit);
        if (m_loaded) {
            m_rows.push_back(m_edit);
            indexRow(int(m_rows.size()) - 1);
        }
    } else {
        const int r = currentRow();
        updateRow(m_rows[r], m_edit);
        const Row old = m_rows[r];
        m_rows[r] = m_edit;
        for (auto it = m_indexes.keyBegin(); it != m_indexes.keyEnd(); ++it) reindicizza(r, *it, old[*it], m_edit[*it]);
    }
    m_mode = Mode::None;
    m_edit.clear();
}

void Recordset::prepare(Prepared& p, const QString& sql)
{
    conn().libera();
    if (conn().sqliteHandle()) {
        QString error;
        p.direct = conn().prepareDirect(sql, error);
        if (!p.direct) fail(error);
        return;
    }
    auto q = std::make_shared<QSqlQuery>(conn().database());
    if (!q->prepare(sql)) {
        const QSqlError e = q->lastError();
        fail(e.databaseText().isEmpty() ? e.text() : e.databaseText());
    }
    p.query = std::move(q);
}

void Recordset::exec(Prepared& p)
{
    conn().libera();
    if (p.direct) {
        QString error;
        if (!conn().execDirect(p.direct, m_bound, error)) fail(error);
        return;
    }
    int b = 0;
    for (const QVariant* v : m_bound) p.query->bindValue(b++, *v);
    QSqlQuery& q = *p.query;
    if (!q.exec()) fail(q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText());
}

void Recordset::insertRow(const Row& row)
{
    auto it = std::find_if(m_inserts.begin(), m_inserts.end(), [this](const auto& e) { return e.first == m_changed; });
    if (it == m_inserts.end()) {
        QStringList cols, marks;
        for (int i = 0; i < m_names.size(); ++i) {
            if (!m_changed[i]) continue;
            cols << m_names[i];
            marks << QStringLiteral("?");
        }
        Prepared p;
        prepare(p, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(m_table, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        m_inserts.emplace_back(m_changed, std::move(p));
        it = m_inserts.end() - 1;
    }
    m_bound.clear();
    m_converted.resize(size_t(m_names.size()));  // never grows while pointers into it are held
    for (int i = 0; i < m_names.size(); ++i) {
        if (!m_changed[i]) continue;
        if (row[i].typeId() == QMetaType::Bool) {
            m_converted[size_t(i)] = bindable(row[i]);
            m_bound.push_back(&m_converted[size_t(i)]);
        } else {
            m_bound.push_back(&row[i]);
        }
    }
    exec(it->second);
}

// A group of COPY's rows: large enough that its round trips do not count, small enough
// to stay out of the way of the memory.
constexpr qsizetype GruppoCopia = 1 << 20;

void Recordset::accoda()
{
    if (!m_origini.empty() && m_colonneAttesa != m_changed) scriviAttesa();
    m_colonneAttesa = m_changed;
    if (conn().pgHandle()) {
        if (m_inizi.empty()) {
            QStringList cols;
            for (int i = 0; i < m_names.size(); ++i)
                if (m_colonneAttesa[size_t(i)]) cols << m_names[i];
            QString errore;
            if (!conn().iniziaCopia(m_table, cols, [this](bool abbandona) { chiudiCopia(abbandona); }, errore)) {
                m_fallita = m_origine;
                fail(errore);
            }
            if (m_copia.capacity() < GruppoCopia) m_copia.reserve(GruppoCopia + 4096);
        }
        const qsizetype inizio = m_copia.size();
        m_inizi.push_back(inizio);
        bool primo = true;
        for (int i = 0; i < m_names.size(); ++i) {
            if (!m_changed[size_t(i)]) continue;
            if (!primo) m_copia += '\t';
            primo = false;
            Connection::testoCopia(m_edit[i], m_copia);
        }
        m_copia += '\n';
        conn().aggiungiCopia(QByteArrayView(m_copia).sliced(inizio));
        m_origini.push_back(std::move(m_origine));
        m_origine = {};
        if (m_copia.size() >= GruppoCopia) scriviAttesa();
        return;
    }
    if (m_attesa.empty()) m_attesa.reserve(size_t(m_gruppo) * size_t(m_names.size()));
    for (int i = 0; i < m_names.size(); ++i) {
        if (!m_changed[size_t(i)]) continue;
        QVariant& v = m_edit[i];
        m_attesa.push_back(v.typeId() == QMetaType::Bool ? bindable(v) : std::move(v));
    }
    m_origini.push_back(std::move(m_origine));
    m_origine = {};
    if (qsizetype(m_origini.size()) >= m_gruppo) scriviAttesa();
}

// The insert of as many rows as asked, of the columns the waiting rows give; the
// connection keeps it prepared.
Recordset::Prepared& Recordset::inserimento(qsizetype righe)
{
    QStringList cols;
    for (int i = 0; i < m_names.size(); ++i)
        if (m_colonneAttesa[size_t(i)]) cols << m_names[i];
    const QString riga = QLatin1Char('(') + QStringList(cols.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    prepare(m_gruppo1, QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                           .arg(m_table, cols.join(QLatin1Char(',')), QStringList(righe, riga).join(QLatin1Char(','))));
    return m_gruppo1;
}

void Recordset::scriviAttesa()
{
    if (m_origini.empty()) return;
    if (!m_inizi.empty()) {
        conn().libera();  // the COPY under way is this record set's
        return;
    }
    std::vector<QVariant> valori;
    std::vector<Origine> origini;
    valori.swap(m_attesa);
    origini.swap(m_origini);
    m_bound.clear();
    for (const QVariant& v : valori) m_bound.push_back(&v);
    QString errore;
    if (conn().execDirect(inserimento(qsizetype(origini.size())).direct, m_bound, errore)) return;
    // Only a row the database refuses leaves the transaction open: its row is found by
    // writing the group again one row at a time.
    const size_t perRiga = valori.size() / origini.size();
    if (conn().rifiutoDiRiga()) {
        Prepared& singola = inserimento(1);
        for (size_t r = 0; r < origini.size(); ++r) {
            m_bound.clear();
            for (size_t c = 0; c < perRiga; ++c) m_bound.push_back(&valori[r * perRiga + c]);
            if (!conn().execDirect(singola.direct, m_bound, errore)) {
                m_fallita = origini[r];
                fail(errore);
            }
        }
        return;
    }
    m_fallita = origini.front();
    fail(errore);
}

void Recordset::chiudiCopia(bool abbandona)
{
    QByteArray righe;
    std::vector<qsizetype> inizi;
    std::vector<Origine> origini;
    righe.swap(m_copia);
    inizi.swap(m_inizi);
    origini.swap(m_origini);
    QString errore;
    const qsizetype fallita = conn().fineCopia(righe, inizi, abbandona, errore);
    if (fallita < 0 || origini.empty()) {
        righe.resize(0);
        m_copia.swap(righe);  // its room serves the next group
        return;
    }
    m_fallita = origini[size_t(fallita)];
    fail(errore);
}

void Recordset::ScartaInAttesa()
{
    if (!m_inizi.empty()) conn().libera(true);
    m_attesa.clear();
    m_origini.clear();
    m_copia.clear();
    m_inizi.clear();
}

void Recordset::updateRow(const Row& original, const Row& edited)
{
    QStringList sets, where;
    QVariantList values, whereValues;
    for (int i = 0; i < m_names.size(); ++i) {
        if (!m_changed[i]) continue;
        sets << m_names[i] + QStringLiteral("=?");
        values << bindable(edited[i]);
    }
    if (sets.isEmpty()) return;
    // Rows are found by their key, or by all their original values when the table has none.
    QList<int> keys;
    const auto& info = conn().columns(m_table);
    for (int i = 0; i < m_names.size(); ++i)
        for (const auto& c : info)
            if (c.key && c.name.compare(m_names[i], Qt::CaseInsensitive) == 0) keys << i;
    if (keys.isEmpty())
        for (int i = 0; i < m_names.size(); ++i)
            if (original[i].typeId() != QMetaType::Double) keys << i;
    for (int i : keys) {
        if (original[i].isNull()) {
            where << m_names[i] + QStringLiteral(" IS NULL");
        } else {
            where << m_names[i] + QStringLiteral("=?");
            whereValues << bindable(original[i]);
        }
    }
    values << whereValues;
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(m_table, sets.join(QLatin1Char(',')), where.join(QStringLiteral(" AND ")));
    auto known = m_updates.find(sql);
    if (known == m_updates.end()) {
        Prepared p;
        prepare(p, sql);
        known = m_updates.insert(sql, std::move(p));
    }
    m_bound.clear();
    for (const QVariant& v : std::as_const(values)) m_bound.push_back(&v);
    exec(*known);
}

void Recordset::AggiornaInBlocco(int colonna, std::span<const std::pair<qsizetype, QVariant>> valori)
{
    requireOpen();
    ensureLoaded();
    checkIndex(colonna);
    if (m_table.isEmpty()) fail(QStringLiteral("Il recordset non è aggiornabile."));
    QList<int> chiavi;
    for (const ColumnInfo& c : conn().columns(m_table))
        if (c.key) chiavi << m_byName.value(c.name.toUpper(), -1);
    const auto riga = [&](qsizetype posizione) { return m_filtered ? m_view[size_t(posizione)] : int(posizione); };
    if (chiavi.isEmpty() || chiavi.contains(-1) || chiavi.contains(colonna)) {
        for (const auto& [posizione, valore] : valori) {
            m_pos = size_t(posizione);
            setValue(colonna, valore);
            Update();
        }
        return;
    }
    // PostgreSQL gives the values of the list the types of its first row.
    const bool pg = conn().kind() == Connection::PostgreSQL;
    const auto segnaposto = [pg](const QVariant& v) -> QString {
        if (!pg) return QStringLiteral("?");
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Bool: return QStringLiteral("CAST(? AS BIGINT)");
        case QMetaType::Double: return QStringLiteral("CAST(? AS NUMERIC)");
        default: return QStringLiteral("CAST(? AS TEXT)");
        }
    };
    QStringList nomi, dove;
    for (int k = 0; k < chiavi.size(); ++k) {
        nomi << QStringLiteral("k%1").arg(k);
        dove << QStringLiteral("%1.%2 = v.k%3").arg(m_table, m_names[chiavi[k]]).arg(k);
    }
    nomi << QStringLiteral("c");
    constexpr size_t PerStatement = 300;
    for (size_t da = 0; da < valori.size(); da += PerStatement) {
        const auto parte = valori.subspan(da, std::min(PerStatement, valori.size() - da));
        QStringList righe;
        QVariantList legati;
        for (const auto& [posizione, valore] : parte) {
            const Row& r = m_rows[size_t(riga(posizione))];
            QStringList segni;
            for (int c : std::as_const(chiavi)) {
                segni << (righe.isEmpty() ? segnaposto(r[c]) : QStringLiteral("?"));
                legati << bindable(r[c]);
            }
            segni << (righe.isEmpty() ? segnaposto(valore) : QStringLiteral("?"));
            legati << bindable(valore);
            righe << QLatin1Char('(') + segni.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        conn().Esegui(QStringLiteral("WITH v(%1) AS (VALUES %2) UPDATE %3 SET %4 = v.c FROM v WHERE %5")
                          .arg(nomi.join(QLatin1Char(',')), righe.join(QLatin1Char(',')), m_table, m_names[colonna],
                               dove.join(QStringLiteral(" AND "))),
                      legati);
        for (const auto& [posizione, valore] : parte) {
            const int r = riga(posizione);
            const QVariant prima = std::exchange(m_rows[size_t(r)][colonna], valore);
            reindicizza(r, colonna, prima, valore);
        }
    }
}

void Recordset::reindicizza(int row, int col, const QVariant& prima, const QVariant& dopo)
{
    const auto it = m_indexes.find(col);
    if (it == m_indexes.end()) return;
    const QString da = keyOf(prima), a = keyOf(dopo);
    if (da == a) return;
    std::erase((*it)[da], row);
    (*it)[a].push_back(row);
}

const QHash<QString, std::vector<int>>& Recordset::indexFor(int col)
{
    auto it = m_indexes.find(col);
    if (it != m_indexes.end()) return *it;
    QHash<QString, std::vector<int>> index;
    index.reserve(qsizetype(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) index[keyOf(m_rows[r][col])].push_back(r);
    return *m_indexes.insert(col, std::move(index));
}

void Recordset::indexRow(int row)
{
    for (auto it = m_indexes.begin(); it != m_indexes.end(); ++it) (*it)[keyOf(m_rows[row][it.key()])].push_back(row);
}

void Recordset::Filter(const QString& criterion)
{
    requireOpen();
    ensureLoaded();
    m_pos = 0;
    const QString c = criterion.trimmed();
    if (c.isEmpty()) {
        m_filtered = false;
        m_view.clear();
        return;
    }
    const qsizetype eq = c.indexOf(QLatin1Char('='));
    if (eq <= 0) throw AppError(3001, QStringLiteral("Argomenti di tipo errato, fuori dall'intervallo consentito o in conflitto."), RsSource);
    const int col = column(c.left(eq).trimmed());
    QString literal = c.mid(eq + 1).trimmed();
    QString key;
    if (literal.size() >= 2 && literal.startsWith(QLatin1Char('\'')) && literal.endsWith(QLatin1Char('\''))) {
        key = literal.mid(1, literal.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    } else {
        bool ok = false;
        const double d = literal.toDouble(&ok);
        key = ok ? QString::number(d, 'g', 17) : literal;
    }
    const auto& index = indexFor(col);
    const auto hit = index.constFind(key);
    if (hit == index.constEnd()) m_view.clear();
    else m_view.assign(hit->begin(), hit->end());
    m_filtered = true;
}

void Recordset::Filter(int col, const QString& text)
{
    requireOpen();
    ensureLoaded();
    m_pos = 0;
    checkIndex(col);
    const auto& index = indexFor(col);
    const auto hit = index.constFind(text);
    if (hit == index.constEnd()) m_view.clear();
    else m_view.assign(hit->begin(), hit->end());
    m_filtered = true;
}

void Recordset::Requery()
{
    requireOpen();
    m_loaded = false;
    ensureLoaded();
}
