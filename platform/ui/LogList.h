#pragma once
#include <QAnyStringView>
#include <QColor>
#include <QElapsedTimer>
#include <QTableView>
#include <QTimer>

class LogModel;
class QHeaderView;

// The report-view log list: three text columns, a text colour per row and for the
// "Descrizione" cell, bold per row and per cell, sorting by a column as text.
// Rows are stored compactly, so hundreds of thousands of rows stay fast: new rows
// reach the view in batches and the scroll to the last row asked for happens once
// per batch; while the list is hidden (a run without a window) rows wait until it is
// shown or flushed. Row indexes are display positions.
class LogList : public QTableView {
    Q_OBJECT
public:
    explicit LogList(QWidget* parent = nullptr);
    ~LogList() override;

    // Appends a row (or, with sorting on, adds it at the end until the next batch
    // places it in order); returns its index.
    int addRow(const QString& conto, const QString& descrizione, const QString& valore);
    // A row colour applies to every cell without a colour of its own.
    void setRowColor(int row, const QColor& color);
    void setCellColor(int row, int column, const QColor& color);
    // A bold row makes every cell bold; a bold cell is bold whatever its row.
    void setRowBold(int row, bool bold);
    void setCellBold(int row, int column, bool bold);
    void clearRows();

    int rowCount() const;
    QString text(int row, int column) const;
    // The same text as the list keeps it, without a copy; valid until the list changes.
    QAnyStringView textView(int row, int column) const;
    QColor color(int row, int column) const;  // effective colour of a cell
    bool bold(int row, int column) const;     // effective bold of a cell

    void setDefaultColor(const QColor& color);
    QColor defaultColor() const;

    // Sorting: the column becomes the key and sorting is on; always ascending, as text.
    // A click on a column header does the same.
    void setSortKey(int column);
    int sortKey() const;
    bool sorted() const;

    void ensureRowVisible(int row);
    void selectRow(int row);
    int selectedRow() const;
    // The selected rows as the list shows them, in its order: the three columns separated
    // by tabs, one row a line. "Copia" in the list's menu, and Ctrl+C, put it on the clipboard.
    QString selectedText() const;
    void copySelection() const;

    // Column header of the list (the layout sets the column widths through it).
    QHeaderView* header() const;
    void setColumnWidthsPx(int conto, int descrizione, int valore);
    // Brings the view up to date now: pending rows, their order and the pending scroll.
    void flush();

signals:
    // The rows are about to go: whoever copies them elsewhere takes them now.
    void aboutToClear();
    void headerClicked(int column);

protected:
    void showEvent(QShowEvent* event) override;
    // A text that its column cuts shows in full as the tip of its cell.
    bool viewportEvent(QEvent* event) override;

private:
    void schedule();
    void settle() const;  // places pending rows in order before they are read

    LogModel* m_model;
    QTimer m_batch;
    QElapsedTimer m_sinceBatch;
    int m_scrollTo = -1;  // storage position of the row to bring into view
};
