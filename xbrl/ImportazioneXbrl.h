#pragma once
#include "xbrl/AnagraficaXbrl.h"
#include "xbrl/DocumentoXbrl.h"
#include "xbrl/MappaturaXbrl.h"
#include "xbrl/TabellaPeriodi.h"
#include "xbrl/Tassonomia.h"
#include <QString>
#include <memory>

class AppError;
class PeriodoXbrl;
class SchermoXbrl;

// One import of an XBRL instance, from its file to the balance check: the document,
// its taxonomy, the period table, the company and the facts posted, all in one
// transaction of the host connection. It lives for one run.
class ImportazioneXbrl {
public:
    explicit ImportazioneXbrl(SchermoXbrl& schermo);
    ~ImportazioneXbrl();
    ImportazioneXbrl(const ImportazioneXbrl&) = delete;
    ImportazioneXbrl& operator=(const ImportazioneXbrl&) = delete;

    // The run for a file the user chose; every outcome is shown on the screen.
    void esegui(QString file);

private:
    bool riconosciTassonomia();
    void leggiContesti(const std::vector<pugi::xml_node>& contesti);
    void intestazione(bool svuotaLog);
    bool risolviDitta();
    void posta(pugi::xml_node nodo);
    void termina();
    void gestisciErrore(const AppError& errore);
    void pulizia();

    SchermoXbrl& m_schermo;
    DocumentoXbrl m_documento;
    Tassonomia m_tassonomia;
    QString m_unita;
    QString m_identificativo;
    TabellaPeriodi m_tabella;
    qint16 m_rigaCorrente = 0;
    QString m_denominazione;
    AnagraficaXbrl m_anagrafica;
    QString m_ditta;
    bool m_dittaRisolta = false;
    bool m_dittaCreata = false;
    qint16 m_decimali = 0;
    QString m_conto;  // account and label of the fact last mapped, for the error log
    QString m_label;
    MappaturaXbrl m_mappatura;
    std::unique_ptr<PeriodoXbrl> m_periodo;
};
