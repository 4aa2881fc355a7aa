#pragma once
#include "import/ChiaveRiga.h"
#include "import/IndiceBlocchi.h"
#include "import/PeriodoImportazione.h"
#include "import/VarianteMotore.h"
#include "platform/db/Recordset.h"
#include "platform/runtime/TextFile.h"
#include <QHash>
#include <QString>

class ctlVevAre;

// Company and period an engine posts to, and the currency of the data.
struct ParametriMotore {
    QString ditta;           // QD05_CODICEDITTA
    QString anno;            // year, as the period's key writes it
    qint16 mese = 0;
    QString valuta;
    QString ragioneSociale;  // the company name of the anomaly rows
    qint16 numeroDitta = 0;  // the company's number in the export (engines by company)
    qint16 annoNumero = 0;   // the year the export's lines are compared with
};

// The posting engine: the data file's lines, cut by the definition's layout, become the
// values of one period, inside one transaction that also creates missing accounts and
// ends with the balance check, the chart's row numbers and the period record. The
// variant says how the three engines differ. The engine reaches the screen's layout,
// log, anomalies and boxes through the screen it is given.
class MotoreValori {
public:
    MotoreValori(ctlVevAre& screen, const VarianteMotore& variante, ParametriMotore parametri);
    void Esegui();

private:
    enum class Esito { Salta, Posta, Fine };
    struct Slot {
        qint16 position = 0, fromCol = 0, toCol = 0;
    };

    void Prepara();
    bool ApriFile();
    void Leggi();
    void LeggiRighe();
    Esito Seleziona();
    void Posta();
    void Chiudi();
    void Recupera();

    QString campo(const Slot& s);
    Currency importo(const QString& testo);
    [[noreturn]] void rifiutaImporto(const QString& testo, bool convertito);
    Slot slot(int n) const;
    void anomalia(const QString& conto, const QString& descrizione, const QString& sezione, bool registrato);
    void caricaCorrelazioni();
    qint64 correlazioni(const QString& conto);
    void contaCorrelazioni(const QString& conto);

    ctlVevAre& m_screen;
    const VarianteMotore m_variante;
    const ParametriMotore m_p;
    PeriodoImportazione m_periodo;
    Recordset m_pdc, m_valori;
    TextFile m_file;

    QString m_riga;         // the line being posted, for the error log
    qint64 m_numero = 0;    // its number in the file; 0 when no line is being posted
    qint64 m_lette = 0;     // lines read so far
    ChiaveRiga m_chiave;    // company number, year and month of the last line read
    bool m_postata = false; // a line of the block being read was posted
    bool m_conIndice = false;                  // an automatic run: only the key's blocks are read
    std::vector<IndiceBlocchi::Inizio> m_blocchi;
    int m_contiCreati = 0;  // accounts the run added to the chart
    int m_commitIgnoti = 0; // the connection's unknown commits before this run
    QString m_lettera;      // section letter of the line
    QString m_modello;      // model account of the line (Kadro)

    // Worked out once per run.
    bool m_converti = false, m_delimitato = false, m_standard = false;
    int m_dimContoValori = 0, m_dimContoPdc = 0, m_dimDescrizione = 0, m_dimSezione = 0;
    QString m_pdcTrim;
    QVariant m_vDitta, m_vAnno, m_vMese, m_vPeriodo;
    int fDitta = 0, fAnno = 0, fMese = 0, fPeriodo = 0, fConto = 0, fInValuta = 0, fOriginale = 0, fRettifica = 0;
    int fPdcCodice = 0, fPdcConto = 0, fPdcDescrizione = 0, fPdcLivello = 0, fPdcSezione = 0;
    Slot m_slotConto, m_slotImporto, m_slotAvere, m_slotDescrizione, m_slotModello, m_slotNumero, m_slotData, m_slotSezione;

    // What a line needs to know of its account, found with one look-up: whether the chart
    // holds it, its description there and its correlations. The chart's part is read with
    // the chart and kept up to date by the engine's own writes; the correlations are read
    // with one grouped query when the first line asks, and updated by the engine's copies.
    struct Voce {
        bool nelPiano = false;
        QString descrizione;
        qint64 correlazioni = 0;
    };
    QHash<QString, Voce> m_conti;
    bool m_contate = false;
    // A copy of correlations that left the account without any changes nothing when it is
    // repeated with the same model, until another copy writes some: its outcome is reused
    // for the account's later lines, without statements.
    QHash<QString, bool> m_copieVane;
};
