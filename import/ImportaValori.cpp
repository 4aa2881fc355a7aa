#include "control/ctlVevAre.h"
#include "import/PeriodoImportazione.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ListControl.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/TextFile.h"
#include "platform/runtime/Valori.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <algorithm>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString SenzaDescrizione = QStringLiteral("*** CONTO SENZA DESCRIZIONE ***");
const QString DescrizioneNuovo = QStringLiteral("**********");

// Pending user-interface events run at most this often during a long import.
constexpr qint64 IntervalloEventiMs = 20;

QString taglia(const QString& testo, int dimensione)
{
    return dimensione > 0 && testo.size() > dimensione ? testo.left(dimensione) : testo;
}

// The amount text as a fixed-point number, 0 when it is not numeric. The text is read
// once: only a text that is no number makes CCur fail with a type mismatch.
Currency importoOZero(const QString& testo)
{
    try {
        return vb::CCur(testo);
    } catch (const AppError& e) {
        if (e.number() != AppError::typeMismatch().number()) throw;
        return Currency();
    }
}

// 1 ÷ the exchange rate; a rate of 0 is the platform's division error.
double fattoreCambio(double cambio)
{
    if (cambio == 0) throw AppError::divisionByZero();
    return 1 / cambio;
}

// Position and character range of a layout slot. The cut clamps the numbers it is
// given, so every cut works on a copy and the layout stays as read.
struct Slot {
    qint16 position = 0;
    qint16 fromCol = 0;
    qint16 toCol = 0;
};

}  // namespace

QString ctlVevAre::PulisciRiga(const QString& riga)
{
    // One pass to find out whether there is anything to remove: usually there is not.
    if (std::none_of(riga.cbegin(), riga.cend(), [](QChar c) { return c == QChar(10) || c == QChar(12); })) return riga;
    QString pulita = riga;
    pulita.remove(QChar(10));
    pulita.remove(QChar(12));
    return pulita;
}

void ctlVevAre::ImportaValori()
{
    Connection& conn = m_CGlobal->Database().Connection();
    PeriodoImportazione periodo(*this, PeriodoImportazione::Motore::Base);
    Recordset rsPdc, rsValori;
    TextFile file;
    QString riga;      // the line being posted, for the error log
    qint64 numero = 0;  // its number in the file; 0 when no line is being posted

    try {
        const QString ragioneSociale = vb::Trim(cmbDitte->text());
        periodo.Apri(m_CodiceDitta, m_Anno, m_Mese);

        rsPdc.Open(QStringLiteral("SELECT * FROM QD15_DEFPDC ") + QStringLiteral("WHERE QD15_CODICEPDC_QD04=") +
                       periodo.lit(m_CodicePDC) + QStringLiteral(" ") + QStringLiteral("ORDER BY QD15_CODICEPDC_QD04"),
                   conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
        rsValori.Open(QStringLiteral("QD07_VALORIPDC"), conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);

        // Ending early leaves nothing behind: the overwrite of the opening is undone too.
        if (m_NomeFile.isEmpty()) {
            rsPdc.Close();
            rsValori.Close();
            conn.RollbackTrans();
            return;
        }
        if (!file.open(m_WorkingFolder + QLatin1Char('\\') + m_NomeFile)) {
            dialogs().MsgBox(QStringLiteral("Impossibile Aprire ") + CrLf + QStringLiteral("il file da importare !!"),
                             vb::vbCritical, captionTitle());
            rsPdc.Close();
            rsValori.Close();
            conn.RollbackTrans();
            return;
        }
        qint64 letta = 0;
        try {
            for (int i = 1; i < m_PrimaRiga && !file.atEnd(); ++i) {
                file.readLine();
                ++letta;
            }
        } catch (...) {
        }

        // What stays the same for the whole run is worked out once.
        const QString valutaBase = m_CGlobal->ValutaBase();
        const bool converti = valutaBase != m_Valuta;
        const bool delimitato = !m_Separatore.isEmpty();
        const int dimContoValori = rsValori.DefinedSize(QStringLiteral("QD07_CODICECONTO"));
        const int dimContoPdc = rsPdc.DefinedSize(QStringLiteral("QD15_CODICECONTO"));
        const int dimDescrizione = rsPdc.DefinedSize(QStringLiteral("QD15_DESCRIZIONE"));
        const int dimSezione = rsPdc.DefinedSize(QStringLiteral("QD15_SEZIONE"));
        const QString dittaTrim = vb::Trim(m_CodiceDitta);
        const QString pdcSql = ApiciSQL(vb::Trim(m_CodicePDC));
        const QVariant vDitta(m_CodiceDitta), vAnno(m_Anno), vMese{int(m_Mese)}, vPeriodo{int(m_Periodo)};
        const QVariant vZero(0.0), vLivello(1);

        // Fields are set by position in the loop: names are looked up once.
        const int fDitta = rsValori.fieldIndex(QStringLiteral("QD07_CODICEDITTA_QD05"));
        const int fAnno = rsValori.fieldIndex(QStringLiteral("QD07_ANNO"));
        const int fMese = rsValori.fieldIndex(QStringLiteral("QD07_Mese"));
        const int fPeriodo = rsValori.fieldIndex(QStringLiteral("QD07_NPERIODO"));
        const int fConto = rsValori.fieldIndex(QStringLiteral("QD07_CODICECONTO"));
        const int fInValuta = rsValori.fieldIndex(QStringLiteral("QD07_VALOREINVALUTA"));
        const int fOriginale = rsValori.fieldIndex(QStringLiteral("QD07_VALOREORIGINALE"));
        const int fRettifica = rsValori.fieldIndex(QStringLiteral("QD07_RETTIFICA"));
        const int fPdcCodice = rsPdc.fieldIndex(QStringLiteral("QD15_CODICEPDC_QD04"));
        const int fPdcConto = rsPdc.fieldIndex(QStringLiteral("QD15_CODICECONTO"));
        const int fPdcDescrizione = rsPdc.fieldIndex(QStringLiteral("QD15_DESCRIZIONE"));
        const int fPdcLivello = rsPdc.fieldIndex(QStringLiteral("QD15_LIVELLO"));
        const int fPdcSezione = rsPdc.fieldIndex(QStringLiteral("QD15_SEZIONE"));

        auto slot = [this](int n) {
            const Colonna& c = m_Colonne->Item(n);
            return Slot{c.Position, c.FromCol, c.ToCol};
        };
        auto campo = [&](const Slot& s) {
            if (delimitato) {
                qint16 posizione = s.position;
                return EstraiCampo(riga, posizione);
            }
            qint16 da = s.fromCol, a = s.toCol;
            return EstraiCampo(riga, da, a);
        };
        const Slot slotConto = slot(1), slotImporto = slot(2), slotSezione = slot(8);
        const Slot slotAvere = m_DueColonne ? slot(3) : Slot{};
        const Slot slotDescrizione = !m_ConDescrizione ? Slot{} : m_DueColonne ? slot(4) : slot(3);

        auto anomalia = [&](const QString& conto, const QString& descrizione, const QString& sezione) {
            RigaAnomalia r;
            r[0] = dittaTrim;
            r[1] = ragioneSociale;
            r[2] = QStringLiteral("0");
            r[3] = conto;
            r[4] = vb::Trim(descrizione);
            r[5] = true;
            r[6] = false;
            r[7] = !vb::Trim(sezione).isEmpty();
            AggiungiAnomalia(r);
        };

        // Nothing in this engine writes correlations: they are counted for the whole chart
        // at once, when the first existing account asks.
        QHash<QString, qint64> correlazioni;
        bool contate = false;
        auto contaCorrelazioni = [&](const QString& conto) -> qint16 {
            if (!contate) {
                Recordset rs;
                rs.Open(QStringLiteral("Select QD03_CODICECONTO, count(*) as Tot from QD03_CORRELAZIONE WHERE "
                                       "QD03_CODICEPDC_QD04 = '") +
                            pdcSql + QStringLiteral("' GROUP BY QD03_CODICECONTO"),
                        conn);
                const int fCodice = rs.fieldIndex(QStringLiteral("QD03_CODICECONTO"));
                const int fTot = rs.fieldIndex(QStringLiteral("Tot"));
                correlazioni.reserve(rs.RecordCount());
                for (; !rs.Eof(); rs.MoveNext()) correlazioni.insert(rs.value(fCodice).toString(), rs.value(fTot).toLongLong());
                rs.Close();
                contate = true;
            }
            const auto n = correlazioni.constFind(conto);
            return n == correlazioni.constEnd() ? qint16(0) : vb::CInt(double(*n));
        };

        QElapsedTimer eventi;
        eventi.start();
        while (!file.atEnd()) {
            if (eventi.elapsed() >= IntervalloEventiMs) {
                QCoreApplication::processEvents();
                eventi.restart();
            }
            riga = PulisciRiga(file.readLine());
            numero = ++letta;
            if (riga.size() <= 1 || !VerificaRegole(riga)) continue;

            rsValori.AddNew();
            rsValori.setValue(fDitta, vDitta);
            rsValori.setValue(fAnno, vAnno);
            rsValori.setValue(fMese, vMese);
            rsValori.setValue(fPeriodo, vPeriodo);

            const QString conto = vb::Trim(campo(slotConto));
            QString lettera = campo(slotSezione);
            if (lettera == QLatin1String("0")) lettera = QStringLiteral(" ");
            if (conto.isEmpty()) {
                rsValori.CancelUpdate();
                continue;
            }
            const QString contoValori = taglia(conto, dimContoValori);
            rsValori.setValue(fConto, contoValori);

            QString descrizione;
            Currency originale, inValuta;
            if (!m_DueColonne) {
                QString importo = campo(slotImporto);
                if (m_ConDescrizione) descrizione = campo(slotDescrizione);
                inValuta = importoOZero(importo);
                if (converti) {
                    importo = vb::CStr(vb::CDbl(importo) * fattoreCambio(m_Cambio));
                    originale = importoOZero(importo);
                } else {
                    originale = inValuta;  // the same text, read the same way
                }
            } else {
                const QString dare = campo(slotImporto);
                const QString avere = campo(slotAvere);
                if (m_ConDescrizione) descrizione = campo(slotDescrizione);
                if (!vb::Trim(dare).isEmpty()) originale = importoOZero(dare);
                if (!vb::Trim(avere).isEmpty()) {
                    const Currency credito = importoOZero(avere);
                    originale = m_AvereNegativo ? originale - credito : originale + credito;
                }
                inValuta = originale;
                if (converti) originale = originale * fattoreCambio(m_Cambio);
            }
            rsValori.setValue(fInValuta, inValuta.toDouble());
            rsValori.setValue(fOriginale, originale.toDouble());

            if (vb::Trim(descrizione).isEmpty()) descrizione = SenzaDescrizione;
            rsValori.setValue(fRettifica, vZero);
            if (vb::Trim(lettera).isEmpty()) lettera = QStringLiteral(" ");
            const QString sezione = SezioneDaLettera(lettera, originale.toDouble());

            bool esistente = false;
            const QString contoPdc = taglia(conto, dimContoPdc);
            rsPdc.Filter(fPdcConto, contoPdc);
            if (rsPdc.Eof()) {
                rsPdc.AddNew();
                rsPdc.setValue(fPdcCodice, m_CodicePDC);
                rsPdc.setValue(fPdcConto, contoPdc);
                rsPdc.setValue(fPdcDescrizione, taglia(m_ConDescrizione ? descrizione : DescrizioneNuovo, dimDescrizione));
                rsPdc.setValue(fPdcLivello, vLivello);
                rsPdc.setValue(fPdcSezione, taglia(sezione, dimSezione));
                rsPdc.Update();
                anomalia(conto, m_ConDescrizione ? descrizione : QString(), sezione);
            } else if (m_ConDescrizione) {
                // The chart takes the file's description; an unchanged one needs no write.
                const QString nuova = taglia(descrizione, dimDescrizione);
                if (rsPdc.value(fPdcDescrizione).toString() != nuova) {
                    rsPdc.setValue(fPdcDescrizione, nuova);
                    rsPdc.Update();
                }
                esistente = true;
            }
            rsPdc.Filter(QString());
            rsValori.Update();

            if (esistente && contaCorrelazioni(conto) == 0) anomalia(conto, descrizione, sezione);

            InsertLog(contoValori, descrizione, vb::FormatIntero(originale.toDouble()), false, false);
        }

        numero = 0;
        file.close();
        rsValori.Close();
        VerificaQuadratura(m_CodiceDitta, m_Anno, m_Mese, m_Periodo);

        // Consecutive row numbers in record-set order; rows already numbered so are left alone.
        rsPdc.Requery();
        rsPdc.MoveFirst();
        for (qint32 numero = 1; !rsPdc.Eof(); ++numero, rsPdc.MoveNext()) {
            const QVariant attuale = rsPdc.value(QStringLiteral("QD15_NUMRIGA"));
            if (!attuale.isNull() && attuale.toLongLong() == numero) continue;
            rsPdc.setValue(QStringLiteral("QD15_NUMRIGA"), numero);
            rsPdc.Update();
        }
        rsPdc.Close();

        periodo.Chiudi(m_CodiceDitta, m_Anno, m_Mese, m_Valuta);
    } catch (...) {
        const AppError errore = AppError::fromCurrent();
        const QList<ConnectionError> errori = conn.Errors();
        // Nothing of a failed import may stay: whatever the cause, an open transaction is undone.
        const bool annulla = !errori.isEmpty() || conn.inTransaction();
        try {
            if (!errori.isEmpty()) {
                if (errori.first().source == QLatin1String("rs")) {
                    for (const ConnectionError& e : errori) {
                        InsertLog(QString(), QStringLiteral("** Error: ") + e.description, QString(), true, false);
                        InsertLog(QString(), riga, QString(), true, false);
                    }
                } else {
                    InsertLog(QString(), QStringLiteral("** Error: Impossibile aggiornare Anagrafica PDC"), QString(), true,
                              false);
                }
            }
            // In a file of a hundred thousand lines the user must find the one that stopped it.
            if (numero > 0)
                InsertLog(QString(), QStringLiteral("** Errore alla riga ") + QString::number(numero) + QStringLiteral(": ") + riga,
                          QString(), true, false);
        } catch (...) {
        }
        if (annulla) {
            for (Recordset* rs : {&rsValori, &rsPdc}) {
                if (!rs->isOpen()) continue;
                rs->CancelUpdate();
                rs->Close();
            }
            periodo.ChiudiVerifica();
            conn.RollbackTrans();
        }
        MostraErrore(errore);
    }
}
