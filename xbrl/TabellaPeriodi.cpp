#include "xbrl/TabellaPeriodi.h"

bool TabellaPeriodi::aggiungi(const QString& id, const QString& identificativo, const QDate& data)
{
    if (m_contesti.contains(id)) return false;
    ContestoXbrl c{id, identificativo, data, nullptr};
    if (data.isValid()) {
        const QString chiave = identificativo + QLatin1Char('\n') + QString::number(data.year()) + QLatin1Char('/') +
                               QString::number(data.month());
        RigaTabellaPeriodi*& riga = m_perChiave[chiave];
        if (!riga) {
            m_righe.push_back({identificativo, qint16(data.year()), qint16(data.month()), false, 0, QString()});
            riga = &m_righe.back();
        }
        c.riga = riga;
    }
    m_contesti.insert(id, c);
    return true;
}

const ContestoXbrl* TabellaPeriodi::contesto(const QString& id) const
{
    const auto it = m_contesti.constFind(id);
    return it == m_contesti.constEnd() ? nullptr : &*it;
}

void TabellaPeriodi::clear()
{
    m_contesti.clear();
    m_perChiave.clear();
    m_righe.clear();
}
