#pragma once
#include "verify/EsitoQuadratura.h"
#include <QString>

class AppError;
class CGlobal;
class Dialogs;

// All that an XBRL import asks of the screen that runs it: the host services, the
// boxes, the log and caption, and the screen's period, rate and balance routines.
class SchermoXbrl {
public:
    virtual ~SchermoXbrl() = default;

    virtual CGlobal& global() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual QString titoloFinestra() const = 0;  // caption of the window holding the screen

    virtual void InsertLog(const QString& conto, const QString& descrizione, const QString& valore, bool errore,
                           bool evidenzia) = 0;
    // Shows the caption text above the log, with the log; clears the log when asked.
    virtual void mostraIntestazione(const QString& testo, bool svuotaLog) = 0;
    // Lets the log and the user interface catch up during a long run.
    virtual void aggiorna() = 0;
    // The end of every run past the file's reading: the last log row shown, the
    // normal pointer back.
    virtual void chiudiRun() = 0;
    virtual void setClessidra(bool attiva) = 0;
    virtual void MostraErrore(const AppError& errore) = 0;

    virtual qint16 NuovoPeriodo(const QString& ditta, const QString& anno, qint16 mese) = 0;
    virtual double CambioPeriodo(const QString& ditta, const QString& anno, const QString& mese) = 0;
    virtual double GetCambioRSS(qint16 anno, qint16 mese, const QString& valuta) = 0;
    virtual void setCambio(double cambio) = 0;  // the screen's rate in force
    // How a typed rate is read, in words ("letto come 1,05"), and the question that a
    // rate far from the proposed one must pass.
    virtual QString letturaCambio(const QString& testo) const = 0;
    virtual bool ConfermaCambio(double digitato, double proposto) = 0;
    virtual QString nomeMese(int mese) const = 0;  // the screen's month list, 1 to 12
    // The balance check of a period, inside the import's transaction; what it found, told
    // to the user after the commit.
    virtual EsitoQuadratura CalcolaQuadratura(const QString& ditta, const QString& anno, qint16 mese, qint16 periodo) = 0;
    virtual void RiportaQuadratura(const EsitoQuadratura& esito, const QString& ditta, const QString& anno, qint16 mese,
                                   qint16 periodo) = 0;
    // The import committed the values of this period.
    virtual void periodoSalvato(const QString& ditta, const QString& anno, qint16 mese, qint16 periodo) = 0;
};
