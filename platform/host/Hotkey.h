#pragma once
#include <QHash>
#include <QKeySequence>
#include <QString>

// The host's hotkey service: key code and shift state to the name of a host hotkey.
class Hotkey {
public:
    Hotkey();
    // Shift state uses the platform's bits: 1 Shift, 2 Ctrl, 4 Alt.
    QString NomeHotkey(int keyCode, int shift) const;
    void bind(const QKeySequence& keys, const QString& name);
    // The keys bound to a name (the lowest combination when several), empty when none.
    QKeySequence tasti(const QString& name) const;
    static int shiftState(Qt::KeyboardModifiers modifiers);
    // Look-ups answered so far.
    int richieste() const { return m_richieste; }

private:
    QHash<int, QString> m_names;  // Qt key combination -> name
    mutable int m_richieste = 0;
};
