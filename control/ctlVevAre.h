#pragma once
#include "model/Colonne.h"
#include "model/Regole.h"
#include "platform/report/AnomalyReport.h"
#include "platform/runtime/AppError.h"
#include "platform/host/IControl.h"
#include "platform/rates/WebRateService.h"
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QWidget>
#include <memory>

class BalanceCheck;
class IndiceBlocchi;
struct Esportazione;
struct EsitoQuadratura;
class CGlobal;
class Dialogs;
class DockToolbar;
class ImportazioneXbrl;
class ListControl;
class LogList;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class Recordset;

// The import screen "Importazione valori PDC". It owns all the state between user
// actions; its routines are grouped by subsystem in control/, selection/, model/,
// import/, xbrl/ and verify/, and share this state.
class ctlVevAre : public QWidget, public IControl {
    Q_OBJECT
public:
    // Boxes go through the dialogs given (the real ones, or a script in tests).
    explicit ctlVevAre(Dialogs& dialogs, QWidget* parent = nullptr);
    ~ctlVevAre() override;

    // --- IControl (control/ctlVevAre.cpp)
    void setCaption(QString& caption) override;
    void setCGlobal(CGlobal* global) override;
    qint32 MinHeight() const override;
    qint32 MinWidth() const override;
    bool Resizable() const override;
    bool Standard() const override;
    void setStandard(bool value) override;
    void SendControl() override;
    QObject* ObjXP() const override;
    void setObjXP(QObject* obj) override;
    QWidget* EmptyForm() const override;
    void setEmptyForm(QWidget* form) override;
    bool Validate() override;
    void CloseWindow() override;
    void setParametro(QString parametro) override;
    QWidget* widget() override { return this; }
    QSize minimumSizeHint() const override;

    // --- shared services of the screen (control/)
    void MostraErrore(const AppError& error);
    void MostraErrore();  // no current error: only the connection's first error, if any
    Dialogs& dialogs() { return m_dialogs; }
    QString captionTitle() const;  // caption of the window that contains the screen
    void setHourglass(bool on);
    int MousePointer() const { return m_MousePointer; }
    void setRateServiceFactory(WebRateServiceFactory factory) { m_rateServiceFactory = std::move(factory); }

    // --- toolbar, hotkeys and layout (control/)
    void ClickNew();
    void ClickOpen();
    void ClickClose();
    void ClickCancel();
    void DS1_ToolClick(const QString& key);
    bool HandleHotkey(int keyCode, int shift);  // true when the key started a tool's command
    // When the selection still lacks something to be saved, says what in a box ("Scegliere
    // la ditta", ...), goes to that list and gives true.
    bool SegnalaSelezioneMancante();
    void Ridisponi();  // lays the areas out again for the current size

    // --- a run in progress (control/Toolbar.cpp)
    // While an import runs no other command starts: tbClose, or the host closing the
    // window, asks whether to stop the run after its current group.
    bool ImportazioneInCorso() const { return m_InCorso > 0; }
    bool ChiediInterruzione();  // true when the user chose to stop
    bool InterruzioneRichiesta() const { return m_Interrompi; }
    // Marks an import as running for its lifetime.
    class InCorso {
    public:
        explicit InCorso(ctlVevAre& screen);
        ~InCorso();
        InCorso(const InCorso&) = delete;
        InCorso& operator=(const InCorso&) = delete;

    private:
        ctlVevAre& m_screen;
    };

    // --- selection and rates (selection/)
    void CaricaDitte();
    void CaricaValute();
    qint16 MeseIndex(const QString& Mese) const;
    double CambioPeriodo(const QString& Ditta, const QString& Anno, const QString& Mese);
    double CambioMese(const QString& Anno, qint16 Mese, const QString& ValutaDa, const QString& ValutaA);
    void SalvaCambio();
    double GetCambioRSS(qint16& Anno, qint16& Mese, QString& Valuta);
    void cmbDitte_Click();
    void cmbAnni_Click();
    void cmbMesi_Click();
    void cmbPeriodo_Click();
    void CambioDelPeriodo(double cambio);
    void cmbValuta_Change();
    void txtCambio_Change();
    void cmdEditCambio_Click();
    void cmdGetRate_Click();
    // How a typed rate reads, for a person: "letto come 1,05", "non è un numero".
    static QString LetturaCambio(const QString& testo);
    // A typed rate more than five times off the proposed one is used only when confirmed.
    bool ConfermaCambio(double digitato, double proposto);
    void Lista_KeyPress(int keyAscii);

    // --- definition files (model/)
    bool CaricaConf();
    QString EstraiCampo(const QString& riga, qint16& primo);                 // delimited
    QString EstraiCampo(const QString& riga, qint16& primo, qint16& ultimo); // fixed width
    bool VerificaRegole(const QString& riga);

    // --- imports (import/)
    void ClickOk();
    void ClickImport();
    void ClickImportCEE();
    qint16 NuovoPeriodo(const QString& Ditta, const QString& Anno, qint16 Mese, bool apiciSQL = true);
    void ImportaValori();
    void ImportaValoriKadro(qint16& CodiceKadro, QString& Ditta, qint16& Anno, qint16& Mese, QString& Valuta,
                            QString& RagioneSociale);
    void ImportaValoriCEE(qint16& CodiceKadro, QString& Ditta, qint16& Anno, qint16& Mese, QString& Valuta,
                          QString& RagioneSociale);
    bool CopiaCorrelazioni(const QString& pdc, const QString& conto, const QString& modello, const QString& lettera);
    static QString PulisciRiga(const QString& riga);
    static QString SezioneDaLettera(const QString& lettera, double importo);
    static QString FormattaCodiceCEE(QString& codice);
    QString SezioneConto(const QString& pdc, const QString& conto);
    static bool ContoCreabile(const QString& pdc, const QString& conto, bool standard);

    // --- XBRL import (xbrl/)
    void ClickImportXBRL();
    void ImportaXBRL(const QStringList& files);  // the same tool on files already chosen: no file dialog
    QString ReadTextFilePlus(QString& sFileName);  // the whole file as UTF-8 text

    // --- log, anomalies and balance check (verify/)
    void InsertLog(const QString& Conto = QString(), const QString& Descrizione = QString(),
                   const QString& Valore = QString(), bool Errore = false, bool Evidenzia = false);
    void StampaAnomalie();
    void VerificaQuadratura(const QString& Ditta, const QString& Anno, qint16 Mese, qint16 Periodo);
    // The check's two halves, for an import that checks inside its transaction and tells
    // the user after the commit.
    EsitoQuadratura CalcolaQuadratura(const QString& Ditta, const QString& Anno, qint16 Mese, qint16 Periodo);
    void RiportaQuadratura(const EsitoQuadratura& esito, const QString& Ditta, const QString& Anno, qint16 Mese, qint16 Periodo);
    void ResetAnomalie();  // one empty row, m_NumAnomalie 0
    void AggiungiAnomalia(const RigaAnomalia& riga);

signals:
    void ExitControl();
    // An import committed the values of this period (a command line reports it).
    void ImportazioneSalvata(const QString& ditta, const QString& anno, qint16 mese, qint16 periodo);
    // The import that was running has ended.
    void ImportazioneConclusa();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

public:
    // --- state, shared by the screen's routines
    CGlobal* m_CGlobal = nullptr;
    std::unique_ptr<ContestoStampa> m_ContestoStampa;
    std::unique_ptr<AnomalyReport> m_Stampa;
    QObject* m_ObjXP = nullptr;
    QWidget* m_EmptyForm = nullptr;
    std::unique_ptr<Recordset> m_Rs;
    TabellaAnomalie m_Anomalie;
    qint32 m_NumAnomalie = 0;
    QString m_CodiceDitta;
    QString m_Anno;
    qint16 m_Mese = 0;
    QString m_Valuta;
    bool m_ModalitaApri = false;
    QStringList m_Mesi;
    QString m_WorkingFolder;
    double m_Cambio = 0;
    bool m_CambioModificato = false;
    qint16 m_Periodo = 0;
    std::unique_ptr<BalanceCheck> m_Quadratura;
    QString m_CodImportazione;
    QString m_CodicePDC;
    std::unique_ptr<Colonne> m_Colonne;
    std::unique_ptr<Regole> m_Regole;
    QString m_NomeFile;
    bool m_Delimitato = false;
    QString m_Separatore;
    bool m_DueColonne = false;
    bool m_AvereNegativo = false;
    bool m_ConDescrizione = false;
    qint32 m_PrimaRiga = 0;
    // Why the definition's columns cannot cut an import's fields; empty when they can.
    QString m_ProblemaDefinizione;
    // During an automatic run: where each company's block starts in the export.
    const IndiceBlocchi* m_IndiceBlocchi = nullptr;
    // One company and month of an automatic run, as its summary reports it: a kind of
    // outcome and, when there is one, its reason in words.
    struct EsitoGruppo {
        enum Esito { Salvato, QuadraturaNonSuperata, NonSalvato, NonImportato, QuadraturaNonVerificata, NonVerificabile };
        QString ditta;           // company code; empty when the export's number found none
        QString ragioneSociale;  // company name, or the export's company number
        qint16 anno = 0;
        qint16 mese = 0;
        qint16 periodo = 0;      // the period assigned, 0 when nothing was saved
        Esito esito = NonImportato;
        QString motivo;          // why, when the kind alone does not say it all
        qint16 numero = 0;       // the company's number in the export
        bool salvato() const;    // the group's period was committed
        bool errore() const;     // the summary shows it as an error
        QString testo() const;   // the kind as the summary writes it: "salvato", "non salvato", ...
    };
    // How the last automatic run went: every group of the export in the order of its first
    // line, how many were committed, and whether and why the run stopped before its end.
    struct EsitoAutomatica {
        int gruppi = 0;  // groups of the export
        int salvati = 0;
        bool completata = false;
        QString interruzione;  // when, and why, the run stopped early (empty: it did not)
        QList<EsitoGruppo> esiti;
    } m_EsitoAutomatica;
    // What stopped the last posting engine (empty when it committed), whether the last
    // balance check could run and whether it passed.
    QString m_ErroreImportazione;
    bool m_QuadraturaVerificata = true;
    bool m_QuadraturaSuperata = true;
    double m_CambioProposto = 0;  // the rate the screen last put into txtCambio (0: none)
    ImportazioneXbrl* m_ImportXBRL = nullptr;  // the XBRL import running, owned by ClickImportXBRL

    // --- controls
    QFrame* picCaption = nullptr;
    QLabel* lblCaption = nullptr;
    DockToolbar* DS1 = nullptr;
    QGroupBox* fraSelectPeriodo = nullptr;
    QGroupBox* fraLog = nullptr;
    LogList* lwLog = nullptr;
    ListControl* cmbDitte = nullptr;
    ListControl* cmbAnni = nullptr;
    ListControl* cmbMesi = nullptr;
    ListControl* cmbPeriodo = nullptr;
    ListControl* cmbValuta = nullptr;
    QLineEdit* txtCambio = nullptr;
    QPushButton* cmdEditCambio = nullptr;
    QToolButton* cmdGetRate = nullptr;
    QLabel* lblCambioLetto = nullptr;  // how the text of txtCambio reads
    QLabel* lblDescRif = nullptr;
    QLabel* lblSuggerimento = nullptr;  // what to do, on the idle screen

private:
    void ImportazioneAutomatica(const Esportazione& esportazione);  // import/ClickImport.cpp
    void ConcludiAutomatica(const Esportazione& esportazione, bool discoPieno);  // import/ClickImport.cpp
    void RiepilogoAutomatica();                                     // import/RiepilogoAutomatica.cpp
    void CreaControlli();       // control/Controlli.cpp
    void CreaBarraStrumenti();  // control/Toolbar.cpp
    void MostraSelezione();     // control/Toolbar.cpp
    void AvviaImportazione(bool disabilitaStampa);  // control/Toolbar.cpp
    void TornaInAttesa();       // control/Toolbar.cpp: the end of every import command
    void TogliRisultati();      // control/Toolbar.cpp: caption and log of the last run
    void CollegaEventi();       // selection/ wiring of the list and rate events
    void MostraSuggerimento(bool visibile);  // control/Toolbar.cpp
    void SuggerimentiTasti();   // control/Toolbar.cpp: each tool's tip names its key
    void RiprendiTastiera();    // control/ctlVevAre.cpp

    Dialogs& m_dialogs;
    WebRateServiceFactory m_rateServiceFactory;
    bool m_Standard = false;
    int m_MousePointer = 0;
    int m_InCorso = 0;
    bool m_Interrompi = false;
    bool m_Avviata = false;  // the command running has started an import (AvviaImportazione)
    QWidget* m_Finestra = nullptr;  // the host window whose keys the screen looks at
};
