#include "control/ctlVevAre.h"
#include "import/Ingressi.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/ListControl.h"
#include "platform/db/Recordset.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/Valori.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString CrLf = QStringLiteral("\r\n");
}  // namespace

void ctlVevAre::ClickOk()
{
    if (ImportazioneInCorso()) return;
    const InCorso inCorso(*this);
    try {
        if (SegnalaSelezioneMancante()) return;
        if (m_Cambio == 0 && m_Valuta != m_CGlobal->ValutaBase()) {
            dialogs().MsgBox(QStringLiteral("Cambio non specificato"), vb::vbExclamation | vb::vbOKOnly, captionTitle());
            return;
        }
        if (txtCambio->isEnabled() && !ConfermaCambio(m_Cambio, m_CambioProposto)) {
            txtCambio->setFocus();
            txtCambio->selectAll();
            return;
        }

        Connection& conn = m_CGlobal->Database().Connection();
        if (m_Rs->isOpen()) m_Rs->Close();
        m_Rs->Open(QStringLiteral("Select * from QD05_DITTA WHERE QD05_RAGIONESOCIALE=") + StringaSQL(ApiciSQL(cmbDitte->text())),
                   conn);
        m_CodiceDitta = vb::CStr(m_Rs->value(QStringLiteral("QD05_CODICEDITTA")));
        m_CodicePDC = vb::CStr(m_Rs->value(QStringLiteral("QD05_CODICEPDC_QD04")));
        QString ragioneSociale = vb::CStr(m_Rs->value(QStringLiteral("QD05_RAGIONESOCIALE")));
        m_Anno = cmbAnni->text().left(4);
        // The year is a key of every row written: four digits, nothing else.
        bool annoLetto = false;
        const int annoNumero = m_Anno.toInt(&annoLetto);
        if (!annoLetto || m_Anno.size() != 4 || !m_Anno.front().isDigit() || annoNumero < 1900 || annoNumero > 2100) {
            m_Rs->Close();
            dialogs().MsgBox(QStringLiteral("Anno non valido: indicare quattro cifre tra 1900 e 2100."), vb::vbExclamation,
                             captionTitle());
            return;
        }
        const QVariant kadro = m_Rs->value(QStringLiteral("QD05_CODICEKADRO"));
        qint16 m_CodiceKadro = kadro.isNull() ? qint16(0) : vb::CInt(kadro);
        m_Mese = MeseIndex(cmbMesi->text());

        lblCaption->setText(cmbDitte->text() + QStringLiteral("   ") + cmbMesi->text() + QStringLiteral(" / ") + m_Anno +
                            QStringLiteral(" [ ") + m_Valuta + QStringLiteral(" ]"));
        const QVariant codice = m_Rs->value(QStringLiteral("QD05_CODIMPORTAZIONE"));
        m_CodImportazione = codice.isNull() ? QString() : vb::CStr(codice);

        if (txtCambio->isEnabled()) {
            const QString domanda = QStringLiteral("Vuoi memorizzare il cambio inserito (") + vb::FormatNumero(m_Cambio) +
                                    QStringLiteral(") per il periodo ") + QString::number(m_Mese) + QLatin1Char('/') + m_Anno +
                                    QStringLiteral(" ?");
            if (dialogs().MsgBox(domanda, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2,
                                 QStringLiteral("Controllo cambio valute")) == vb::vbYes)
                SalvaCambio();
        }

        m_Rs->Close();
        AvviaImportazione(false);

        if (!CaricaConf() || !IngressiImportabili(*this)) {
            ClickClose();
            return;
        }

        picCaption->setVisible(true);
        fraLog->setVisible(true);
        Ridisponi();

        const QString nomeFile = m_NomeFile.toUpper();
        const bool esportazione = nomeFile == QLatin1String("QDMSIT") || nomeFile == QLatin1String("QDCEE");
        if (m_CodiceKadro == 0 && esportazione) {
            dialogs().MsgBox(QStringLiteral("Attenzione ditta con Codice Kadro non inserito"), vb::vbInformation,
                             QStringLiteral("Importazione valori PDC"));
            return;
        }

        InsertLog(QString(), QStringLiteral("Importazione in corso ...."), QString(), false, false);
        ResetAnomalie();

        if (esportazione) {
            qint16 anno = vb::CInt(m_Anno);
            if (nomeFile == QLatin1String("QDMSIT"))
                ImportaValoriKadro(m_CodiceKadro, m_CodiceDitta, anno, m_Mese, m_Valuta, ragioneSociale);
            else
                ImportaValoriCEE(m_CodiceKadro, m_CodiceDitta, anno, m_Mese, m_Valuta, ragioneSociale);
        } else {
            ImportaValori();
        }

        if (!vb::CStr(m_Anomalie.value(0)[0]).isEmpty()) {
            dialogs().MsgBox(QStringLiteral("Attenzione sono state rilevate delle anomalie durante l'importazione.") + CrLf +
                                 QStringLiteral("Per visualizzare la lista anomalie effettuare la stampa. "),
                             vb::vbInformation, QStringLiteral("Anomalie"));
            DS1->setToolEnabled(QStringLiteral("tbPrint"), true);
        }
        dialogs().MsgBox(QStringLiteral("Importazione terminata"), vb::vbInformation, QStringLiteral("Importazione da kadro"));
    } catch (...) {
        MostraErrore(AppError::fromCurrent());
    }
}
