#pragma once
#include <QColor>
#include <QTreeView>

class LogModel;

// The report-view log list: three text columns, a text colour per row and for the
// "Descrizione" cell, bold per row and per cell, sorting by a column as text.
// Rows are stored compactly, so hundreds of thousands of rows stay fast.
class LogList : public QTreeView {
    Q_OBJECT
public:
    explicit LogList(QWidget* parent = nullptr);
    ~LogList() override;

    // Appends a row; returns its index.
    int addRow(const QString& conto, const QString& descrizione, const QString& valore);
    void setRowColor(int row, const QColor& color);
    void setCellColor(int row, int column, const QColor& color);
    void setRowBold(int row, bool bold);
    void setCellBold(int row, int column, bool bold);
    void clearRows();

    int rowCount() const;
    QString text(int row, int column) const;
    QColor color(int row, int column) const;  // effective colour of a cell
    bool bold(int row, int column) const;     // effective bold of a cell

    void setDefaultColor(const QColor& color);
    QColor defaultColor() const;

    // Sorting: the column becomes the key and sorting is on; always ascending, as text.
    void setSortKey(int column);
    int sortKey() const;
    bool sorted() const;

    void ensureRowVisible(int row);
    void selectRow(int row);
    int selectedRow() const;

signals:
    void headerClicked(int column);

private:
    LogModel* m_model;
};
