#pragma once
#include <QDate>
#include <QHash>
#include <QString>
#include <deque>

// One period of an XBRL document: a company identifier, a year and a month, the
// contexts that end in it, and, once its first fact is posted, the period it goes to.
struct RigaTabellaPeriodi {
    QString identificativo;
    qint16 anno = 0;
    qint16 mese = 0;
    bool preparata = false;  // period number, rate, period record and zero values done
    double cambio = 0;       // rate of the period's facts
    QString periodo;         // period number, as chosen or typed
};

// A context as the facts refer to it.
struct ContestoXbrl {
    QString id;
    QString identificativo;
    QDate data;  // the instant, or the end of the duration; invalid when it has neither
    RigaTabellaPeriodi* riga = nullptr;
};

// The contexts of a document by id and the periods they fall in. Each context goes to
// the period of its own identifier, year and month, whatever the order they come in;
// look-ups cost the same however many contexts there are.
class TabellaPeriodi {
public:
    // False when a context of that id is already there.
    bool aggiungi(const QString& id, const QString& identificativo, const QDate& data);
    // Null when no context has that id.
    const ContestoXbrl* contesto(const QString& id) const;
    const std::deque<RigaTabellaPeriodi>& righe() const { return m_righe; }
    void clear();

private:
    QHash<QString, ContestoXbrl> m_contesti;
    QHash<QString, RigaTabellaPeriodi*> m_perChiave;
    std::deque<RigaTabellaPeriodi> m_righe;  // stable addresses
};
