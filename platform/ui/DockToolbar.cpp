#include "platform/ui/DockToolbar.h"
#include <QAction>
#include <QLabel>

DockToolbar::DockToolbar(QWidget* parent) : QToolBar(parent)
{
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(20, 20));
}

void DockToolbar::addTool(const QString& key, const QString& caption, const QIcon& icon)
{
    QAction* a = addAction(icon, caption);
    a->setObjectName(key);
    a->setToolTip(caption);
    connect(a, &QAction::triggered, this, [this, key] { emit toolClick(key); });
    m_tools.insert(key, a);
}

void DockToolbar::addLabel(const QString& key, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setContentsMargins(8, 0, 4, 0);
    QAction* a = addWidget(label);
    a->setObjectName(key);
    m_tools.insert(key, a);
}

bool DockToolbar::isToolEnabled(const QString& key) const
{
    const QAction* a = m_tools.value(key);
    return a && a->isEnabled();
}

bool DockToolbar::isToolVisible(const QString& key) const
{
    const QAction* a = m_tools.value(key);
    return a && a->isVisible();
}

QString DockToolbar::caption(const QString& key) const
{
    const QAction* a = m_tools.value(key);
    return a ? a->text() : QString();
}

void DockToolbar::setToolEnabled(const QString& key, bool on)
{
    if (QAction* a = m_tools.value(key)) a->setEnabled(on);
}

void DockToolbar::setToolsEnabled(std::initializer_list<QString> keys, bool on)
{
    for (const QString& key : keys) setToolEnabled(key, on);
}

void DockToolbar::setToolVisible(const QString& key, bool on)
{
    if (QAction* a = m_tools.value(key)) a->setVisible(on);
}

void DockToolbar::click(const QString& key) { emit toolClick(key); }
