#pragma once
#include "model/Provenienza.h"
#include <QList>
#include <QString>
#include <optional>

class CGlobal;
class Connection;

// The key of a stored period.
struct ChiavePeriodo {
    QString ditta;  // QD05_CODICEDITTA
    QString anno;
    qint16 mese = 0;
    qint16 periodo = 0;
};

// A stored period as the host shows it: its record, how many values it holds, and the
// import that wrote it (none for periods stored before imports were recorded).
struct PeriodoArchiviato {
    ChiavePeriodo chiave;
    QString ragioneSociale;
    QString descrizione;
    QString valuta;
    double cambio = 0;
    qint64 valori = 0;
    std::optional<Provenienza> provenienza;
};

// One value of a period; amounts in ten-thousandths, none when the column is empty.
struct ValorePeriodo {
    QString conto;
    QString descrizione;  // the account's in the company's chart
    std::optional<qint64> valore;
    std::optional<qint64> valoreInValuta;
};

// What the host does with the periods the imports stored, straight on the database:
// list them with their provenance, show a period's values, delete a period, export it.
namespace Periodi {
extern const QString NonRegistrata;  // "provenienza non registrata"

// The periods of a company (code) and year, every company or year when empty, by
// company name, year, month and period.
QList<PeriodoArchiviato> elenco(Connection& c, const QString& ditta = {}, const QString& anno = {});
std::optional<PeriodoArchiviato> trova(Connection& c, const ChiavePeriodo& chiave);
// The company code of a name: exactly, else without regard to case; empty when none.
QString codiceDitta(Connection& c, const QString& ragioneSociale);
QList<ValorePeriodo> valori(Connection& c, const ChiavePeriodo& chiave);

// The confirmation a deletion asks for, naming company, month/year, period and values.
QString domandaEliminazione(const PeriodoArchiviato& p);
// Deletes the period's values, footnotes and record in one transaction that also records
// the deletion; accounts and chart stay. Returns the values deleted.
qint64 elimina(CGlobal& global, const PeriodoArchiviato& p);
// Writes the period's values as a CSV file for Italian spreadsheets: ";" between fields,
// decimal comma, UTF-8 with BOM, a header row; a definition reads it back. Returns the
// values written; an error when the file cannot be written.
qint64 esporta(Connection& c, const ChiavePeriodo& chiave, const QString& file);

// An amount in ten-thousandths as text with a decimal comma: grouped by thousands with at
// least two decimals for a person, plain with only the decimals it has for a file.
QString importo(qint64 decimillesimi, bool perLettura);
QString nomeMese(qint16 mese);
// The provenance in a few words for the list: kind, file, date and user.
QString provenienzaBreve(const PeriodoArchiviato& p);
// The period as one tab-separated line of the command line, provenance fields included.
QString rigaComandi(const PeriodoArchiviato& p);
}  // namespace Periodi
