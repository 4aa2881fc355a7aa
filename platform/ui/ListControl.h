#pragma once
#include <QComboBox>

// The host's list control: a list that may allow free typing and may refuse choices.
// activatedByUser() is the "entry picked" event; choiceChanged() fires for any change
// of the current entry, by the user or by the program.
class ListControl : public QComboBox {
    Q_OBJECT
public:
    explicit ListControl(QWidget* parent = nullptr);

    void Clear();
    void AddItem(const QString& text);
    QString text() const { return currentText(); }
    void setText(const QString& text);
    int ListIndex() const { return currentIndex(); }
    void setListIndex(int i) { setCurrentIndex(i); }
    int ListCount() const { return count(); }
    QString List(int i) const { return itemText(i); }

    bool freeTyping() const { return isEditable(); }
    void setFreeTyping(bool on);
    bool locked() const { return m_locked; }
    void setLocked(bool on);  // a locked list keeps its choice

    // Picks entry i as a user would (fires activatedByUser).
    void choose(int i);

signals:
    void activatedByUser(int index);
    void choiceChanged(int index);
    void typed(const QString& text);

protected:
    void showPopup() override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    bool m_locked = false;
};
