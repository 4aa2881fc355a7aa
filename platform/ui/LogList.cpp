#include "platform/ui/LogList.h"
#include <QAbstractTableModel>
#include <QAction>
#include <QBrush>
#include <QClipboard>
#include <QFont>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>
#include <QItemSelectionModel>
#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

namespace {
constexpr int kColumns = 3;
// Rows added in a burst reach the view at most this often; a lone row goes at once.
constexpr int kBatchMs = 40;
}  // namespace

// The three texts of every row, side by side in large pages that never move: one byte
// a character when a row's texts are all Latin-1 (the usual case), two otherwise. A
// row costs its characters and a fixed record, with no allocation of its own.
class TextStore {
public:
    struct Place {
        quint32 page : 31 = 0;
        quint32 wide : 1 = 0;
        quint32 offset = 0;
        quint32 length[kColumns] = {0, 0, 0};
    };

    Place append(const QString* const (&texts)[kColumns])
    {
        Place place;
        size_t total = 0;
        for (int c = 0; c < kColumns; ++c) {
            place.length[c] = quint32(texts[c]->size());
            total += size_t(texts[c]->size());
        }
        // One byte a character, unless a character needs two.
        char* out = reserve(total, place);
        char16_t all = 0;
        for (const QString* t : texts) {
            const char16_t* in = reinterpret_cast<const char16_t*>(t->constData());
            for (qsizetype k = 0; k < t->size(); ++k) {
                all |= in[k];
                *out++ = char(in[k]);
            }
        }
        if (all > 0xFF) {
            m_used = place.offset;
            out = reserve(total * 2, place);
            place.wide = 1;
            for (const QString* t : texts) {
                std::memcpy(out, t->constData(), size_t(t->size()) * 2);
                out += t->size() * 2;
            }
        }
        return place;
    }

    QString text(const Place& p, int column) const
    {
        if (p.length[column] == 0) return {};
        const char* at = start(p, column);
        return p.wide ? QString(reinterpret_cast<const QChar*>(at), qsizetype(p.length[column]))
                      : QString::fromLatin1(at, qsizetype(p.length[column]));
    }

    QAnyStringView view(const Place& p, int column) const
    {
        if (p.length[column] == 0) return {};
        const char* at = start(p, column);
        if (p.wide) return QStringView(reinterpret_cast<const QChar*>(at), qsizetype(p.length[column]));
        return QLatin1StringView(at, qsizetype(p.length[column]));
    }

    // Case-insensitive comparison of a column of two rows, as text.
    int compare(const Place& a, const Place& b, int column) const
    {
        const char* x = start(a, column);
        const char* y = start(b, column);
        const auto nx = qsizetype(a.length[column]), ny = qsizetype(b.length[column]);
        const QStringView wx(reinterpret_cast<const QChar*>(x), nx), wy(reinterpret_cast<const QChar*>(y), ny);
        const QLatin1StringView lx(x, nx), ly(y, ny);
        if (a.wide) return b.wide ? wx.compare(wy, Qt::CaseInsensitive) : wx.compare(ly, Qt::CaseInsensitive);
        return b.wide ? -wy.compare(lx, Qt::CaseInsensitive) : lx.compare(ly, Qt::CaseInsensitive);
    }

    void clear()
    {
        std::vector<Page>().swap(m_pages);
        m_used = 0;
    }

private:
    static constexpr size_t kPage = size_t(1) << 20;
    struct Page {
        std::unique_ptr<char[]> data;
        size_t size;
    };

    char* reserve(size_t bytes, Place& place)
    {
        if (m_pages.empty() || m_used + bytes > m_pages.back().size) {
            // A text larger than a page gets a page of its own size.
            const size_t size = std::max(kPage, bytes);
            m_pages.push_back(Page{std::make_unique_for_overwrite<char[]>(size), size});
            m_used = 0;
        }
        place.page = quint32(m_pages.size() - 1);
        place.offset = quint32(m_used);
        m_used += bytes;
        return m_pages.back().data.get() + place.offset;
    }

    const char* start(const Place& p, int column) const
    {
        size_t skip = 0;
        for (int c = 0; c < column; ++c) skip += p.length[c];
        return m_pages[p.page].data.get() + p.offset + skip * (p.wide ? 2 : 1);
    }

    std::vector<Page> m_pages;
    size_t m_used = 0;  // bytes taken in the last page
};

// Rows in the order they were added; with sorting on, a permutation gives the
// display order. Colours are indexes into a small palette, so a row costs its text
// and a few bytes.
class LogModel : public QAbstractTableModel {
public:
    struct Row {
        TextStore::Place place;
        quint8 rowColor = 0;  // palette index, 0 = none
        quint8 cellColor[kColumns] = {0, 0, 0};
        quint8 bold = 0;  // bit 0: whole row; bit 1 + c: cell c
    };

    explicit LogModel(QObject* parent) : QAbstractTableModel(parent) {}

    int count() const { return int(m_rows.size()); }
    bool valid(int row) const { return row >= 0 && row < count(); }
    bool valid(int row, int column) const { return valid(row) && column >= 0 && column < kColumns; }
    int storageOf(int display) const { return m_sorted ? m_order[size_t(display)] : display; }
    int displayOf(int storage) const
    {
        if (!m_sorted) return storage;
        const auto it = std::find(m_order.begin(), m_order.end(), storage);
        return it == m_order.end() ? -1 : int(it - m_order.begin());
    }
    Row& at(int display) { return m_rows[size_t(storageOf(display))]; }
    const Row& at(int display) const { return m_rows[size_t(storageOf(display))]; }
    bool pendingOrder() const { return m_sorted && m_placed < count(); }
    bool pending() const { return m_published < count() || pendingOrder(); }
    bool isSorted() const { return m_sorted; }
    int key() const { return m_key; }

    int append(const QString& conto, const QString& descrizione, const QString& valore)
    {
        Row r;
        r.place = m_texts.append({&conto, &descrizione, &valore});
        m_rows.push_back(r);
        const int storage = count() - 1;
        if (m_sorted) m_order.push_back(storage);  // at the end until the next batch places it
        return storage;                             // also its display position for now
    }

    void clear()
    {
        beginResetModel();
        std::deque<Row>().swap(m_rows);
        m_texts.clear();
        std::vector<int>().swap(m_order);
        m_published = m_placed = 0;
        endResetModel();
    }

    // Shows the view the rows added since the last batch, in their place.
    void publish()
    {
        if (m_published < count()) {
            beginInsertRows({}, m_published, count() - 1);
            m_published = count();
            endInsertRows();
        }
        if (pendingOrder()) reorder(m_placed);
    }

    void sortBy(int column)
    {
        publish();
        if (m_sorted && m_key == column) return;
        if (!m_sorted) {
            m_order.resize(m_rows.size());
            for (size_t i = 0; i < m_order.size(); ++i) m_order[i] = int(i);
            m_sorted = true;
        }
        m_key = column;
        reorder(0);
    }

    quint8 colorIndex(const QColor& color)
    {
        const QRgb rgb = color.rgb();
        for (int i = 1; i < m_palette.size(); ++i)
            if (m_palette[i] == rgb) return quint8(i);
        if (m_palette.size() < 256) {
            m_palette.append(rgb);
            return quint8(m_palette.size() - 1);
        }
        // A full palette lends its nearest colour.
        int best = 1;
        long bestDistance = -1;
        for (int i = 1; i < m_palette.size(); ++i) {
            const long dr = qRed(m_palette[i]) - qRed(rgb), dg = qGreen(m_palette[i]) - qGreen(rgb),
                       db = qBlue(m_palette[i]) - qBlue(rgb);
            const long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = i;
        }
        return quint8(best);
    }

    QColor colorOf(const Row& r, int column) const
    {
        const quint8 i = r.cellColor[column] ? r.cellColor[column] : r.rowColor;
        return i ? QColor(m_palette[i]) : m_default;
    }
    static bool boldOf(const Row& r, int column) { return (r.bold & 1) || (r.bold & (2 << column)); }
    QString textOf(const Row& r, int column) const { return m_texts.text(r.place, column); }
    QAnyStringView viewOf(const Row& r, int column) const { return m_texts.view(r.place, column); }

    void setDefaultColor(const QColor& c) { m_default = c; }
    QColor defaultColor() const { return m_default; }

    void rowChanged(int display)
    {
        if (display < m_published) emit dataChanged(index(display, 0), index(display, kColumns - 1));
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_published; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_published) return {};
        const Row& r = at(index.row());
        switch (role) {
        case Qt::DisplayRole: return m_texts.text(r.place, index.column());
        case Qt::ForegroundRole: return QBrush(colorOf(r, index.column()));
        case Qt::FontRole:
            if (boldOf(r, index.column())) {
                QFont f;  // only the weight is set: the view's font supplies the rest
                f.setBold(true);
                return f;
            }
            return {};
        case Qt::TextAlignmentRole: return alignment(index.column());
        default: return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
        static const char* const names[kColumns] = {"Conto", "Descrizione", "Valore"};
        if (role == Qt::DisplayRole) return QString::fromLatin1(names[section]);
        if (role == Qt::TextAlignmentRole) return alignment(section);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
    }

private:
    static QVariant alignment(int column)
    {
        return QVariant::fromValue(Qt::Alignment((column == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }

    // Sorts the display order from `from` on and merges it with the part before,
    // which is already in order; ties keep the order in which rows came.
    void reorder(int from)
    {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = persistentIndexList();
        std::vector<int> storages;
        storages.reserve(size_t(before.size()));
        for (const QModelIndex& i : before) storages.push_back(storageOf(i.row()));

        const int key = m_key;
        auto less = [this, key](int a, int b) {
            return m_texts.compare(m_rows[size_t(a)].place, m_rows[size_t(b)].place, key) < 0;
        };
        std::stable_sort(m_order.begin() + from, m_order.end(), less);
        if (from > 0) std::inplace_merge(m_order.begin(), m_order.begin() + from, m_order.end(), less);
        m_placed = count();

        if (!before.isEmpty()) {
            std::vector<int> position(m_order.size());
            for (size_t d = 0; d < m_order.size(); ++d) position[size_t(m_order[d])] = int(d);
            QModelIndexList after;
            after.reserve(before.size());
            for (qsizetype i = 0; i < before.size(); ++i)
                after.append(index(position[size_t(storages[size_t(i)])], before[i].column()));
            changePersistentIndexList(before, after);
        }
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    std::deque<Row> m_rows;  // grows without moving what it holds
    TextStore m_texts;
    std::vector<int> m_order;  // display -> storage, used once sorting is on
    int m_published = 0;       // rows the view has been told about
    int m_placed = 0;          // rows of m_order already in sorted place
    bool m_sorted = false;
    int m_key = 0;
    QList<QRgb> m_palette{0};  // index 0 stands for "no colour"
    QColor m_default = Qt::black;
};

LogList::LogList(QWidget* parent) : QTableView(parent), m_model(new LogModel(this))
{
    setModel(m_model);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(ScrollPerPixel);

    // Fixed row height: nothing is measured per row.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    QHeaderView* h = horizontalHeader();
    h->setSectionsClickable(true);
    h->setHighlightSections(false);
    h->setStretchLastSection(false);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(h, &QHeaderView::sectionClicked, this, [this](int column) {
        setSortKey(column);
        emit headerClicked(column);
    });

    m_batch.setSingleShot(true);
    connect(&m_batch, &QTimer::timeout, this, &LogList::flush);
    m_sinceBatch.start();

    // Rows can be picked, several at once, and copied elsewhere.
    setSelectionMode(ExtendedSelection);
    auto* copia = new QAction(QStringLiteral("Copia"), this);
    copia->setShortcut(QKeySequence::Copy);
    copia->setShortcutContext(Qt::WidgetShortcut);
    connect(copia, &QAction::triggered, this, &LogList::copySelection);
    auto* tutto = new QAction(QStringLiteral("Seleziona tutto"), this);
    tutto->setShortcut(QKeySequence::SelectAll);
    tutto->setShortcutContext(Qt::WidgetShortcut);
    connect(tutto, &QAction::triggered, this, [this] {
        flush();
        selectAll();
    });
    addActions({copia, tutto});
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

LogList::~LogList() = default;

int LogList::addRow(const QString& conto, const QString& descrizione, const QString& valore)
{
    const int row = m_model->append(conto, descrizione, valore);
    schedule();
    return row;
}

void LogList::setRowColor(int row, const QColor& color)
{
    if (!m_model->valid(row)) return;
    m_model->at(row).rowColor = m_model->colorIndex(color);
    m_model->rowChanged(row);
}

void LogList::setCellColor(int row, int column, const QColor& color)
{
    if (!m_model->valid(row, column)) return;
    m_model->at(row).cellColor[column] = m_model->colorIndex(color);
    m_model->rowChanged(row);
}

void LogList::setRowBold(int row, bool bold)
{
    if (!m_model->valid(row)) return;
    auto& flags = m_model->at(row).bold;
    flags = bold ? (flags | 1) : (flags & ~1);
    m_model->rowChanged(row);
}

void LogList::setCellBold(int row, int column, bool bold)
{
    if (!m_model->valid(row, column)) return;
    auto& flags = m_model->at(row).bold;
    const int bit = 2 << column;
    flags = bold ? (flags | bit) : (flags & ~bit);
    m_model->rowChanged(row);
}

void LogList::clearRows()
{
    emit aboutToClear();
    m_batch.stop();
    m_scrollTo = -1;
    m_model->clear();
}

int LogList::rowCount() const { return m_model->count(); }

QString LogList::text(int row, int column) const
{
    settle();
    return m_model->valid(row, column) ? m_model->textOf(m_model->at(row), column) : QString();
}

QAnyStringView LogList::textView(int row, int column) const
{
    settle();
    return m_model->valid(row, column) ? m_model->viewOf(m_model->at(row), column) : QAnyStringView();
}

QColor LogList::color(int row, int column) const
{
    settle();
    return m_model->valid(row, column) ? m_model->colorOf(m_model->at(row), column) : QColor();
}

bool LogList::bold(int row, int column) const
{
    settle();
    return m_model->valid(row, column) && LogModel::boldOf(m_model->at(row), column);
}

void LogList::setDefaultColor(const QColor& color)
{
    m_model->setDefaultColor(color);
    viewport()->update();
}

QColor LogList::defaultColor() const { return m_model->defaultColor(); }

void LogList::setSortKey(int column)
{
    if (column < 0 || column >= kColumns) return;
    m_model->sortBy(column);
    // The indicator shows the key; the order never flips, whatever the header did.
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
}

int LogList::sortKey() const { return m_model->key(); }
bool LogList::sorted() const { return m_model->isSorted(); }

void LogList::ensureRowVisible(int row)
{
    if (!m_model->valid(row)) return;
    m_scrollTo = m_model->storageOf(row);
    schedule();
}

void LogList::selectRow(int row)
{
    flush();
    if (m_model->valid(row)) QTableView::selectRow(row);
}

int LogList::selectedRow() const
{
    settle();
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString LogList::selectedText() const
{
    settle();
    QModelIndexList righe = selectionModel()->selectedRows();
    std::sort(righe.begin(), righe.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString out;
    for (const QModelIndex& r : righe) {
        for (int c = 0; c < kColumns; ++c) {
            // A tab or a line break inside a text would split its row.
            QString cella = text(r.row(), c);
            for (QChar& ch : cella)
                if (ch == QLatin1Char('\t') || ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) ch = QLatin1Char(' ');
            out += cella + (c + 1 < kColumns ? QLatin1Char('\t') : QLatin1Char('\n'));
        }
    }
    return out;
}

void LogList::copySelection() const
{
    const QString testo = selectedText();
    if (!testo.isEmpty()) QGuiApplication::clipboard()->setText(testo);
}

QHeaderView* LogList::header() const { return horizontalHeader(); }

void LogList::setColumnWidthsPx(int conto, int descrizione, int valore)
{
    QHeaderView* h = horizontalHeader();
    h->resizeSection(0, conto);
    h->resizeSection(1, descrizione);
    h->resizeSection(2, valore);
}

void LogList::flush()
{
    m_batch.stop();
    m_model->publish();
    if (m_scrollTo >= 0) {
        const int row = m_scrollTo < m_model->count() ? m_model->displayOf(m_scrollTo) : -1;
        m_scrollTo = -1;
        if (row >= 0) {
            updateGeometries();  // the scroll range must already cover the new rows
            scrollTo(m_model->index(row, 0), EnsureVisible);
        }
    }
    m_sinceBatch.restart();
}

void LogList::schedule()
{
    if (!m_batch.isActive() && isVisible()) m_batch.start(qMax(0, kBatchMs - int(m_sinceBatch.elapsed())));
}

void LogList::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    // What came while hidden goes to the view as soon as the list is on screen.
    if ((m_model->pending() || m_scrollTo >= 0) && !m_batch.isActive()) m_batch.start(0);
}

bool LogList::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip) return QTableView::viewportEvent(event);
    const auto* aiuto = static_cast<QHelpEvent*>(event);
    const QModelIndex cella = indexAt(aiuto->pos());
    const QString testo = cella.isValid() ? cella.data().toString() : QString();
    QFont carattere = font();
    carattere.setBold(cella.isValid() && cella.data(Qt::FontRole).value<QFont>().bold());
    // The cell draws its text inside a small margin on each side.
    const int margine = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QRect rettangolo = visualRect(cella);
    if (!testo.isEmpty() && QFontMetrics(carattere).horizontalAdvance(testo) > rettangolo.width() - 2 * margine)
        QToolTip::showText(aiuto->globalPos(), testo, viewport(), rettangolo);
    else
        QToolTip::hideText();
    return true;
}

void LogList::settle() const
{
    // Readers see rows in display order, so rows waiting for their sorted place go there first.
    if (m_model->pendingOrder()) const_cast<LogList*>(this)->flush();
}
