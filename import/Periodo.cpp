#include "control/ctlVevAre.h"
#include "import/PeriodoImportazione.h"
#include "import/RiepilogoAutomatica.h"
#include "selection/SceltaPeriodo.h"
#include "model/Provenienza.h"
#include "platform/runtime/Paths.h"
#include "verify/EsitoQuadratura.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/Valori.h"

namespace {
const QString CrLf = QStringLiteral("\r\n");
}  // namespace

qint16 ctlVevAre::NuovoPeriodo(const QString& Ditta, const QString& Anno, qint16 Mese, bool apiciSQL)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT MaxPeriodo FROM qryMaxPeriodo WHERE QD07_CODICEDITTA_QD05=") +
                PeriodoImportazione::literale(Ditta, apiciSQL) + QStringLiteral(" AND QD07_ANNO=") +
                PeriodoImportazione::literale(Anno, apiciSQL) + QStringLiteral(" AND QD07_MESE=") + QString::number(Mese),
            m_CGlobal->Database().Connection(), Recordset::adOpenStatic, Recordset::adLockOptimistic);
    qint16 periodo = 1;
    if (!rs.Eof()) periodo = vb::CInt(vb::CDbl(rs.value(QStringLiteral("MaxPeriodo"))) + 1);
    rs.Close();
    return periodo;
}

PeriodoImportazione::PeriodoImportazione(ctlVevAre& screen, Motore motore) : m_screen(screen), m_motore(motore) {}

QString PeriodoImportazione::literale(const QString& valore, bool apiciSQL)
{
    return StringaSQL(apiciSQL ? valore : vb::Trim(valore));
}

void PeriodoImportazione::Apri(const QString& ditta, const QString& anno, qint16 mese)
{
    Connection& conn = m_screen.m_CGlobal->Database().Connection();
    const QString condizione = QStringLiteral(" WHERE QD07_CODICEDITTA_QD05=") + lit(ditta) + QStringLiteral(" AND QD07_ANNO=") +
                               lit(anno) + QStringLiteral(" AND QD07_MESE=") + QString::number(mese);
    // The transaction begins before the test for stored values, holding the lock that
    // keeps a second import of the company waiting: the test then sees what the first
    // one committed, and two imports never take the same period number.
    const int puntatore = m_screen.MousePointer();
    m_screen.setHourglass(true);
    conn.BeginTrans();
    m_screen.setHourglass(puntatore != 0);
    conn.lockCompany(ditta);

    bool presenti;
    if (m_motore == Motore::Base) {
        m_verifica.Open(QStringLiteral("SELECT * FROM QD07_VALORIPDC") + condizione, conn, Recordset::adOpenStatic,
                        Recordset::adLockBatchOptimistic);
        presenti = !m_verifica.Eof();
    } else {
        const qint32 valori = vb::CLng(m_screen.m_CGlobal->Utility().LeggiCampo(
            QStringLiteral("QD07_VALORIPDC"), QStringLiteral("Count(*)"), condizione));
        presenti = valori > 0;
    }

    if (presenti) {
        // Only a period being overwritten loses its content; a new number holds nothing.
        if (ScegliPeriodo(ditta, anno, mese)) Cancella(ditta, anno, mese);
    } else {
        m_screen.m_Periodo = 1;
    }
    ChiudiVerifica();
}

void PeriodoImportazione::ChiudiVerifica()
{
    if (m_verifica.isOpen()) m_verifica.Close();
}

bool PeriodoImportazione::ScegliPeriodo(const QString& ditta, const QString& anno, qint16 mese)
{
    Dialogs& dialogs = m_screen.dialogs();
    const bool apici = m_motore == Motore::Base;
    const QString domanda =
        m_motore == Motore::CEE
            ? QStringLiteral("Valori gia' presenti per ") + CrLf + QStringLiteral("il periodo ") + QString::number(mese) +
                  QLatin1Char('/') + anno + QStringLiteral(" , Ricopro ?")
            : QStringLiteral("Valori gia' presenti per ") + CrLf + QStringLiteral("questo periodo, Ricopro ?");
    const int risposta =
        dialogs.MsgBox(domanda, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, m_screen.captionTitle());

    if (risposta != vb::vbYes) {
        // A new period: the deletions that follow find nothing under its number.
        m_screen.m_Periodo = m_screen.NuovoPeriodo(ditta, vb::Trim(anno), mese, apici);
        dialogs.MsgBox(QStringLiteral("Periodo assegnato n° : ") + QString::number(m_screen.m_Periodo), vb::vbInformation,
                       QStringLiteral("Importazione dati di bilancio"));
        return false;
    }

    const qint16 ultimo = qint16(m_screen.NuovoPeriodo(ditta, vb::Trim(anno), mese, apici) - 1);
    if (ultimo == 1) {
        m_screen.m_Periodo = 1;
        return true;
    }
    const QString prompt = QStringLiteral("Selezionare il periodo da ricoprire : ") + CrLf + ElencoPeriodi(ditta, anno);
    m_screen.m_Periodo = SceltaPeriodo(dialogs, prompt, ultimo);
    return true;
}

QString PeriodoImportazione::ElencoPeriodi(const QString& ditta, const QString& anno)
{
    QString sql = QStringLiteral("Select * from QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = ") + StringaSQL(vb::Trim(ditta));
    if (m_motore == Motore::CEE) sql += QStringLiteral(" AND QD21_ANNO = ") + StringaSQL(anno);

    Recordset rs;
    rs.Open(sql, m_screen.m_CGlobal->Database().Connection());
    QString elenco;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString voce = vb::CStr(rs.value(QStringLiteral("QD21_NPERIODO"))) + QLatin1Char(' ') +
                             vb::Trim(vb::CStr(rs.value(QStringLiteral("QD21_DESCRIZIONE"))));
        elenco += QStringLiteral("N° ") + vb::Trim(voce) + CrLf;
    }
    rs.Close();
    return elenco;
}

void PeriodoImportazione::Cancella(const QString& ditta, const QString& anno, qint16 mese)
{
    Connection& conn = m_screen.m_CGlobal->Database().Connection();
    const QString mesePeriodo = QString::number(mese);
    const QString periodo = QString::number(m_screen.m_Periodo);
    conn.Execute(QStringLiteral("DELETE FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05=") + lit(ditta) +
                 QStringLiteral(" AND QD07_ANNO=") + lit(anno) + QStringLiteral(" AND QD07_MESE=") + mesePeriodo +
                 QStringLiteral(" AND QD07_NPERIODO = ") + periodo);
    conn.Execute(QStringLiteral("DELETE FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05=") + lit(ditta) +
                 QStringLiteral(" AND QD21_ANNO=") + lit(anno) + QStringLiteral(" AND QD21_MESE=") + mesePeriodo +
                 QStringLiteral(" AND QD21_NPERIODO = ") + periodo);
}

void PeriodoImportazione::Chiudi(const QString& ditta, const QString& anno, qint16 mese, const QString& valuta)
{
    Connection& conn = m_screen.m_CGlobal->Database().Connection();
    const qint16 periodo = m_screen.m_Periodo;
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM QD21_PERVALUTA WHERE") + QStringLiteral("  QD21_CODICEDITTA_QD05 = ") + lit(ditta) +
                QStringLiteral("  AND QD21_ANNO = ") + lit(anno) + QStringLiteral("  AND QD21_MESE = ") +
                QString::number(mese) + QStringLiteral(" AND QD21_NPERIODO = ") + QString::number(periodo),
            conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    if (rs.RecordCount() > 0) {
        rs.MoveFirst();
    } else {
        rs.AddNew();
        rs.setValue(QStringLiteral("QD21_CODICEDITTA_QD05"), ditta);
        rs.setValue(QStringLiteral("QD21_ANNO"), anno);
        rs.setValue(QStringLiteral("QD21_MESE"), int(mese));
        rs.setValue(QStringLiteral("QD21_NPERIODO"), int(periodo));
    }
    if (mese < 1 || mese > m_screen.m_Mesi.size())
        throw AppError(9, QStringLiteral("Indice non compreso nell'intervallo"));
    rs.setValue(QStringLiteral("QD21_VALUTA"), valuta);
    rs.setValue(QStringLiteral("QD21_DESCRIZIONE"), m_screen.m_Mesi[mese - 1] + QLatin1Char('/') + anno +
                                                        QStringLiteral(" (Periodo n° ") + QString::number(periodo) +
                                                        QLatin1Char(')'));
    rs.setValue(QStringLiteral("QD21_STORICO"), true);
    rs.setValue(QStringLiteral("QD21_CAMBIO"), m_screen.m_Cambio);
    rs.Update();
    rs.Close();
    RegistraProvenienza(ditta, anno, mese, valuta);
    CommitImportazione(conn, {PeriodoDaControllare(periodo, mese, anno)});
    emit m_screen.ImportazioneSalvata(ditta, anno, mese, periodo);
}

void PeriodoImportazione::RegistraProvenienza(const QString& ditta, const QString& anno, qint16 mese, const QString& valuta)
{
    Provenienza p;
    p.ditta = ditta;
    p.anno = anno;
    p.mese = mese;
    p.periodo = m_screen.m_Periodo;
    p.tipo = m_motore == Motore::Kadro ? Provenienza::Kadro : m_motore == Motore::CEE ? Provenienza::CEE : Provenienza::Testo;
    p.file = Paths::resolve(m_screen.m_WorkingFolder + QLatin1Char('\\') + m_screen.m_NomeFile);
    p.definizione = m_screen.m_CodImportazione;
    p.valuta = valuta;
    p.cambio = m_screen.m_Cambio;
    // The check of the period has just run on these values.
    const EsitoQuadratura esito = m_screen.m_QuadraturaVerificata ? EsitoQuadratura::di(*m_screen.m_Quadratura)
                                                                  : EsitoQuadratura{EsitoQuadratura::NonVerificata, 0, {}};
    p.quadratura = esito.testo();
    p.differenza = esito.differenza;
    Provenienza::registra(*m_screen.m_CGlobal, p);
}
