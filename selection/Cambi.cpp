#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ListControl.h"
#include "platform/runtime/Valori.h"
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <QPushButton>
#include <QToolButton>

void ctlVevAre::CaricaValute()
{
    m_CGlobal->Utility().CaricaLista(*cmbValuta, QStringLiteral("QD40_VALUTE"), QStringLiteral("QD40_CODICEVALUTA"),
                                     QString(), true);
    // No currency counts as chosen until a command or a company chooses one.
    cmbValuta->setListIndex(-1);
}

void ctlVevAre::cmbValuta_Change()
{
    if (!m_CGlobal) return;
    const bool estera = vb::Trim(cmbValuta->text()) != m_CGlobal->ValutaBase();
    txtCambio->setEnabled(estera);
    if (!estera) txtCambio->setText(QStringLiteral("1"));
    cmdEditCambio->setVisible(estera);
    cmdGetRate->setVisible(estera);
    m_Valuta = cmbValuta->text();
    m_CambioProposto = 0;  // a rate proposed for another currency proposes nothing here
}

void ctlVevAre::txtCambio_Change()
{
    const QString testo = txtCambio->text();
    m_Cambio = vb::IsNumeric(testo) ? vb::CDbl(testo) : 0.0;
    lblCambioLetto->setText(LetturaCambio(testo));
}

QString ctlVevAre::LetturaCambio(const QString& testo)
{
    if (vb::Trim(testo).isEmpty()) return QString();
    if (!vb::IsNumeric(testo)) return QStringLiteral("non è un numero");
    return QStringLiteral("letto come ") + vb::FormatNumero(vb::CDbl(testo));
}

bool ctlVevAre::ConfermaCambio(double digitato, double proposto)
{
    if (proposto <= 0 || digitato == 0) return true;
    const double rapporto = digitato / proposto;
    if (rapporto >= 0.2 && rapporto <= 5) return true;
    // A slip of the decimal point, most likely: the person sees both figures.
    return dialogs().MsgBox(QStringLiteral("Il cambio digitato (") + vb::FormatNumero(digitato) +
                                QStringLiteral(") è molto diverso da quello proposto (") + vb::FormatNumero(proposto) +
                                QStringLiteral("). Confermi?"),
                            vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, QStringLiteral("Controllo cambio valute")) ==
           vb::vbYes;
}

void ctlVevAre::cmdEditCambio_Click()
{
    if (!m_ModalitaApri) return;
    const int risposta = dialogs().MsgBox(
        QStringLiteral("Si desidera modificare il cambio associato al periodo corrente? ") + QStringLiteral("\r\n") +
            QStringLiteral("Tutti i valori in ") + m_CGlobal->ValutaBase() +
            QStringLiteral(" verrano automaticamente ricalcolati in base al nuovo cambio inserito."),
        vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, QStringLiteral("Modifica cambio"));
    if (risposta == vb::vbYes) {
        m_CambioModificato = true;
        txtCambio->setEnabled(true);
        txtCambio->setFocus();
    }
}

// The rate already attached to the company's month wins (whatever its period
// number); otherwise the monthly rate between the two currencies.
double ctlVevAre::CambioPeriodo(const QString& Ditta, const QString& Anno, const QString& Mese)
{
    QVariantList cambi;
    m_CGlobal->Database().Connection().Scorri(
        QStringLiteral("SELECT QD21_CAMBIO FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05=? AND QD21_ANNO=? AND QD21_MESE=?"),
        {Ditta, Anno, int(vb::CInt(Mese))}, [&](std::span<const QVariant> r) { cambi << r[0]; });
    if (!cambi.isEmpty()) return vb::CDbl(cambi.first());
    return CambioMese(Anno, vb::CInt(Mese), m_Valuta, m_CGlobal->ValutaBase());
}

double ctlVevAre::CambioMese(const QString& Anno, qint16 Mese, const QString& ValutaDa, const QString& ValutaA)
{
    QVariantList cambi;
    m_CGlobal->Database().Connection().Scorri(
        QStringLiteral("SELECT QD41_CAMBIO FROM QD41_CAMBI WHERE QD41_ANNO=? AND QD41_MESE=? AND QD41_CODICEVALUTA_DA = ? "
                       "AND QD41_CODICEVALUTA_A = ?"),
        {vb::Trim(Anno), int(Mese), vb::Trim(ValutaDa), vb::Trim(ValutaA)}, [&](std::span<const QVariant> r) { cambi << r[0]; });
    return cambi.isEmpty() ? 0 : vb::CDbl(cambi.first());
}

void ctlVevAre::SalvaCambio()
{
    Connection& conn = m_CGlobal->Database().Connection();
    // A rate that is no finite number is no rate. It is stored as a typed one always was,
    // to 15 significant digits.
    if (!std::isfinite(m_Cambio)) throw AppError::typeMismatch();
    const QVariantList chiave{vb::Trim(m_Anno), int(m_Mese), vb::Trim(m_Valuta), vb::Trim(m_CGlobal->ValutaBase())};
    conn.Esegui(QStringLiteral("Delete from QD41_CAMBI Where QD41_ANNO = ? and QD41_MESE = ? and QD41_CODICEVALUTA_DA = ? "
                               "and QD41_CODICEVALUTA_A = ?"),
                chiave);
    conn.Esegui(QStringLiteral("insert into QD41_CAMBI values (?, ?, ?, ?, ?)"),
                chiave + QVariantList{QString::number(m_Cambio, 'g', 15).toDouble()});
}
