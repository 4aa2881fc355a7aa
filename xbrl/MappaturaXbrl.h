#pragma once
#include <QHash>
#include <QSet>
#include <QString>

class Connection;
struct Tassonomia;

// What the fact walk looks up for every fact, read once per run: none of these tables
// changes while a document is imported. Each look-up gives what the single-row query
// of the same condition gives (the first row the database returns).
class MappaturaXbrl {
public:
    struct Voce {
        QString label;
        QString saldo;
        QString conto;  // account of the taxonomy's chart
    };

    void carica(Connection& connessione, const Tassonomia& tassonomia);
    bool caricata() const { return m_caricata; }

    // Mapping of an element id ("itcc-ci_..."), null when it has none.
    const Voce* voce(const QString& id) const;
    // QD02_TIPORIGA of a schema item and QD15_SEZIONE of an account, empty when absent.
    QString tipoRiga(const QString& voce) const { return m_tipiRiga.value(voce); }
    QString sezione(const QString& conto) const { return m_sezioni.value(conto); }
    // The accounts a grouped line of the short forms totals (its parts at every level);
    // empty for an account that totals nothing.
    QSet<QString> parti(const QString& conto) const { return m_parti.value(conto); }

private:
    bool m_caricata = false;
    QHash<QString, Voce> m_voci;
    QHash<QString, QString> m_tipiRiga;
    QHash<QString, QString> m_sezioni;
    QHash<QString, QSet<QString>> m_parti;
};
