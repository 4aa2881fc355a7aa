#include "control/ctlVevAre.h"
#include "import/ChiaveRiga.h"
#include "import/IndiceBlocchi.h"
#include "import/Ingressi.h"
#include "model/Campi.h"
#include "import/RiepilogoAutomatica.h"
#include "platform/db/Recordset.h"
#include "platform/host/CGlobal.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/TextFile.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/LogList.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QSet>
#include <algorithm>
#include <tuple>

// What tells the two automatic imports apart.
struct Esportazione {
    QString definizione;
    QString ricercaDitta;
    void (ctlVevAre::*motore)(qint16&, QString&, qint16&, qint16&, QString&, QString&);
};

namespace {

const QString CrLf = QStringLiteral("\r\n");

// A run whose boxes are scripted (a command line that ran out of answers) must not ask
// for ever; a person gives up long before.
constexpr int MassimoRichieste = 100;

// A step whose value cannot be read leaves the previous one.
template <class T, class F>
void seNumero(T& valore, F leggi)
{
    try {
        valore = leggi();
    } catch (...) {
    }
}

}  // namespace

void ctlVevAre::ClickImport()
{
    ImportazioneAutomatica(Esportazione{QStringLiteral("QDMSIT"), QStringLiteral("SELECT * FROM QD05_DITTA WHERE QD05_CODICEKADRO="),
                                        &ctlVevAre::ImportaValoriKadro});
}

void ctlVevAre::ClickImportCEE()
{
    ImportazioneAutomatica(Esportazione{QStringLiteral("QDCEE"), QStringLiteral("SELECT * FROM QD05_DITTA where QD05_CODICEKADRO="),
                                        &ctlVevAre::ImportaValoriCEE});
}

void ctlVevAre::ImportazioneAutomatica(const Esportazione& esportazione)
{
    if (ImportazioneInCorso()) return;
    const InCorso inCorso(*this);
    m_EsitoAutomatica = EsitoAutomatica{};
    TextFile file;
    try {
        m_CodImportazione = esportazione.definizione;
        AvviaImportazione(true);

        if (!CaricaConf() || !IngressiImportabili(*this)) {
            ClickClose();
            return;
        }
        const QString percorso = m_WorkingFolder.endsWith(QLatin1Char('\\')) ? m_WorkingFolder + m_NomeFile
                                                                              : m_WorkingFolder + QLatin1Char('\\') + m_NomeFile;
        if (!file.open(percorso)) {
            dialogs().MsgBox(QStringLiteral("Impossibile Aprire ") + CrLf + QStringLiteral("il file da importare !!"), vb::vbCritical,
                             captionTitle());
            return;
        }
    } catch (...) {
        MostraErrore(AppError::fromCurrent());
        return;
    }

    // The engines find each company's block where this one pass found it, instead of
    // reading the export again from the top for every company and month.
    const IndiceBlocchi indice = IndiceBlocchi::costruisci(*this, m_WorkingFolder + QLatin1Char('\\') + m_NomeFile);
    m_IndiceBlocchi = &indice;
    struct Fine {
        const IndiceBlocchi*& indice;
        ~Fine() { indice = nullptr; }
    } fine{m_IndiceBlocchi};

    Connection& conn = m_CGlobal->Database().Connection();
    EsitoAutomatica& run = m_EsitoAutomatica;
    // Every group of the export is accounted for from the start: one the run does not
    // reach keeps "non importato".
    QHash<quint64, qsizetype> dove;  // key -> its place in the summary
    const auto gruppoDi = [&](const ChiaveRiga& k) -> EsitoGruppo& {
        auto it = dove.constFind(k.codice());
        if (it == dove.constEnd()) {
            it = dove.insert(k.codice(), run.esiti.size());
            EsitoGruppo g;
            g.ragioneSociale = QStringLiteral("Ditta ") + QString::number(k.numero);
            g.anno = k.anno;
            g.mese = k.mese;
            g.numero = k.numero;
            run.esiti.append(g);
        }
        return run.esiti[*it];
    };
    for (const ChiaveRiga& k : indice.chiavi()) gruppoDi(k);

    // A group that cannot be saved is named in the log while it shows, and in the summary.
    const auto nonSalvato = [&](const ChiaveRiga& k, const QString& ditta, const QString& ragioneSociale, const QString& motivo) {
        EsitoGruppo& g = gruppoDi(k);
        g.ditta = ditta;
        g.ragioneSociale = ragioneSociale;
        g.esito = EsitoGruppo::NonSalvato;
        g.motivo = motivo;
        InsertLog(ditta, QStringLiteral("Gruppo non salvato: ") + DescrizioneGruppo(g), QString(), true, false);
    };
    qint64 numeroRiga = 0;
    try {
        for (int i = 1; i < m_PrimaRiga && !file.atEnd(); ++i, ++numeroRiga) file.readLine();
    } catch (...) {
    }
    ResetAnomalie();
    setHourglass(true);

    // Each company, year and month is posted once, with all its lines wherever they stand.
    QSet<quint64> importati;
    // Companies a box has already named: an export of many months names each once.
    QSet<qint16> ditteMancanti;
    QSet<QString> pdcDiversi;
    bool discoPieno = false;
    int raggiunti = 0;  // groups the run has started
    QElapsedTimer eventi;
    eventi.start();
    while (run.interruzione.isEmpty() && !file.atEnd()) {
        // Without its connection every later group would fail the same way: the run ends
        // and the summary names them.
        if (conn.connessionePersa()) {
            run.interruzione = QStringLiteral("Importazione interrotta al gruppo %1 di %2: connessione al database persa")
                                   .arg(raggiunti)
                                   .arg(run.esiti.size());
            break;
        }
        if (eventi.elapsed() >= 20) {  // pending user-interface events, at most this often
            QCoreApplication::processEvents();
            eventi.restart();
        }
        QString riga;
        try {
            riga = file.readLine();
        } catch (...) {
            run.interruzione = QStringLiteral("Importazione interrotta dopo il gruppo %1 di %2: il file da importare non si legge più")
                                   .arg(raggiunti)
                                   .arg(run.esiti.size());
            break;
        }
        ++numeroRiga;
        // Lines the rules exclude belong to no group: a group of such lines only would
        // commit an empty period.
        int impossibili = 0;
        if (riga.trimmed().isEmpty() || !Campi::accettata(*m_Regole, riga, impossibili)) continue;
        qint16 posizione = m_Colonne->Item(5).Position;
        const QString numeroDitta = EstraiCampo(riga, posizione);
        posizione = m_Colonne->Item(6).Position;
        const QString data = EstraiCampo(riga, posizione);
        posizione = m_Colonne->Item(7).Position;
        const QString pdc = vb::Trim(EstraiCampo(riga, posizione));
        ChiaveRiga gruppo;
        QString motivo = gruppo.leggi(numeroDitta, data);
        qint32 pdcKadro = 0;  // a line without a chart code is accepted whatever the chart
        if (motivo.isEmpty() && !pdc.isEmpty()) {
            bool letto = false;
            pdcKadro = pdc.toInt(&letto);
            if (!letto || pdcKadro < 0) motivo = QStringLiteral("codice PDC non leggibile (\"%1\")").arg(pdc);
        }
        if (!motivo.isEmpty()) {
            segnalaRigaNonImportata(*this, numeroRiga, riga, motivo, numeroDitta);  // posted nowhere, and said so
            continue;
        }
        if (importati.contains(gruppo.codice())) continue;
        const qint16 codice = gruppo.numero, anno = gruppo.anno, mese = gruppo.mese;
        // The user asked to stop: the groups before stay posted, this one does not start.
        if (InterruzioneRichiesta()) {
            run.interruzione = QStringLiteral("Importazione interrotta dall'utente al termine del gruppo %1 di %2")
                                   .arg(raggiunti)
                                   .arg(run.esiti.size());
            break;
        }
        importati.insert(gruppo.codice());
        gruppoDi(gruppo);  // a group the first pass did not see still counts
        ++raggiunti;

        // A company that cannot be imported fails its own groups only; the run goes on.
        QString ditta, ragioneSociale;
        try {
            if (m_Rs->isOpen()) m_Rs->Close();
            m_Rs->Open(esportazione.ricercaDitta + vb::Trim(QString::number(codice)) + QStringLiteral(" ORDER BY QD05_RAGIONESOCIALE"),
                       conn);
            if (m_Rs->Eof()) {
                m_Rs->Close();
                if (!ditteMancanti.contains(codice)) {
                    ditteMancanti.insert(codice);
                    dialogs().MsgBox(QStringLiteral("Ditta ") + QString::number(codice) + QStringLiteral(" non trovata"),
                                     vb::vbInformation, captionTitle());
                }
                nonSalvato(gruppo, QString(), QStringLiteral("Ditta ") + QString::number(codice),
                           QStringLiteral("ditta %1 non trovata").arg(codice));
                continue;
            }
            ditta = vb::CStr(m_Rs->value(QStringLiteral("QD05_CODICEDITTA")));
            m_CodicePDC = vb::CStr(m_Rs->value(QStringLiteral("QD05_CODICEPDC_QD04")));
            ragioneSociale = vb::CStr(m_Rs->value(QStringLiteral("QD05_RAGIONESOCIALE")));

            Recordset rs;
            rs.Open(QStringLiteral("Select QD04_CODICEPDCKADRO FROM QD04_PDC WHERE QD04_CODICEPDC = ") + StringaSQL(vb::Trim(m_CodicePDC)),
                    conn);
            const QVariant kadro = rs.Eof() ? QVariant() : rs.value(QStringLiteral("QD04_CODICEPDCKADRO"));
            const qint32 pdcDitta = kadro.isNull() ? 0 : vb::CLng(kadro);
            rs.Close();
            if (pdcDitta != pdcKadro && pdcKadro >= 1) {
                m_Rs->Close();
                if (!pdcDiversi.contains(ditta)) {
                    pdcDiversi.insert(ditta);
                    dialogs().MsgBox(QStringLiteral("Attenzione ditta <") + ragioneSociale.toUpper() +
                                         QStringLiteral("> con codice PDC non corrispondente. Impossibile continuare"),
                                     vb::vbInformation, captionTitle());
                }
                nonSalvato(gruppo, ditta, ragioneSociale, QStringLiteral("codice PDC non corrispondente"));
                continue;
            }
            const QVariant valuta = m_Rs->value(QStringLiteral("QD05_CODICEVALUTA_QD40"));
            const QString base = m_CGlobal->ValutaBase();
            m_Valuta = !valuta.isNull() ? vb::CStr(valuta) : !base.isEmpty() ? base : QStringLiteral("EUR");
            m_Rs->Close();
        } catch (...) {
            // A company that cannot be read is skipped, with its group named.
            const AppError errore = AppError::fromCurrent();
            nonSalvato(gruppo, ditta, ragioneSociale.isEmpty() ? QStringLiteral("Ditta ") + QString::number(codice) : ragioneSociale,
                       errore.description());
            continue;
        }

        m_Cambio = 0;
        seNumero(m_Cambio, [&] { return CambioPeriodo(ditta, vb::Trim(QString::number(anno)), QString::number(mese)); });
        if (m_Cambio == 0) {
            if (m_Valuta == m_CGlobal->ValutaBase()) {
                m_Cambio = 1;
            } else {
                // The caption still shows the previous company: the question names this one.
                const QString prompt = QStringLiteral("Digitare il cambio per la ditta ") + ragioneSociale +
                                       QStringLiteral(" per il periodo ") + QString::number(mese) +
                                       QLatin1Char('/') + QString::number(anno) +
                                       QStringLiteral(" da applicare per la conversione ") + vb::Trim(m_Valuta) +
                                       QStringLiteral(" ==> ") + vb::Trim(m_CGlobal->ValutaBase()) + QStringLiteral(" : ");
                for (int richieste = 0; m_Cambio == 0 && richieste < MassimoRichieste; ++richieste) {
                    qint16 a = anno, m = mese;
                    QString v = m_Valuta;
                    const double proposto = GetCambioRSS(a, m, v);
                    const QString risposta = dialogs().InputLetto(prompt, QStringLiteral("Richiesta cambio valuta"),
                                                                  vb::CStr(proposto), &ctlVevAre::LetturaCambio);
                    double cambio = 0;
                    seNumero(cambio, [&] { return vb::CDbl(risposta); });
                    if (cambio != 0 && !ConfermaCambio(cambio, proposto)) cambio = 0;  // No: the question again
                    m_Cambio = cambio;
                }
            }
        }

        try {
            // How far the run is, as the XBRL tool shows it.
            lblCaption->setText(QStringLiteral("gruppo %1 / %2   ").arg(raggiunti).arg(run.esiti.size()) + ragioneSociale +
                                QStringLiteral("   ") + vb::NomeMese(mese) + QStringLiteral(" / ") + QString::number(anno) +
                                QStringLiteral(" [ ") + m_Valuta + QStringLiteral(" ]"));
        } catch (...) {
        }
        picCaption->setVisible(true);
        fraLog->setVisible(true);
        Ridisponi();
        lwLog->clearRows();
        InsertLog(QString(), QStringLiteral("Importazione in corso ...."), QString(), false, false);

        const int prima = conn.commits(), primaIgnoti = conn.commitIgnoti();
        qint16 numero = codice, annoMotore = anno, meseMotore = mese;
        QString valuta = m_Valuta;
        m_QuadraturaVerificata = m_QuadraturaSuperata = true;
        (this->*esportazione.motore)(numero, ditta, annoMotore, meseMotore, valuta, ragioneSociale);
        if (conn.commits() > prima) {
            EsitoGruppo& g = gruppoDi(gruppo);
            g.ditta = ditta;
            g.ragioneSociale = ragioneSociale;
            g.periodo = m_Periodo;
            g.esito = !m_QuadraturaVerificata ? EsitoGruppo::QuadraturaNonVerificata
                      : m_QuadraturaSuperata  ? EsitoGruppo::Salvato
                                              : EsitoGruppo::QuadraturaNonSuperata;
        } else if (conn.commitIgnoti() > primaIgnoti) {
            // Maybe stored, maybe not: saying "not saved" would make a re-run duplicate it.
            EsitoGruppo& g = gruppoDi(gruppo);
            g.ditta = ditta;
            g.ragioneSociale = ragioneSociale;
            g.esito = EsitoGruppo::NonVerificabile;
            g.motivo = QStringLiteral("controllare il periodo %1").arg(m_Periodo);
            InsertLog(ditta, QStringLiteral("Esito del salvataggio non verificabile: ") + DescrizioneGruppo(g), QString(), true, false);
        } else {
            // The next group's log replaces this one: the failure is named while it shows.
            nonSalvato(gruppo, ditta, ragioneSociale, m_ErroreImportazione);
            // Once the disk is full every other group would fail the same way, each with its box.
            if (DiscoPieno(m_ErroreImportazione)) {
                discoPieno = true;
                run.interruzione = QStringLiteral("Importazione interrotta al gruppo %1 di %2: spazio su disco esaurito")
                                       .arg(raggiunti)
                                       .arg(run.esiti.size());
            }
        }

        if (lwLog->rowCount() > 0) {
            lwLog->selectRow(lwLog->rowCount() - 1);
            lwLog->ensureRowVisible(lwLog->rowCount() - 1);
        }
    }
    file.close();
    setHourglass(false);
    ConcludiAutomatica(esportazione, discoPieno);
}

// The groups the run did not reach are named as well as the others, the log ends with the
// summary and the closing box says how many groups of the export were saved.
void ctlVevAre::ConcludiAutomatica(const Esportazione& esportazione, bool discoPieno)
{
    EsitoAutomatica& run = m_EsitoAutomatica;
    QHash<qint16, std::pair<QString, QString>> ditte;  // export number -> code and name
    bool leggibili = true;  // after a lost connection the names are not looked for again
    for (const EsitoGruppo& g : std::as_const(run.esiti))
        if (!g.ditta.isEmpty()) ditte.insert(g.numero, {g.ditta, g.ragioneSociale});  // met by the run already
    for (EsitoGruppo& g : run.esiti) {
        if (g.esito != EsitoGruppo::NonImportato || !g.motivo.isEmpty()) continue;
        g.motivo = run.interruzione.isEmpty() ? QStringLiteral("nessuna riga importabile") : QStringLiteral("importazione interrotta");
        if (!ditte.contains(g.numero) && leggibili) {
            try {
                Recordset rs;
                rs.Open(esportazione.ricercaDitta + QString::number(g.numero) + QStringLiteral(" ORDER BY QD05_RAGIONESOCIALE"),
                        m_CGlobal->Database().Connection());
                if (!rs.Eof())
                    ditte.insert(g.numero, {vb::CStr(rs.value(QStringLiteral("QD05_CODICEDITTA"))),
                                            vb::CStr(rs.value(QStringLiteral("QD05_RAGIONESOCIALE")))});
                rs.Close();
            } catch (...) {
                leggibili = false;
            }
        }
        if (const auto it = ditte.constFind(g.numero); it != ditte.constEnd()) std::tie(g.ditta, g.ragioneSociale) = *it;
    }
    run.gruppi = int(run.esiti.size());
    run.salvati = int(std::count_if(run.esiti.cbegin(), run.esiti.cend(), [](const EsitoGruppo& g) { return g.salvato(); }));
    RiepilogoAutomatica();

    if (!vb::CStr(m_Anomalie.value(0)[0]).isEmpty()) {
        // A full disk has had its one box already; the log's summary says the rest.
        if (!discoPieno)
            dialogs().MsgBox(QStringLiteral("Attenzione sono state rilevate delle anomalie durante l'importazione.") + CrLf +
                                 QStringLiteral("Per visualizzare la lista anomalie effettuare la stampa. "),
                             vb::vbInformation, captionTitle());
        DS1->setToolEnabled(QStringLiteral("tbPrint"), true);
    }
    run.completata = run.interruzione.isEmpty();
    dialogs().MsgBox((run.completata ? QStringLiteral("Importazione terminata") : run.interruzione) + CrLf +
                         QStringLiteral("Gruppi salvati: %1 su %2").arg(run.salvati).arg(run.gruppi),
                     vb::vbInformation, QStringLiteral("Importazione da kadro"));
}
