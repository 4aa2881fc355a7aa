#include "platform/LogList.h"
// Placeholder until the log list lands.
#include <QAbstractTableModel>
class LogModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& = {}) const override { return 0; }
    int columnCount(const QModelIndex& = {}) const override { return 3; }
    QVariant data(const QModelIndex&, int) const override { return {}; }
};
LogList::LogList(QWidget* parent) : QTreeView(parent), m_model(new LogModel) {}
LogList::~LogList() { delete m_model; }
int LogList::addRow(const QString&, const QString&, const QString&) { return 0; }
void LogList::setRowColor(int, const QColor&) {}
void LogList::setCellColor(int, int, const QColor&) {}
void LogList::setRowBold(int, bool) {}
void LogList::setCellBold(int, int, bool) {}
void LogList::clearRows() {}
int LogList::rowCount() const { return 0; }
QString LogList::text(int, int) const { return {}; }
QColor LogList::color(int, int) const { return {}; }
bool LogList::bold(int, int) const { return false; }
void LogList::setDefaultColor(const QColor&) {}
QColor LogList::defaultColor() const { return {}; }
void LogList::setSortKey(int) {}
int LogList::sortKey() const { return -1; }
bool LogList::sorted() const { return false; }
void LogList::ensureRowVisible(int) {}
void LogList::selectRow(int) {}
int LogList::selectedRow() const { return -1; }
