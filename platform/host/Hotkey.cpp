#include "platform/host/Hotkey.h"

Hotkey::Hotkey()
{
    // The host's standard bindings.
    bind(QKeySequence(Qt::CTRL | Qt::Key_N), QStringLiteral("HKSTDNEW"));
    bind(QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral("HKSTDOPEN"));
    bind(QKeySequence(Qt::CTRL | Qt::Key_W), QStringLiteral("HKSTDCLOSE"));
    bind(QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("HKSTDSAVE"));
    bind(QKeySequence(Qt::CTRL | Qt::Key_Z), QStringLiteral("HKSTDUNDO"));
    bind(QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("HKSTDPRINT"));
    bind(QKeySequence(Qt::ALT | Qt::Key_F4), QStringLiteral("HKSTDEXIT"));
    bind(QKeySequence(Qt::CTRL | Qt::Key_I), QStringLiteral("HKKTRIMPORT"));
    bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I), QStringLiteral("HKKTRIMPORTCEE"));
    bind(QKeySequence(Qt::CTRL | Qt::Key_X), QStringLiteral("HKKTRIMPORTXBRL"));
}

int Hotkey::shiftState(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

void Hotkey::bind(const QKeySequence& keys, const QString& name)
{
    if (!keys.isEmpty()) m_names.insert(keys[0].toCombined(), name);
}

QString Hotkey::NomeHotkey(int keyCode, int shift) const
{
    ++m_richieste;
    int combined = keyCode;
    if (shift & 1) combined |= Qt::SHIFT;
    if (shift & 2) combined |= Qt::CTRL;
    if (shift & 4) combined |= Qt::ALT;
    return m_names.value(combined);
}

QKeySequence Hotkey::tasti(const QString& name) const
{
    int trovato = 0;
    for (auto it = m_names.cbegin(); it != m_names.cend(); ++it)
        if (it.value() == name && (trovato == 0 || it.key() < trovato)) trovato = it.key();
    return trovato == 0 ? QKeySequence() : QKeySequence(QKeyCombination::fromCombined(trovato));
}
