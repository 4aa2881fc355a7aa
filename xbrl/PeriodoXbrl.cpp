#include "xbrl/PeriodoXbrl.h"
#include "platform/db/Recordset.h"
#include "platform/host/CGlobal.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include "xbrl/SchermoXbrl.h"
#include "xbrl/TabellaPeriodi.h"
#include "xbrl/Tassonomia.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

// A company code between apostrophes; codes come from the database and are doubled
// like any literal.
QString lit(const QString& testo) { return StringaSQL(ApiciSQL(testo)); }

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
    const QString anno = riga.anno ? QString::number(*riga.anno) : QString();
    const qint16 mese = riga.mese;
    Connection& conn = m_schermo.global().Database().Connection();

    // Another import of the company waits until this one ends: both never take one period.
    conn.lockCompany(ditta);
    riga.periodo = scegliPeriodo(ditta, anno, mese);
    riga.cambio = cambio(riga, ditta, anno, mese);
    m_schermo.setCambio(riga.cambio);
    registraPeriodo(ditta, anno, mese, riga.periodo, riga.cambio);

    conn.Execute(QStringLiteral("Insert into QD07_VALORIPDC (QD07_CODICEDITTA_QD05, QD07_CODICECONTO, QD07_ANNO, QD07_MESE, "
                                "QD07_VALORE, QD07_RETTIFICA, QD07_VALOREORIGINALE, QD07_VALOREINVALUTA, QD07_NPERIODO) "
                                "Select ") +
                 lit(vb::Trim(ditta)) + QStringLiteral(",QD15_CODICECONTO,'") + anno + QStringLiteral("',") +
                 QString::number(mese) + QStringLiteral(",0,0,0,0,") + riga.periodo +
                 QStringLiteral(" FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04 = '") + vb::Trim(m_tassonomia.versione) +
                 QLatin1Char('\''));
    riga.preparata = true;
}

QString PeriodoXbrl::scegliPeriodo(const QString& ditta, const QString& anno, qint16 mese)
{
    const QString condizione = QStringLiteral(" WHERE QD07_CODICEDITTA_QD05=") + lit(vb::Trim(ditta)) +
                               QStringLiteral(" AND QD07_ANNO=") + StringaSQL(anno) + QStringLiteral(" AND QD07_MESE=") +
                               QString::number(mese);
    const qint32 presenti =
        vb::CLng(m_schermo.global().Utility().LeggiCampo(QStringLiteral("QD07_VALORIPDC"), QStringLiteral("Count(*)"), condizione));
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
    Connection& conn = m_schermo.global().Database().Connection();
    auto cancella = [&](const QString& tabella, const QString& prefisso) {
        conn.Execute(QStringLiteral("DELETE FROM ") + tabella + QStringLiteral(" WHERE ") + prefisso +
                     QStringLiteral("_CODICEDITTA_QD05=") + lit(vb::Trim(ditta)) + QStringLiteral(" AND ") + prefisso +
                     QStringLiteral("_ANNO = '") + anno + QStringLiteral("' AND ") + prefisso + QStringLiteral("_MESE = ") +
                     QString::number(mese) + QStringLiteral(" AND ") + prefisso + QStringLiteral("_NPERIODO = ") + periodo);
    };
    cancella(QStringLiteral("QD07_VALORIPDC"), QStringLiteral("QD07"));
    cancella(QStringLiteral("QD78_FOOTNOTE"), QStringLiteral("QD78"));
    return periodo;
}

QString PeriodoXbrl::periodoDaRicoprire(const QString& ditta, const QString& anno, qint16 ultimo)
{
    // Every period of the year, whatever its month.
    Recordset rs;
    rs.Open(QStringLiteral("Select * from QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = ") + lit(vb::Trim(ditta)) +
                QStringLiteral(" and QD21_ANNO = '") + anno + QLatin1Char('\''),
            m_schermo.global().Database().Connection(), Recordset::adOpenForwardOnly, Recordset::adLockReadOnly);
    QString elenco;
    for (; !rs.Eof(); rs.MoveNext())
        elenco += QStringLiteral("N° ") +
                  vb::Trim(vb::CStr(rs.value(QStringLiteral("QD21_NPERIODO"))) + QLatin1Char(' ') +
                           vb::Trim(vb::CStr(rs.value(QStringLiteral("QD21_DESCRIZIONE"))))) +
                  CrLf;
    rs.Close();

    const QString domanda = QStringLiteral("Selezionare il periodo da ricoprire : ") + CrLf + elenco;
    for (int volte = 0; volte < kMassimoRichieste; ++volte) {
        // A cancelled box (the empty text) asks again, as does any answer out of range.
        const QString risposta =
            m_schermo.dialogs().InputBox(domanda, QStringLiteral("Selezione Periodo"), QStringLiteral("1"));
        if (!vb::IsNumeric(risposta)) continue;
        const double valore = vb::CDbl(risposta);
        if (valore >= 1 && valore <= ultimo) return risposta;
    }
    throw AppError(5, QStringLiteral("Nessun periodo scelto"));
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
    while (cambio == 0) {
        const double proposto = m_schermo.GetCambioRSS(riga.anno.value_or(0), mese, m_unita);
        // An answer that is no number is an error of the import.
        cambio = vb::CDbl(m_schermo.dialogs().InputBox(domanda, QStringLiteral("Richiesta cambio valuta"), vb::CStr(proposto)));
    }
    return cambio;
}

void PeriodoXbrl::registraPeriodo(const QString& ditta, const QString& anno, qint16 mese, const QString& periodo,
                                  double cambio)
{
    if (mese < 1 || mese > 12) throw AppError(9, QStringLiteral("Indice non compreso nell'intervallo"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM QD21_PERVALUTA WHERE") + QStringLiteral("  QD21_CODICEDITTA_QD05 = ") + lit(ditta) +
                QStringLiteral("  AND QD21_ANNO = ") + lit(vb::Trim(anno)) + QStringLiteral("  AND QD21_MESE = ") +
                QString::number(mese) + QStringLiteral(" AND QD21_NPERIODO = ") + vb::Trim(periodo),
            m_schermo.global().Database().Connection(), Recordset::adOpenStatic, Recordset::adLockOptimistic);
    if (rs.Eof()) {
        rs.AddNew();
        rs.setValue(QStringLiteral("QD21_CODICEDITTA_QD05"), ditta);
        rs.setValue(QStringLiteral("QD21_ANNO"), anno);
        rs.setValue(QStringLiteral("QD21_MESE"), int(mese));
        rs.setValue(QStringLiteral("QD21_NPERIODO"), int(vb::CInt(periodo)));
    }
    const bool consolidato = m_tassonomia.consolidato();
    const QString descrizione = (consolidato ? QStringLiteral("Bilancio Consolidato ") : QString()) +
                                m_schermo.nomeMese(mese) + QLatin1Char('/') + anno + QStringLiteral(" (Periodo n° ") +
                                vb::Trim(periodo) + QLatin1Char(')');
    rs.setValue(QStringLiteral("QD21_VALUTA"), m_unita);
    rs.setValue(QStringLiteral("QD21_DESCRIZIONE"), descrizione);
    rs.setValue(QStringLiteral("QD21_STORICO"), true);
    rs.setValue(QStringLiteral("QD21_CAMBIO"), cambio);
    rs.setValue(QStringLiteral("QD21_CONSOLIDATO"), consolidato);
    rs.Update();
    rs.Close();
}
