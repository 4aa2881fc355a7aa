#pragma once
#include <QString>

class SchermoXbrl;
struct RigaTabellaPeriodi;
struct Tassonomia;

// Readies a period-table row before its first fact: the period number (asking before
// stored values are overwritten), the rate, the period record and a zero value for
// every account of the taxonomy's chart.
class PeriodoXbrl {
public:
    PeriodoXbrl(SchermoXbrl& schermo, const Tassonomia& tassonomia, const QString& unita);

    void prepara(RigaTabellaPeriodi& riga, const QString& ditta);

private:
    QString scegliPeriodo(const QString& ditta, const QString& anno, qint16 mese);
    QString periodoDaRicoprire(const QString& ditta, const QString& anno, qint16 ultimo);
    double cambio(const RigaTabellaPeriodi& riga, const QString& ditta, const QString& anno, qint16 mese);
    void registraPeriodo(const QString& ditta, const QString& anno, qint16 mese, const QString& periodo, double cambio);

    SchermoXbrl& m_schermo;
    const Tassonomia& m_tassonomia;
    QString m_unita;
};
