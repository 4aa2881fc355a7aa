#pragma once
#include "platform/db/Recordset.h"
#include <QString>

class ctlVevAre;

// The opening and the closing that every posting engine wraps around its values: the
// transaction, the period number (new, the only one, or one the user overwrites), the
// removal of what an overwritten period held, and the period record with the commit.
// The engines differ only in the details chosen by Motore.
class PeriodoImportazione {
public:
    enum class Motore {
        Base,   // existence by record set; literals of the value as given
        Kadro,  // existence by a count; literals of the trimmed value
        CEE,    // as Kadro, with its own question and the period list limited to the year
    };

    PeriodoImportazione(ctlVevAre& screen, Motore motore);

    // A value made ready to follow "=" in the engine's statements.
    static QString literale(const QString& valore, bool apiciSQL);
    QString lit(const QString& valore) const { return literale(valore, m_motore == Motore::Base); }

    // Begins the transaction and sets the screen's m_Periodo, asking before it overwrites.
    void Apri(const QString& ditta, const QString& anno, qint16 mese);
    // The existence test stays open until the opening ends; a failure closes it here.
    void ChiudiVerifica();
    // Writes or refreshes the period record, records where its values came from, and commits.
    void Chiudi(const QString& ditta, const QString& anno, qint16 mese, const QString& valuta);

private:
    // True when the user overwrites a stored period, false for a new number.
    bool ScegliPeriodo(const QString& ditta, const QString& anno, qint16 mese);
    QString ElencoPeriodi(const QString& ditta, const QString& anno);
    void Cancella(const QString& ditta, const QString& anno, qint16 mese);
    void RegistraProvenienza(const QString& ditta, const QString& anno, qint16 mese, const QString& valuta);

    ctlVevAre& m_screen;
    Motore m_motore;
    Recordset m_verifica;
};
