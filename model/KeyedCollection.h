#pragma once
#include "platform/runtime/AppError.h"
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

// Keyed, ordered collection owning its entries; addressed by position from 1 or by key.
// Keys compare without regard to case, as the host's collections do.
template <typename T>
class KeyedCollection {
    struct Entry {
        std::unique_ptr<T> item;
        QString key;
    };

public:
    T& Item(const QVariant& indexOrKey) { return *m_items[slot(indexOrKey)].item; }
    const T& Item(const QVariant& indexOrKey) const { return *m_items[slot(indexOrKey)].item; }
    qint32 Count() const { return qint32(m_items.size()); }
    void Remove(const QVariant& indexOrKey) { m_items.erase(m_items.begin() + qsizetype(slot(indexOrKey))); }

    // Enumeration of the entries in order.
    struct Iterator {
        typename std::vector<Entry>::iterator it;
        T& operator*() const { return *it->item; }
        Iterator& operator++() { ++it; return *this; }
        bool operator!=(const Iterator& o) const { return it != o.it; }
    };
    Iterator begin() { return {m_items.begin()}; }
    Iterator end() { return {m_items.end()}; }

protected:
    T& append(std::unique_ptr<T> item, const QString& key)
    {
        if (!key.isEmpty() && find(key) >= 0)
            throw AppError(457, QStringLiteral("Questa chiave è già associata a un elemento dell'insieme."));
        m_items.push_back({std::move(item), key});
        return *m_items.back().item;
    }

private:
    qsizetype find(const QString& key) const
    {
        if (key.isEmpty()) return -1;  // entries added without a key cannot be found by key
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].key.compare(key, Qt::CaseInsensitive) == 0) return qsizetype(i);
        return -1;
    }

    size_t slot(const QVariant& indexOrKey) const
    {
        if (indexOrKey.typeId() == QMetaType::QString) {
            const qsizetype i = find(indexOrKey.toString());
            if (i >= 0) return size_t(i);
            throw AppError::invalidCall();
        }
        bool ok = false;
        const qlonglong i = indexOrKey.toLongLong(&ok);
        if (!ok) throw AppError::typeMismatch();
        if (i < 1 || i > qlonglong(m_items.size()))
            throw AppError(9, QStringLiteral("Indice non compreso nell'intervallo"));
        return size_t(i - 1);
    }

    std::vector<Entry> m_items;
};
