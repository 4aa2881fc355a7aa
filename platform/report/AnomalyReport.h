#pragma once
#include <QList>
#include <QString>
#include <QVariant>
#include <array>

class CGlobal;
class Dialogs;

// One row of the anomaly table: 9 columns (company code, company name, source company
// number, account, description, posted-but-noteworthy, dropped, section known, a note),
// then the year, month and period of the values it concerns, when they have one.
using RigaAnomalia = std::array<QVariant, 12>;
using TabellaAnomalie = QList<RigaAnomalia>;

// Context the report library receives before printing.
class ContestoStampa {
public:
    void setCGlobal(CGlobal* global) { m_global = global; }
    CGlobal* cglobal() const { return m_global; }
    // What shows the preview: the screen's dialogs; none in batch runs.
    void setDialogs(Dialogs* d) { m_dialogs = d; }
    Dialogs* dialogs() const { return m_dialogs; }
    // When set, the print writes this PDF file instead of showing the preview.
    void setPdfFile(const QString& path) { m_pdf = path; }
    const QString& pdfFile() const { return m_pdf; }

private:
    CGlobal* m_global = nullptr;
    Dialogs* m_dialogs = nullptr;
    QString m_pdf;
};

// One line of the printed anomaly list, before it is laid out on pages.
struct VoceStampa {
    enum Tipo {
        Ditta,      // heading of a company's rows: testo
        Anomalia,   // one row: conto, descrizione, esito, motivo, sezione
        Riepilogo,  // closing counts: testo
        Nessuna,    // the table holds no anomaly: testo
    };
    Tipo tipo = Anomalia;
    QString testo;
    QString ditta, meseAnno, periodo;  // the company code and the period of the row's values
    QString conto, descrizione, esito, motivo, sezione;
    bool scartato = false;  // the value was dropped (else it was posted)
};

// The anomaly print object of the report library.
class AnomalyReport {
public:
    void setContesto(ContestoStampa* contesto) { m_contesto = contesto; }
    // Prints rows 0 to maxRow - 1 of the table (the row maxRow is the empty one the
    // imports keep last); empty rows are skipped. With the context's PDF file set it
    // writes that file; otherwise `anteprima` True shows the preview through the context's
    // dialogs, False prints to the default printer. Gives False when nothing could be written.
    bool Stampa(TabellaAnomalie& table, qint32& maxRow, bool& anteprima);

    // The lines of the list, grouped by company in the order of the table.
    static QList<VoceStampa> Voci(const TabellaAnomalie& table, qint32 maxRow);
    // Pages of the last print.
    int pagine() const { return m_pagine; }

private:
    ContestoStampa* m_contesto = nullptr;
    int m_pagine = 0;
};
