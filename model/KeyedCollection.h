#pragma once
#include "platform/AppError.h"
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

// Keyed, ordered collection owning its entries; addressed by position from 1 or by key.
template <typename T>
class KeyedCollection {
    struct Entry {
        std::unique_ptr<T> item;
        QString key;
    };

public:
    T& Item(const QVariant& indexOrKey) { return *m_items[slot(indexOrKey)].item; }
    qint32 Count() const { return qint32(m_items.size()); }
    void Remove(const QVariant& indexOrKey) { m_items.erase(m_items.begin() + slot(indexOrKey)); }

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
        if (!key.isEmpty())
            for (const auto& e : m_items)
                if (e.key == key) throw AppError(457, QStringLiteral("Questa chiave è già associata a un elemento dell'insieme."));
        m_items.push_back({std::move(item), key});
        return *m_items.back().item;
    }

private:
    size_t slot(const QVariant& indexOrKey) const
    {
        if (indexOrKey.typeId() == QMetaType::QString) {
            const QString key = indexOrKey.toString();
            for (size_t i = 0; i < m_items.size(); ++i)
                if (m_items[i].key == key) return i;
        } else {
            bool ok = false;
            const qlonglong i = indexOrKey.toLongLong(&ok);
            if (ok && i >= 1 && i <= qlonglong(m_items.size())) return size_t(i - 1);
        }
        throw AppError(5, QStringLiteral("Chiamata di routine o argomento non validi"));
    }
    std::vector<Entry> m_items;
};
