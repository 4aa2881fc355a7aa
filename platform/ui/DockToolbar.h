#pragma once
#include <QHash>
#include <QIcon>
#include <QToolBar>
#include <initializer_list>

class QAction;

// The docking toolbar: tools addressed by key, each with enabled and visible flags
// and a caption. A click reports the tool's key.
class DockToolbar : public QToolBar {
    Q_OBJECT
public:
    explicit DockToolbar(QWidget* parent = nullptr);

    void addTool(const QString& key, const QString& caption, const QIcon& icon = QIcon());
    void addLabel(const QString& key, const QString& text);
    bool hasTool(const QString& key) const { return m_tools.contains(key); }
    bool isToolEnabled(const QString& key) const;
    bool isToolVisible(const QString& key) const;
    QString caption(const QString& key) const;
    void setToolEnabled(const QString& key, bool on);
    void setToolVisible(const QString& key, bool on);
    // One row of the screen's tool states: these tools enabled, or disabled.
    void setToolsEnabled(std::initializer_list<QString> keys, bool on);
    QAction* action(const QString& key) const { return m_tools.value(key); }
    // Reports a click on the tool, as the user's click does (enabled or not).
    void click(const QString& key);

signals:
    void toolClick(const QString& key);

private:
    QHash<QString, QAction*> m_tools;
};
