#include "platform/ui/ListControl.h"
#include <QKeyEvent>
#include <QLineEdit>

ListControl::ListControl(QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, &ListControl::activatedByUser);
    connect(this, &QComboBox::currentIndexChanged, this, &ListControl::choiceChanged);
}

void ListControl::Clear()
{
    clear();
    if (isEditable()) clearEditText();
}

void ListControl::AddItem(const QString& text) { addItem(text); }

void ListControl::setText(const QString& text)
{
    const int i = findText(text, Qt::MatchExactly);
    if (i >= 0) setCurrentIndex(i);
    else if (isEditable()) setEditText(text);
}

void ListControl::setFreeTyping(bool on)
{
    if (on == isEditable()) return;
    setEditable(on);
    if (on) {
        setInsertPolicy(QComboBox::NoInsert);
        connect(lineEdit(), &QLineEdit::textEdited, this, &ListControl::typed);
    }
}

void ListControl::setLocked(bool on)
{
    m_locked = on;
    if (isEditable()) lineEdit()->setReadOnly(on);
}

void ListControl::choose(int i)
{
    if (m_locked || i < 0 || i >= count()) return;
    setCurrentIndex(i);
    emit activated(i);
}

void ListControl::showPopup()
{
    if (!m_locked) QComboBox::showPopup();
}

void ListControl::keyPressEvent(QKeyEvent* e)
{
    const int k = e->key();
    if (m_locked && (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp || k == Qt::Key_PageDown ||
                     k == Qt::Key_Home || k == Qt::Key_End || k == Qt::Key_F4)) {
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void ListControl::wheelEvent(QWheelEvent* e)
{
    if (!m_locked) QComboBox::wheelEvent(e);
}
