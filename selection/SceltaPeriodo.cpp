#include "selection/SceltaPeriodo.h"
#include "platform/runtime/AppError.h"
#include "platform/ui/Dialogs.h"

qint16 SceltaPeriodo(Dialogs& dialogs, const QString& prompt, qint16 ultimo)
{
    QString richiesta = prompt;
    for (;;) {
        const QString risposta = dialogs.InputBox(richiesta, QStringLiteral("Selezione Periodo"), QStringLiteral("1")).trimmed();
        if (risposta.isEmpty()) throw AppError(5, QStringLiteral("Importazione annullata: nessun periodo scelto da ricoprire."));
        bool cifre = risposta.size() <= 5;
        for (QChar c : risposta) cifre = cifre && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const int scelto = cifre ? risposta.toInt() : 0;
        if (scelto >= 1 && scelto <= ultimo) return qint16(scelto);
        richiesta = QStringLiteral("'%1' non è un periodo da ricoprire: indicare un numero di periodo da 1 a %2.\r\n").arg(risposta).arg(ultimo) +
                    prompt;
    }
}
