#include "xbrl/PeriodoXbrl.h"
#include "selection/SceltaPeriodo.h"
#include "platform/db/Connection.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include "xbrl/SchermoXbrl.h"
#include "xbrl/TabellaPeriodi.h"
#include "xbrl/Tassonomia.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

// A run whose boxes are scripted (a command line that ran out of answers) must not
// ask for ever; a person gives up long before.
constexpr int kMassimoRichieste = 100;

}  // namespace

PeriodoXbrl::PeriodoXbrl(SchermoXbrl& schermo, const Tassonomia& tassonomia, const QString& unita)
    : m_schermo(schermo), m_tassonomia(tassonomia), m_unita(unita)
{
}

void PeriodoXbrl::prepara(RigaTabellaPeriodi& riga, const QString& ditta)
{
    const QString anno = QString::number(riga.anno);
    const qint16 mese = riga.mese;
    Connection& conn = m_schermo.global().Database().Connection();

    // Another import of the company waits until this one ends: both never take one period.
    conn.lockCompany(ditta);
    riga.periodo = scegliPeriodo(ditta, anno, mese);
    riga.cambio = cambio(riga, ditta, anno, mese);
    m_schermo.setCambio(riga.cambio);
    registraPeriodo(ditta, anno, mese, riga.periodo, riga.cambio);

    conn.Esegui(QStringLiteral("Insert into QD07_VALORIPDC (QD07_CODICEDITTA_QD05, QD07_CODICECONTO, QD07_ANNO, QD07_MESE, "
                                   "QD07_VALORE, QD07_RETTIFICA, QD07_VALOREORIGINALE, QD07_VALOREINVALUTA, QD07_NPERIODO) "
                                   "Select ?,QD15_CODICECONTO,?,?,0,0,0,0,? FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04 = ?"),
                    {vb::Trim(ditta), anno, int(mese), int(vb::CInt(riga.periodo)), vb::Trim(m_tassonomia.versione)});
    riga.preparata = true;
}

QString PeriodoXbrl::scegliPeriodo(const QString& ditta, const QString& anno, qint16 mese)
{
    Connection& conn = m_schermo.global().Database().Connection();
    const int presenti = conn.Leggi(QStringLiteral("SELECT Count(*) FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05=? AND "
                                                   "QD07_ANNO=? AND QD07_MESE=?"),
                                    {vb::Trim(ditta), anno, int(mese)})
                             .toInt();
    if (presenti < 1) return QStringLiteral("1");

    Dialogs& dialogs = m_schermo.dialogs();
    const int risposta = dialogs.MsgBox(QStringLiteral("Valori gia' presenti per ") + CrLf + QStringLiteral("il periodo ") +
                                            anno + QLatin1Char('/') + QString::number(mese) + QStringLiteral("  , Ricopro ?"),
                                        vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, m_schermo.titoloFinestra());
    if (risposta != vb::vbYes) {
        // A new period beside the stored ones: nothing is deleted.
        const QString periodo = QString::number(m_schermo.NuovoPeriodo(ditta, anno, mese));
        dialogs.MsgBox(QStringLiteral("Periodo assegnato n° : ") + periodo, vb::vbInformation,
                       QStringLiteral("Importazione dati di bilancio"));
        return periodo;
    }

    const qint16 ultimo = qint16(m_schermo.NuovoPeriodo(ditta, anno, mese) - 1);
    const QString periodo = ultimo != 1 ? periodoDaRicoprire(ditta, anno, ultimo) : QStringLiteral("1");
    auto cancella = [&](const QString& tabella, const QString& prefisso) {
        conn.Esegui(QStringLiteral("DELETE FROM ") + tabella + QStringLiteral(" WHERE ") + prefisso +
                        QStringLiteral("_CODICEDITTA_QD05=? AND ") + prefisso + QStringLiteral("_ANNO = ? AND ") + prefisso +
                        QStringLiteral("_MESE = ? AND ") + prefisso + QStringLiteral("_NPERIODO = ?"),
                    {vb::Trim(ditta), anno, int(mese), int(vb::CInt(periodo))});
    };
    cancella(QStringLiteral("QD07_VALORIPDC"), QStringLiteral("QD07"));
    cancella(QStringLiteral("QD78_FOOTNOTE"), QStringLiteral("QD78"));
    return periodo;
}

QString PeriodoXbrl::periodoDaRicoprire(const QString& ditta, const QString& anno, qint16 ultimo)
{
    // Every period of the year, whatever its month.
    QString elenco;
    for (const QStringList& r :
         m_schermo.global().Database().Connection().Righe(QStringLiteral("Select QD21_NPERIODO, QD21_DESCRIZIONE from QD21_PERVALUTA WHERE "
                                       "QD21_CODICEDITTA_QD05 = ? and QD21_ANNO = ?"),
                        {vb::Trim(ditta), anno}))
        elenco += QStringLiteral("N° ") + vb::Trim(r.at(0) + QLatin1Char(' ') + vb::Trim(r.at(1))) + CrLf;

    const QString domanda = QStringLiteral("Selezionare il periodo da ricoprire : ") + CrLf + elenco;
    return QString::number(SceltaPeriodo(m_schermo.dialogs(), domanda, ultimo));
}

double PeriodoXbrl::cambio(const RigaTabellaPeriodi& riga, const QString& ditta, const QString& anno, qint16 mese)
{
    if (riga.cambio != 0) return riga.cambio;
    double cambio = m_schermo.CambioPeriodo(ditta, anno, QString::number(mese));
    if (cambio != 0) return cambio;
    const QString base = m_schermo.global().ValutaBase();
    if (base == m_unita) return 1;

    const QString domanda = QStringLiteral("Digitare il cambio per il periodo ") + QString::number(mese) + QLatin1Char('/') +
                            anno + QStringLiteral(" da applicare per la conversione ") + vb::Trim(m_unita) +
                            QStringLiteral(" ==> ") + vb::Trim(base) + QStringLiteral(" : ");
    // As the automatic imports ask: the box shows how the rate typed is read, an answer
    // that is no number asks again, and one far from the proposed rate must be confirmed.
    for (int volte = 0; cambio == 0 && volte < kMassimoRichieste; ++volte) {
        const double proposto = m_schermo.GetCambioRSS(riga.anno, mese, m_unita);
        const QString risposta = m_schermo.dialogs().InputLetto(
            domanda, QStringLiteral("Richiesta cambio valuta"), vb::CStr(proposto),
            [this](const QString& testo) { return m_schermo.letturaCambio(testo); });
        cambio = vb::IsNumeric(risposta) ? vb::CDbl(risposta) : 0;
        if (cambio != 0 && !m_schermo.ConfermaCambio(cambio, proposto)) cambio = 0;
    }
    if (cambio == 0) throw AppError(5, QStringLiteral("Nessun cambio indicato per il periodo %1/%2").arg(mese).arg(anno));
    return cambio;
}

void PeriodoXbrl::registraPeriodo(const QString& ditta, const QString& anno, qint16 mese, const QString& periodo,
                                  double cambio)
{
    if (mese < 1 || mese > 12) throw AppError(9, QStringLiteral("Indice non compreso nell'intervallo"));
    const bool consolidato = m_tassonomia.consolidato();
    const QString descrizione = (consolidato ? QStringLiteral("Bilancio Consolidato ") : QString()) +
                                m_schermo.nomeMese(mese) + QLatin1Char('/') + anno + QStringLiteral(" (Periodo n° ") +
                                vb::Trim(periodo) + QLatin1Char(')');
    Connection& conn = m_schermo.global().Database().Connection();
    const QString chiave = QStringLiteral(" WHERE QD21_CODICEDITTA_QD05 = ? AND QD21_ANNO = ? AND QD21_MESE = ? AND QD21_NPERIODO = ?");
    const QVariantList valoriChiave{ditta, vb::Trim(anno), int(mese), int(vb::CInt(periodo))};
    if (conn.Leggi(QStringLiteral("SELECT COUNT(*) FROM QD21_PERVALUTA") + chiave, valoriChiave).toInt() == 0)
        conn.Esegui(QStringLiteral("INSERT INTO QD21_PERVALUTA (QD21_CODICEDITTA_QD05, QD21_ANNO, QD21_MESE, QD21_NPERIODO) "
                                   "VALUES (?, ?, ?, ?)"),
                    valoriChiave);
    conn.Esegui(QStringLiteral("UPDATE QD21_PERVALUTA SET QD21_VALUTA = ?, QD21_DESCRIZIONE = ?, QD21_STORICO = 1, "
                               "QD21_CAMBIO = ?, QD21_CONSOLIDATO = ?") +
                    chiave,
                QVariantList{conn.Taglia(QStringLiteral("QD21_PERVALUTA"), QStringLiteral("QD21_VALUTA"), m_unita),
                             conn.Taglia(QStringLiteral("QD21_PERVALUTA"), QStringLiteral("QD21_DESCRIZIONE"), descrizione),
                             cambio, consolidato ? 1 : 0} +
                    valoriChiave);
}
