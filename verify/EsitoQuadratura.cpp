#include "verify/EsitoQuadratura.h"
#include "platform/balance/BalanceCheck.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include <cmath>

QString EsitoQuadratura::testo() const
{
    switch (esito) {
    case Superata: return QStringLiteral("superata");
    case NonSuperata: return QStringLiteral("non superata");
    case NonVerificata: break;
    }
    return QStringLiteral("non verificata");
}

EsitoQuadratura EsitoQuadratura::di(const BalanceCheck& totali)
{
    const double a = vb::Round(std::fabs(totali.Totale2() + totali.Totale1()), 2);
    const double b = vb::Round(std::fabs(totali.Totale4() + totali.Totale3()), 2);
    EsitoQuadratura e;
    e.esito = a == b ? Superata : NonSuperata;
    e.differenza = double(qRound64(std::fabs(a - b) * 100)) / 100;
    return e;
}

EsitoQuadratura EsitoQuadratura::verifica(Connection& connessione, BalanceCheck& check, const QString& ditta,
                                          const QString& anno, qint16 mese, qint16 periodo)
{
    QString d = ditta, a = anno;
    qint16 m = mese, p = periodo, zero16 = 0;
    qint32 zero = 0;
    bool vero = true;
    try {
        check.Verifica(connessione, d, a, m, p, zero, vero, zero16);
    } catch (...) {
        QString motivo = AppError::fromCurrent().description();
        return EsitoQuadratura{NonVerificata, 0, motivo.isEmpty() ? QStringLiteral("errore sconosciuto") : motivo};
    }
    return di(check);
}
