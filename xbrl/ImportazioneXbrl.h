#pragma once
#include "platform/runtime/Valori.h"
#include "xbrl/AnagraficaXbrl.h"
#include "xbrl/DocumentoXbrl.h"
#include "xbrl/MappaturaXbrl.h"
#include "xbrl/TabellaPeriodi.h"
#include "xbrl/Tassonomia.h"
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class AppError;
class PeriodoXbrl;
class SchermoXbrl;

// The mappings read in one run of many filings: each taxonomy's is read once.
class MappatureXbrl {
public:
    const MappaturaXbrl& di(Connection& connessione, const Tassonomia& tassonomia);

private:
    QHash<QString, std::shared_ptr<MappaturaXbrl>> m_perTassonomia;
};

// One import of an XBRL instance, from its file to the balance check: the document,
// its taxonomy, its contexts and periods, the company and the facts posted, all in one
// transaction of the host connection. A filing whose facts cannot all be placed in
// their own company, year and month is refused before anything is written.
class ImportazioneXbrl {
public:
    // Filings larger than this are refused before they are read.
    static constexpr qint64 DimensioneMassima = 64LL * 1024 * 1024;

    explicit ImportazioneXbrl(SchermoXbrl& schermo, MappatureXbrl* mappature = nullptr);
    ~ImportazioneXbrl();
    ImportazioneXbrl(const ImportazioneXbrl&) = delete;
    ImportazioneXbrl& operator=(const ImportazioneXbrl&) = delete;

    // The run for a file the user chose; every outcome is shown on the screen. True
    // when the import was saved.
    bool esegui(QString file);

    // After the run: the company, the years saved, and why nothing was saved.
    const QString& ditta() const { return m_ditta; }
    QStringList anni() const;
    const QString& motivo() const { return m_motivo; }
    // The connection was lost while the filing was being committed: it may be stored or not.
    bool esitoIgnoto() const { return m_esitoIgnoto; }

    // A fact's text as an XML decimal, read exactly: "." is always the decimal point; a
    // text without one is divided by 10 to the power of decimals.
    static vb::Importo leggiImporto(const QString& testo, int decimali, Currency& valore);

private:
    struct Rifiuto {
        QString motivo;
    };
    [[noreturn]] static void rifiuta(const QString& motivo);

    bool riconosciTassonomia();
    void leggiValuta();
    void leggiContesti(const std::vector<pugi::xml_node>& contesti);
    void raccogliFatti(pugi::xml_node radice);
    void intestazione(bool svuotaLog);
    bool risolviDitta();
    void posta(pugi::xml_node nodo);
    void termina();
    void scriviValori();
    void gestisciErrore(const AppError& errore);
    void pulizia();

    SchermoXbrl& m_schermo;
    QString m_file;
    MappatureXbrl* m_mappature;
    std::unique_ptr<MappatureXbrl> m_mappatureProprie;
    DocumentoXbrl m_documento;
    Tassonomia m_tassonomia;
    QString m_unita;
    QHash<QString, QString> m_valuteUnita;
    QHash<QString, QString> m_dateErrate;  // context id -> the date it could not read  // unit id -> ISO 4217 code, empty when not a currency
    QString m_identificativo;
    TabellaPeriodi m_tabella;
    std::vector<pugi::xml_node> m_fatti;                          // facts with a context, in order
    QHash<const RigaTabellaPeriodi*, QSet<QString>> m_presenti;  // accounts reported per period
    const RigaTabellaPeriodi* m_rigaIntestazione = nullptr;
    QString m_denominazione;
    AnagraficaXbrl m_anagrafica;
    QString m_ditta;
    bool m_dittaCreata = false;
    bool m_salvata = false;
    int m_decimali = 0;
    QString m_fatto;  // fact and context being posted, for the error log
    QString m_conto;  // account and label of the fact last mapped, for the error log
    QString m_label;
    QString m_motivo;
    // Amounts posted and not yet written: they go to the database together, a statement
    // for many, before a period is prepared and before the commit.
    struct Valore {
        QString conto, anno;
        int mese = 0, periodo = 0;
        QVariant convertito, estero;  // as the connection binds amounts
        QString fatto, label;         // for the error log
    };
    std::vector<Valore> m_valori;
    bool m_esitoIgnoto = false;
    const MappaturaXbrl* m_mappatura = nullptr;
    std::unique_ptr<PeriodoXbrl> m_periodo;
};
