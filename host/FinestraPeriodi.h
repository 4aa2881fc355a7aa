#pragma once
#include "host/Periodi.h"
#include <QDialog>
#include <functional>

class CGlobal;
class Dialogs;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QTableWidget;
class ModelloValori;

// "Periodi importati": the stored periods, filtered by company and year, with their
// provenance; the values of the period chosen; its deletion and its export. It works on
// the database only; every box goes through the dialogs given.
class FinestraPeriodi : public QDialog {
    Q_OBJECT
public:
    // inCorso tells whether an import is running: nothing is deleted meanwhile.
    FinestraPeriodi(CGlobal& global, Dialogs& dialogs, std::function<bool()> inCorso, QWidget* parent = nullptr);
    ~FinestraPeriodi() override;

    // The periods shown, in the order of the list.
    QList<PeriodoArchiviato> visibili() const;
    void scegli(int riga);
    void Elimina();
    void Esporta();

    QComboBox* cmbDitta = nullptr;
    QComboBox* cmbAnno = nullptr;
    QTableWidget* lstPeriodi = nullptr;
    QTableView* lstValori = nullptr;
    QLabel* lblValori = nullptr;
    QLabel* lblStato = nullptr;
    QPushButton* cmdElimina = nullptr;
    QPushButton* cmdEsporta = nullptr;

private:
    void carica();        // the periods from the database, the filters kept
    void riempiAnni();
    void mostra();        // the periods the filters let through
    void mostraValori();  // the values of the period chosen
    const PeriodoArchiviato* scelto() const;

    CGlobal& m_global;
    Dialogs& m_dialogs;
    std::function<bool()> m_inCorso;
    QList<PeriodoArchiviato> m_periodi;
    QList<qsizetype> m_visibili;  // indexes into m_periodi, row by row
    ModelloValori* m_valori = nullptr;
};
