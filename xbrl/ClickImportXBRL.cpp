#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/LogList.h"
#include "xbrl/DocumentoXbrl.h"
#include "xbrl/ImportazioneXbrl.h"
#include "xbrl/LottoXbrl.h"
#include "xbrl/SchermoXbrl.h"
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace {

// The screen as an XBRL import sees it.
class SchermoCtlVevAre : public SchermoXbrl {
public:
    explicit SchermoCtlVevAre(ctlVevAre& s) : m_s(s) {}
    // In a run of many files: "n / N" before the caption.
    void setLotto(int n, int totale) { m_prefisso = totale > 1 ? QStringLiteral("%1 / %2   ").arg(n).arg(totale) : QString(); }

    CGlobal& global() override { return *m_s.m_CGlobal; }
    Dialogs& dialogs() override { return m_s.dialogs(); }
    QString titoloFinestra() const override { return m_s.captionTitle(); }
    void InsertLog(const QString& conto, const QString& descrizione, const QString& valore, bool errore,
                   bool evidenzia) override
    {
        m_s.InsertLog(conto, descrizione, valore, errore, evidenzia);
    }
    void mostraIntestazione(const QString& testo, bool svuotaLog) override
    {
        m_s.lblCaption->setText(m_prefisso + testo);
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
    QString letturaCambio(const QString& testo) const override { return ctlVevAre::LetturaCambio(testo); }
    bool ConfermaCambio(double digitato, double proposto) override { return m_s.ConfermaCambio(digitato, proposto); }
    QString nomeMese(int mese) const override { return m_s.m_Mesi.at(mese - 1); }
    EsitoQuadratura CalcolaQuadratura(const QString& ditta, const QString& anno, qint16 mese, qint16 periodo) override
    {
        return m_s.CalcolaQuadratura(ditta, anno, mese, periodo);
    }
    void RiportaQuadratura(const EsitoQuadratura& esito, const QString& ditta, const QString& anno, qint16 mese,
                           qint16 periodo) override
    {
        m_s.RiportaQuadratura(esito, ditta, anno, mese, periodo);
    }

private:
    ctlVevAre& m_s;
    QString m_prefisso;
};

}  // namespace

QString ctlVevAre::ReadTextFilePlus(QString& sFileName) { return DocumentoXbrl::leggiTesto(sFileName); }

void ctlVevAre::ClickImportXBRL() { ImportaXBRL({}); }

void ctlVevAre::ImportaXBRL(const QStringList& scelti)
{
    // The user interface runs during an import: a second click or hotkey must not nest one.
    if (m_ImportXBRL || ImportazioneInCorso() || !m_CGlobal) return;
    const ctlVevAre::InCorso attiva(*this);

    AvviaImportazione(true);

    QStringList files = scelti;
    try {
        if (files.isEmpty())
            files = dialogs().OpenFiles(QStringLiteral("Selezionare il file XBRL da importare"),
                                        QStringLiteral("File XBRL|*.xbrl|Tutti i file|*.*"), m_WorkingFolder);
    } catch (...) {
        return;  // a dialog that fails counts as cancelled
    }
    for (QString& f : files) f = vb::Trim(f);
    files.removeAll(QString());
    if (files.isEmpty()) return;
    importaFileXbrl(*this, files);
}

QList<EsitoXbrl> importaFileXbrl(ctlVevAre& screen, const QStringList& files,
                                 const std::function<void(const EsitoXbrl&)>& esito, const QSet<QString>& nonRegolari)
{
    QList<EsitoXbrl> esiti;
    if (screen.m_ImportXBRL || !screen.m_CGlobal) return esiti;
    SchermoCtlVevAre schermo(screen);
    MappatureXbrl mappature;
    for (qsizetype i = 0; i < files.size(); ++i) {
        // Asked to stop: the filings before stay saved, the next one does not start.
        if (screen.InterruzioneRichiesta()) break;
        EsitoXbrl e;
        e.file = files[i];
        if (nonRegolari.contains(files[i])) {
            e.motivo = QStringLiteral("non è un file regolare");
        } else if (screen.m_CGlobal->Database().Connection().connessionePersa()) {
            e.motivo = QStringLiteral("non importato: connessione al database persa");
        } else {
            schermo.setLotto(int(i + 1), int(files.size()));
            ImportazioneXbrl importazione(schermo, &mappature);
            struct InCorso {
                ImportazioneXbrl*& run;
                ~InCorso() { run = nullptr; }
            } inCorso{screen.m_ImportXBRL = &importazione};
            e.salvata = importazione.esegui(files[i]);
            e.ditta = importazione.ditta();
            e.anni = importazione.anni();
            e.ignoto = importazione.esitoIgnoto();
            e.motivo = e.salvata ? QString() : importazione.motivo();
            if (!e.salvata && e.motivo.isEmpty()) e.motivo = QStringLiteral("Importazione non salvata");
        }
        esiti << e;
        if (esito) esito(e);
    }
    if (files.size() > 1) {
        // The log was cleared at each filing: the summary names every file with its outcome.
        if (screen.fraLog->isHidden()) schermo.mostraIntestazione(QStringLiteral("Importazione bilancio da file XBRL"), false);
        qsizetype salvate = 0;
        for (const EsitoXbrl& e : esiti) salvate += e.salvata ? 1 : 0;
        screen.InsertLog(QString(),
                         QStringLiteral("Riepilogo: %1 file, %2 salvati, %3 non salvati")
                             .arg(files.size())
                             .arg(salvate)
                             .arg(files.size() - salvate),
                         QString(), salvate < files.size(), salvate == files.size());
        for (const EsitoXbrl& e : esiti) {
            QString descrizione = QFileInfo(e.file).fileName();
            if (!e.anni.isEmpty()) descrizione += QStringLiteral("  ") + e.anni.join(QStringLiteral(", "));
            if (!e.motivo.isEmpty()) descrizione += QStringLiteral(" - ") + e.motivo;
            screen.InsertLog(e.ditta, descrizione,
                             e.salvata  ? QStringLiteral("salvato")
                             : e.ignoto ? QStringLiteral("esito non verificabile")
                                        : QStringLiteral("non salvato"),
                             !e.salvata, true);
        }
        // Stopped: the files not started are named too, and when the run ended.
        for (qsizetype i = esiti.size(); i < files.size(); ++i)
            screen.InsertLog(QString(), QFileInfo(files[i]).fileName() + QStringLiteral(" - importazione interrotta"),
                             QStringLiteral("non importato"), true, true);
        if (esiti.size() < files.size())
            screen.InsertLog(QString(), QStringLiteral("Importazione interrotta dall'utente al termine del file %1 di %2")
                                            .arg(esiti.size()).arg(files.size()), QString(), true, true);
        screen.lwLog->flush();
    }
    return esiti;
}

QStringList fileXbrl(const QStringList& percorsi, QSet<QString>* nonRegolari)
{
    QStringList out;
    for (const QString& p : percorsi) {
        const QFileInfo info(p);
        if (!info.isDir()) {
            out << p;
            continue;
        }
        QStringList trovati;
        // System entries too: a dangling link, a link loop or a pipe named *.xbrl is reported, not passed over.
        QDirIterator it(p, {QStringLiteral("*.xbrl")}, QDir::Files | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo voce = it.nextFileInfo();
            trovati << voce.filePath();
            if (!voce.isFile() && nonRegolari) nonRegolari->insert(voce.filePath());
        }
        // Name order, the folders' paths included, so that a run is repeatable.
        std::sort(trovati.begin(), trovati.end());
        out << trovati;
    }
    return out;
}
