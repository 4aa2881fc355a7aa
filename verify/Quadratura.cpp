#include "control/ctlVevAre.h"
#include "platform/balance/BalanceCheck.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/Dialogs.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include "verify/EsitoQuadratura.h"

// The check never stops the import that calls it. Totals that cannot be computed are
// said to be so: a check that did not run must not read as one that passed.
void ctlVevAre::VerificaQuadratura(const QString& Ditta, const QString& Anno, qint16 Mese, qint16 Periodo)
{
    RiportaQuadratura(CalcolaQuadratura(Ditta, Anno, Mese, Periodo), Ditta, Anno, Mese, Periodo);
}

EsitoQuadratura ctlVevAre::CalcolaQuadratura(const QString& Ditta, const QString& Anno, qint16 Mese, qint16 Periodo)
{
    if (!m_CGlobal || !m_Quadratura)
        return EsitoQuadratura{EsitoQuadratura::NonVerificata, 0, QStringLiteral("servizio di verifica non disponibile")};
    return EsitoQuadratura::verifica(m_CGlobal->Database().Connection(), *m_Quadratura, Ditta, Anno, Mese, Periodo);
}

void ctlVevAre::RiportaQuadratura(const EsitoQuadratura& esito, const QString& Ditta, const QString& Anno, qint16 Mese,
                                  qint16 Periodo)
{
    m_QuadraturaVerificata = esito.esito != EsitoQuadratura::NonVerificata;
    if (!m_QuadraturaVerificata) {
        m_QuadraturaSuperata = false;
        const QString& motivo = esito.motivo;
        try {
            InsertLog(QString(), QStringLiteral("VERIFICA QUADRATURA NON ESEGUITA: ") + motivo, QString(), true, false);
            dialogs().MsgBox(QStringLiteral("Attenzione! Verifica quadratura non eseguita: ") + motivo + QStringLiteral("\r\n") +
                                 QStringLiteral(" Ditta : ") + vb::Trim(Ditta) + QStringLiteral(" Anno : ") + vb::Trim(Anno) +
                                 QStringLiteral(" Mese : ") + QString::number(Mese) + QStringLiteral(" Periodo : ") +
                                 QString::number(Periodo),
                             vb::vbExclamation | vb::vbOKOnly, QStringLiteral("Verifica Quadratura"));
        } catch (...) {
        }
        return;
    }

    m_QuadraturaSuperata = esito.superata();
    if (m_QuadraturaSuperata) {
        try {
            InsertLog(QString(), QStringLiteral("VERIFICA QUADRATURA ") + vb::Trim(Anno) + QStringLiteral("  EFFETTUATO CON SUCCESSO."),
                      QString(), false, true);
        } catch (...) {
        }
        return;
    }
    try {
        InsertLog(QString(), QStringLiteral("VERIFICA QUADRATURA NON SUPERATO."), QString(), true, false);
        // How far off the period is, in the base currency, to the cent.
        const qint64 centesimi = qRound64(esito.differenza * 100);
        const QString differenza = vb::FormatIntero(double(centesimi / 100)) + vb::numberFormat().decimal +
                                   QStringLiteral("%1").arg(centesimi % 100, 2, 10, QLatin1Char('0'));
        InsertLog(QString(), QStringLiteral("Differenza: ") + differenza + QLatin1Char(' ') + vb::Trim(m_CGlobal->ValutaBase()),
                  QString(), true, false);
    } catch (...) {
    }
    try {
        dialogs().MsgBox(QStringLiteral("Attenzione! Verifica quadratura non superato.") + QStringLiteral("\r\n") +
                             QStringLiteral(" Ditta : ") + vb::Trim(Ditta) + QStringLiteral(" Anno : ") + vb::Trim(Anno) +
                             QStringLiteral(" Mese : ") + QString::number(Mese) + QStringLiteral(" Periodo : ") +
                             QString::number(Periodo),
                         vb::vbExclamation | vb::vbOKOnly, QStringLiteral("Verifica Quadratura"));
    } catch (...) {
    }
}
