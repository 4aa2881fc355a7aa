#pragma once
#include <QString>

class BalanceCheck;
class Connection;

// What a balance check concluded from the library's four totals: passed when the debits
// |Totale1 + Totale2| and the credits |Totale3 + Totale4| agree to the cent; the
// difference is how far apart they are, to the cent, in the base currency.
struct EsitoQuadratura {
    enum Esito { Superata, NonSuperata, NonVerificata };
    Esito esito = Superata;
    double differenza = 0;
    QString motivo;  // why it was not verified

    bool superata() const { return esito == Superata; }
    // As the provenance of a period records it: "superata", "non superata", "non verificata".
    QString testo() const;

    static EsitoQuadratura di(const BalanceCheck& totali);
    // The check of a stored period without a word to the user, inside the caller's
    // transaction: not verified, with the reason, when the totals cannot be read.
    static EsitoQuadratura verifica(Connection& connessione, BalanceCheck& check, const QString& ditta, const QString& anno,
                                    qint16 mese, qint16 periodo);
};
