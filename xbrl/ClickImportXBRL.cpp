#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/LogList.h"
#include "xbrl/DocumentoXbrl.h"
#include "xbrl/ImportazioneXbrl.h"
#include "xbrl/SchermoXbrl.h"
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace {

// The screen as an XBRL import sees it.
class SchermoCtlVevAre : public SchermoXbrl {
public:
    explicit SchermoCtlVevAre(ctlVevAre& s) : m_s(s) {}

    CGlobal& global() override { return *m_s.m_CGlobal; }
    Dialogs& dialogs() override { return m_s.dialogs(); }
    QString titoloFinestra() const override { return m_s.captionTitle(); }
    QString leggiFile(QString& percorso) override { return m_s.ReadTextFilePlus(percorso); }
    void InsertLog(const QString& conto, const QString& descrizione, const QString& valore, bool errore,
                   bool evidenzia) override
    {
        m_s.InsertLog(conto, descrizione, valore, errore, evidenzia);
    }
    void mostraIntestazione(const QString& testo, bool svuotaLog) override
    {
        m_s.lblCaption->setText(testo);
        m_s.picCaption->setVisible(true);
        m_s.fraLog->setVisible(true);
        if (svuotaLog) m_s.lwLog->clearRows();
        m_s.Ridisponi();
    }
    void aggiorna() override
    {
        m_s.lwLog->flush();
        QCoreApplication::processEvents();
    }
    void chiudiRun() override
    {
        const int ultima = m_s.lwLog->rowCount() - 1;
        if (ultima >= 0) {
            m_s.lwLog->selectRow(ultima);
            m_s.lwLog->ensureRowVisible(ultima);
        }
        m_s.setHourglass(false);
    }
    void setClessidra(bool attiva) override { m_s.setHourglass(attiva); }
    void MostraErrore(const AppError& errore) override { m_s.MostraErrore(errore); }
    void periodoSalvato(const QString& ditta, const QString& anno, qint16 mese, qint16 periodo) override
    {
        emit m_s.ImportazioneSalvata(ditta, anno, mese, periodo);
    }
    qint16 NuovoPeriodo(const QString& ditta, const QString& anno, qint16 mese) override
    {
        return m_s.NuovoPeriodo(ditta, anno, mese);
    }
    double CambioPeriodo(const QString& ditta, const QString& anno, const QString& mese) override
    {
        return m_s.CambioPeriodo(ditta, anno, mese);
    }
    double GetCambioRSS(qint16 anno, qint16 mese, const QString& valuta) override
    {
        QString v = valuta;
        return m_s.GetCambioRSS(anno, mese, v);
    }
    void setCambio(double cambio) override { m_s.m_Cambio = cambio; }
    QString nomeMese(int mese) const override { return m_s.m_Mesi.at(mese - 1); }
    void VerificaQuadratura(const QString& ditta, const QString& anno, qint16 mese, qint16 periodo) override
    {
        m_s.VerificaQuadratura(ditta, anno, mese, periodo);
    }

private:
    ctlVevAre& m_s;
};

}  // namespace

QString ctlVevAre::ReadTextFilePlus(QString& sFileName) { return DocumentoXbrl::leggiTesto(sFileName); }

void ctlVevAre::ClickImportXBRL()
{
    // The user interface runs during an import: a second click or hotkey must not nest one.
    if (m_ImportXBRL || ImportazioneInCorso() || !m_CGlobal) return;
    const ctlVevAre::InCorso attiva(*this);

    AvviaImportazione(true);

    QString file;
    try {
        file = vb::Trim(dialogs().OpenFile(QStringLiteral("Selezionare il file XBRL da importare"),
                                           QStringLiteral("File XBRL|*.xbrl|Tutti i file|*.*"), m_WorkingFolder));
    } catch (...) {
        return;  // a dialog that fails counts as cancelled
    }
    if (file.isEmpty()) return;

    SchermoCtlVevAre schermo(*this);
    ImportazioneXbrl importazione(schermo);
    struct InCorso {
        ImportazioneXbrl*& run;
        ~InCorso() { run = nullptr; }
    } inCorso{m_ImportXBRL = &importazione};
    importazione.esegui(file);
}
