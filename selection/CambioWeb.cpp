#include "control/ctlVevAre.h"
#include "platform/runtime/Clock.h"
#include "platform/rates/EcbRateService.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ListControl.h"
#include "platform/runtime/Valori.h"
#include <QLineEdit>

namespace {
// The current month asks the current rate, any other month the month's rate.
double ChiediCambio(WebRateService& servizio, qint16& Anno, qint16& Mese, QString& Valuta)
{
    const QDate oggi = Clock::today();
    if (Anno == oggi.year() && Mese == oggi.month()) return servizio.CambioAttuale(Valuta);
    return servizio.CambioStorico(Anno, Mese, Valuta);
}
}  // namespace

double ctlVevAre::GetCambioRSS(qint16& Anno, qint16& Mese, QString& Valuta)
{
    // The callers read 0 as "no rate known", so a service that fails answers 0 too.
    try {
        const WebRateServiceFactory crea =
            m_rateServiceFactory ? m_rateServiceFactory : defaultWebRateServiceFactory(m_CGlobal);
        const std::unique_ptr<WebRateService> servizio = crea();
        if (!servizio) return 0;
        return ChiediCambio(*servizio, Anno, Mese, Valuta);
    } catch (...) {
        return 0;
    }
}

void ctlVevAre::cmdGetRate_Click()
{
    if (vb::Trim(cmbValuta->text()).isEmpty()) return;
    setHourglass(true);
    try {
        qint16 Anno = vb::CInt(cmbAnni->text());
        qint16 Mese = static_cast<qint16>(cmbMesi->ListIndex() + 1);
        QString Valuta = cmbValuta->text();
        const double cambio = GetCambioRSS(Anno, Mese, Valuta);
        if (cambio == 0) {
            // No answer from the service: the box keeps what it had, and the user knows why.
            setHourglass(false);
            dialogs().MsgBox(QStringLiteral("Impossibile ottenere il cambio dal Web: verificare la connessione a Internet, "
                                            "oppure digitare il cambio."),
                             vb::vbExclamation | vb::vbOKOnly, captionTitle());
            return;
        }
        // The rate box holds the reciprocal: units of the currency per unit of the base.
        m_CambioProposto = 1.0 / cambio;
        txtCambio->setText(vb::Trim(vb::CStr(1.0 / cambio)));
    } catch (...) {
        // A year that is not a number asks nothing: the rate box keeps its text.
    }
    setHourglass(false);
}
