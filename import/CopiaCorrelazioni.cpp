#include "control/ctlVevAre.h"
#include "platform/db/Recordset.h"
#include "platform/host/CGlobal.h"
#include "platform/host/SqlText.h"
#include "platform/host/Utility.h"
#include "platform/runtime/Valori.h"

namespace {

// A number as the database reads a written one, whatever the user's decimal separator; a
// stored value that is no number is written as NULL, never as it stands.
QVariant numero(const QVariant& v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    return v.isNull() || !ok ? QVariant() : QVariant(QString::number(d, 'g', 15));
}

// Codes come from data files: an apostrophe in one is doubled, never the end of the text.
QString testo(const QString& t) { return StringaSQL(t); }

}  // namespace

// A failing statement or host call is skipped and the copy goes on; on PostgreSQL each
// runs under a savepoint, so that the import's transaction survives it.
bool ctlVevAre::CopiaCorrelazioni(const QString& pdc, const QString& conto, const QString& modello, const QString& lettera)
{
    Connection& conn = m_CGlobal->Database().Connection();
    Utility& utility = m_CGlobal->Utility();
    const QString chart = testo(pdc);
    const auto esegui = [&conn](const QString& sql, const QVariantList& valori = {}) {
        conn.tenta([&] { valori.isEmpty() ? conn.Execute(sql) : conn.Esegui(sql, valori); });
    };

    esegui(QStringLiteral("Delete from QD03_CORRELAZIONE Where QD03_CODICEPDC_QD04 = ") + chart +
           QStringLiteral(" and QD03_CODICECONTO = ") + testo(vb::Trim(conto)));

    // The model's rows are read whole before any insert: the copy never reads itself.
    std::vector<QVariantList> righe;
    const auto leggi = [&](const QString& sql, const QStringList& colonne) {
        righe.clear();
        conn.tenta([&] {
            Recordset rs;
            rs.Open(sql, conn);
            for (; !rs.Eof(); rs.MoveNext()) {
                QVariantList r;
                for (const QString& c : colonne) r << rs.value(c);
                righe.push_back(r);
            }
            rs.Close();
        });
        return !righe.empty();
    };
    if (!leggi(QStringLiteral("Select * from QD03_CORRELAZIONE Where QD03_CODICEPDC_QD04 = ") + chart +
                   QStringLiteral(" and QD03_CODICECONTO = ") + testo(vb::Trim(modello)),
               {QStringLiteral("QD03_CODICEPDC_QD04"), QStringLiteral("QD03_CODICESCHEMA_QD02"), QStringLiteral("QD03_DAREAVERE"),
                QStringLiteral("QD03_NUMRIGA"), QStringLiteral("QD03_PERCENTUALE")}))
        return false;  // the cash-flow correlations are not touched

    const QString contoFlag = !modello.isEmpty() ? vb::Trim(modello) : vb::Trim(conto);
    bool ar = false, op = false;
    for (const QVariantList& r : righe) {
        const QString pdcRiga = vb::CStr(r[0]), schema = vb::CStr(r[1]), lato = vb::CStr(r[2]);
        // A flag that cannot be computed keeps its previous value.
        try {
            ar = utility.CalcolaCorrAR(pdcRiga, schema, contoFlag, lato, vb::CInt(r[3]));
        } catch (...) {
        }
        try {
            op = utility.CalcolaCorrOP(pdcRiga, schema, contoFlag, lato, vb::CInt(r[3]));
        } catch (...) {
        }
        esegui(QStringLiteral("Insert into QD03_CORRELAZIONE (QD03_CODICEPDC_QD04,QD03_CODICECONTO,QD03_DAREAVERE,"
                              "QD03_CODICESCHEMA_QD02,QD03_NUMRIGA,QD03_PERCENTUALE,QD03_CORRAR, QD03_CORROP) VALUES "
                              "(?,?,?,?,?,?,?,?)"),
               {pdcRiga, conto, lato, schema, numero(r[3]), numero(r[4]), ar ? 1 : 0, op ? 1 : 0});
    }

    esegui(QStringLiteral("Delete from QD30_CORRSCHEMI_FLUSSI Where QD30_CODICEPDC_QD04 = ") + chart +
           QStringLiteral(" and QD30_CODICECONTO = ") + testo(vb::Trim(conto)));
    if (!leggi(QStringLiteral("Select * from QD30_CORRSCHEMI_FLUSSI Where QD30_CODICEPDC_QD04 = ") + chart +
                   QStringLiteral(" and QD30_CODICECONTO = ") + testo(vb::Trim(modello)),
               {QStringLiteral("QD30_CODICEPDC_QD04"), QStringLiteral("QD30_DAREAVERE"), QStringLiteral("QD30_CODICESCHEMA_QD02"),
                QStringLiteral("QD30_NUMRIGA"), QStringLiteral("QD30_PERCENTUALE"), QStringLiteral("QD30_PERIODO"),
                QStringLiteral("QD30_TIPOFLUSSO")}))
        return lettera == QLatin1String("E");
    for (const QVariantList& r : righe)
        esegui(QStringLiteral("Insert into QD30_CORRSCHEMI_FLUSSI (QD30_CODICEPDC_QD04,QD30_CODICECONTO,QD30_DAREAVERE,"
                              "QD30_CODICESCHEMA_QD02,QD30_NUMRIGA,QD30_PERCENTUALE,QD30_PERIODO,QD30_TIPOFLUSSO) VALUES "
                              "(?,?,?,?,?,?,?,?)"),
               {vb::CStr(r[0]), conto, vb::CStr(r[1]), vb::CStr(r[2]), numero(r[3]), numero(r[4]), numero(r[5]), numero(r[6])});
    return true;
}
