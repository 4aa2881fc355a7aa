#include "xbrl/ImportazioneXbrl.h"
#include "platform/host/CGlobal.h"
#include "platform/host/SqlText.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include "xbrl/NoteXbrl.h"
#include "xbrl/PeriodoXbrl.h"
#include "xbrl/RegoleConto.h"
#include "xbrl/SchermoXbrl.h"
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <cmath>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Titolo = QStringLiteral("Importazione bilancio XBRL");

// The user interface catches up at most this often during the fact walk.
constexpr qint64 IntervalloEventiMs = 20;

bool nome(pugi::xml_node n, std::string_view atteso) { return std::string_view(n.name()) == atteso; }

// A context date: xs:date or xs:dateTime, the day being what counts; anything else is
// no date.
QDate data(const QString& testo)
{
    const QString t = testo.trimmed();
    const QDate d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    const bool seguito = t.size() == 10 || (t.size() > 10 && QStringView(u"TZ+-").contains(t.at(10)));
    if (!d.isValid() || !seguito) throw AppError::typeMismatch();
    return d;
}

// The SQL form of an amount: up to 15 significant digits, "." as decimal point.
QString numeroSql(double valore) { return vb::CStr(valore).replace(QLatin1Char(','), QLatin1Char('.')); }

}  // namespace

ImportazioneXbrl::ImportazioneXbrl(SchermoXbrl& schermo) : m_schermo(schermo) {}

ImportazioneXbrl::~ImportazioneXbrl() = default;

void ImportazioneXbrl::esegui(QString file)
{
    Connection& conn = m_schermo.global().Database().Connection();
    try {
        // A text that does not parse ends the command, saying so.
        if (!m_documento.carica(DocumentoXbrl::sostituisciEntita(m_schermo.leggiFile(file)))) {
            m_schermo.dialogs().MsgBox(QStringLiteral("Il file ") + QDir::toNativeSeparators(file) +
                                           QStringLiteral(" non è un documento XBRL leggibile"),
                                       vb::vbExclamation, Titolo);
            return;
        }
        if (!riconosciTassonomia()) {
            pulizia();
            return;
        }
        m_schermo.setClessidra(true);

        if (const pugi::xml_node misura = m_documento.primo("measure")) {
            m_unita = DocumentoXbrl::testo(misura);
            const qsizetype dueAPunti = m_unita.indexOf(QLatin1Char(':'));
            if (dueAPunti >= 0) m_unita = m_unita.mid(dueAPunti + 1);
        }

        const std::vector<pugi::xml_node>& contesti = m_documento.elementi("context");
        if (contesti.empty()) {
            pulizia();
            return;
        }
        leggiContesti(contesti);
        m_periodo = std::make_unique<PeriodoXbrl>(m_schermo, m_tassonomia, m_unita);

        m_denominazione = m_documento.testoDi("itcc-ci:DatiAnagraficiDenominazione");
        intestazione(true);
        m_schermo.InsertLog(QString(), QStringLiteral("Importazione in corso ...."), QString(), false, false);

        conn.BeginTrans();
        m_anagrafica = AnagraficaXbrl::leggi(m_documento);
        if (m_documento.primo("itcc-ci:DatiAnagraficiPartitaIva")) m_identificativo = m_anagrafica.partitaIva;

        // Every node after the contexts, whatever it is: units and footnote links too.
        QElapsedTimer eventi;
        eventi.start();
        for (pugi::xml_node nodo = contesti.back().next_sibling(); nodo; nodo = nodo.next_sibling()) {
            if (!m_dittaRisolta && !risolviDitta()) return;
            posta(nodo);
            if (eventi.elapsed() >= IntervalloEventiMs) {
                m_schermo.aggiorna();
                eventi.restart();
            }
        }
        termina();
    } catch (...) {
        gestisciErrore(AppError::fromCurrent());
    }
}

bool ImportazioneXbrl::riconosciTassonomia()
{
    QString codice;
    for (const pugi::xml_node xbrl : m_documento.elementi("xbrl")) {
        const pugi::xml_attribute ns = xbrl.attribute("xmlns:itcc-ci");
        if (!ns) continue;
        const QString uri = vb::Trim(QString::fromUtf8(ns.value()));
        codice = m_schermo.global().Utility().LeggiCampo(QStringLiteral("QD50_XBRLANAG"), QStringLiteral("QD50_CODICE"),
                                                         QStringLiteral(" where QD50_VERSIONE = '") + ApiciSQL(uri) +
                                                             QLatin1Char('\''));
        break;
    }
    QString schemaRef;
    for (const pugi::xml_node ref : m_documento.elementi("link:schemaRef"))
        schemaRef = QString::fromUtf8(ref.attribute("xlink:href").value());
    m_tassonomia = Tassonomia::riconosci(codice, schemaRef);

    const QString fine = CrLf + QStringLiteral("Impossibile continuare l'importazione");
    if (m_tassonomia.codice.isEmpty()) {
        m_schermo.dialogs().MsgBox(QStringLiteral("Versione file XBRL non trovata.") + fine, vb::vbCritical, Titolo);
        return false;
    }
    if (m_tassonomia.versione.isEmpty()) {
        m_schermo.dialogs().MsgBox(QStringLiteral("Piano dei conti non trovato.") + fine, vb::vbCritical, Titolo);
        return false;
    }
    return true;
}

void ImportazioneXbrl::leggiContesti(const std::vector<pugi::xml_node>& contesti)
{
    m_tabella.assign(size_t(righePerContesti(int(contesti.size()))), RigaTabellaPeriodi());
    const pugi::xml_node partitaIva = m_documento.primo("itcc-ci:DatiAnagraficiPartitaIva");

    for (const pugi::xml_node contesto : contesti) {
        const QString id = QString::fromUtf8(contesto.first_attribute().value());
        for (const pugi::xml_node parte : contesto.children()) {
            if (nome(parte, "entity")) {
                for (const pugi::xml_node figlio : parte.children()) {
                    if (nome(figlio, "identifier")) m_identificativo = DocumentoXbrl::testo(figlio);
                    if (m_identificativo.isEmpty() && partitaIva) m_identificativo = DocumentoXbrl::testo(partitaIva);
                }
            } else if (nome(parte, "period")) {
                for (const pugi::xml_node figlio : parte.children()) {
                    const bool istante = nome(figlio, "instant");
                    const bool inizio = nome(figlio, "startDate");
                    if (!istante && !inizio && !nome(figlio, "endDate")) continue;
                    const QDate d = data(DocumentoXbrl::testo(figlio));
                    m_rigaCorrente = RigaPeriodo(m_tabella, m_identificativo, qint16(d.year()));
                    RigaTabellaPeriodi& riga = m_tabella[size_t(m_rigaCorrente)];
                    if (istante) {
                        riga.contesti = id;
                        riga.identificativo = m_identificativo;
                        riga.anno = qint16(d.year());
                        riga.mese = qint16(d.month());
                        riga.istante = d;
                        riga.preparata = false;
                        riga.cambio = 0;
                    } else if (inizio) {
                        riga.contesti += QLatin1Char('|') + id;
                        riga.inizio = d;
                    } else {
                        riga.fine = d;
                    }
                }
            }
        }
    }
}

void ImportazioneXbrl::intestazione(bool svuotaLog)
{
    const RigaTabellaPeriodi& riga = m_tabella[size_t(m_rigaCorrente)];
    // A row that no instant reached has no month to name.
    const QString mese = riga.mese >= 1 && riga.mese <= 12 ? vb::NomeMese(riga.mese) : QString();
    const QString anno = riga.anno ? QString::number(*riga.anno) : QString();
    m_schermo.mostraIntestazione(m_denominazione + QStringLiteral("   ") + mese + QStringLiteral(" / ") + anno +
                                     QStringLiteral(" [ ") + m_unita + QStringLiteral(" ]"),
                                 svuotaLog);
}

bool ImportazioneXbrl::risolviDitta()
{
    CGlobal& global = m_schermo.global();
    Connection& conn = global.Database().Connection();
    intestazione(false);
    const QString identificativo = vb::Trim(m_identificativo);
    m_ditta = global.Utility().LeggiCampo(QStringLiteral("QD05_DITTA"), QStringLiteral("QD05_CODICEDITTA"),
                                          QStringLiteral(" where QD05_PIVA = '") + testoSql(identificativo) +
                                              QLatin1Char('\''));
    if (m_ditta.isEmpty()) {
        const int risposta = m_schermo.dialogs().MsgBox(
            QStringLiteral("Attenzione ditta - ") + vb::Trim(m_denominazione) + QStringLiteral(" - ") + CrLf +
                QStringLiteral("con Partita iva : ") + identificativo + QStringLiteral(" non trovata.") + CrLf +
                QStringLiteral("Caricare automaticamente l'anagrafica ?"),
            vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, Titolo);
        if (risposta != vb::vbYes) {
            m_schermo.dialogs().MsgBox(QStringLiteral("Elaborazione interrotta"), vb::vbExclamation, m_schermo.titoloFinestra());
            conn.RollbackTrans();
            pulizia();
            return false;
        }
        m_ditta = AnagraficaXbrl::codiceDitta(m_identificativo);
        conn.Execute(m_anagrafica.insertDitta(m_ditta, m_identificativo, m_tassonomia, m_unita));
        conn.Execute(AnagraficaXbrl::insertModello(m_ditta, m_tassonomia));
        m_dittaCreata = true;
    }
    m_dittaRisolta = true;
    return true;
}

void ImportazioneXbrl::posta(pugi::xml_node nodo)
{
    for (const pugi::xml_attribute a : nodo.attributes()) {
        if (std::string_view(a.name()) == "decimals") {
            const QString valore = QString::fromUtf8(a.value());
            m_decimali = vb::IsNumeric(valore) ? vb::CInt(valore) : qint16(0);
        } else if (std::string_view(a.name()) == "contextRef") {
            QString chiave = QString::fromUtf8(a.value());
            // A duration context "...d" stands for the instant "...i" of its row.
            if (chiave.endsWith(QLatin1Char('d'))) chiave.replace(QLatin1Char('d'), QLatin1Char('i'));
            m_rigaCorrente = RigaContesto(m_tabella, chiave);
        }
    }
    RigaTabellaPeriodi& riga = m_tabella[size_t(m_rigaCorrente)];
    if (!riga.preparata) m_periodo->prepara(riga, m_ditta);

    Connection& conn = m_schermo.global().Database().Connection();
    if (!m_mappatura.caricata()) m_mappatura.carica(conn, m_tassonomia);
    const QString id = vb::Trim(QString::fromUtf8(nodo.name())).replace(QLatin1String("itcc-ci:"), QLatin1String("itcc-ci_"));
    const MappaturaXbrl::Voce* voce = m_mappatura.voce(testoSql(id));
    if (!voce) return;
    const QString& codice = m_tassonomia.codice;
    if (vb::Trim(voce->saldo).isEmpty() && !voce->conto.startsWith(QLatin1Char('O')) && codice != QLatin1String("6") &&
        codice != QLatin1String("7") && codice != QLatin1String("8"))
        return;
    m_conto = voce->conto;
    m_label = voce->label;
    if (vb::Trim(m_mappatura.tipoRiga(vb::Trim(m_conto))) != QLatin1String("V") && !contoSempreRegistrato(m_conto)) return;
    const QString sezione = m_mappatura.sezione(vb::Trim(m_conto));

    const double valore = vb::CDbl(DocumentoXbrl::testo(nodo)) / std::pow(10.0, m_decimali);
    const double estero = sezione == QLatin1String("2") || sezione == QLatin1String("5") ? valore * -1 : valore;
    double convertito = (1 / riga.cambio) * estero;  // the rate of the fact's own row
    applicaRegoleConto(m_conto, convertito, m_tassonomia);

    const QString anno = riga.anno ? QString::number(*riga.anno) : QString();
    conn.Execute(QStringLiteral("UPDATE QD07_VALORIPDC SET  QD07_VALOREORIGINALE=QD07_VALOREORIGINALE + ") +
                 numeroSql(convertito) + QStringLiteral(", QD07_VALOREINVALUTA = QD07_VALOREINVALUTA + ") + numeroSql(estero) +
                 QStringLiteral(" WHERE (QD07_CODICEDITTA_QD05='") + vb::Trim(testoSql(m_ditta)) +
                 QStringLiteral("' AND QD07_CODICECONTO = '") + vb::Trim(testoSql(m_conto)) +
                 QStringLiteral("' AND QD07_ANNO = '") + anno + QStringLiteral("' AND QD07_MESE = ") +
                 QString::number(riga.mese) + QStringLiteral(" AND QD07_NPERIODO = ") + riga.periodo + QLatin1Char(')'));
    m_schermo.InsertLog(m_conto, m_label + QStringLiteral(" - ") + anno, vb::FormatIntero(convertito), false, false);
}

void ImportazioneXbrl::termina()
{
    NoteXbrl(m_schermo, m_tassonomia).registra(m_documento, m_tabella, m_ditta);
    m_schermo.global().Database().Connection().CommitTrans();
    for (const RigaTabellaPeriodi& riga : m_tabella)
        if (riga.preparata)
            m_schermo.periodoSalvato(m_ditta, QString::number(riga.anno.value_or(0)), riga.mese, vb::CInt(riga.periodo));

    if (m_dittaCreata)
        m_schermo.InsertLog(QString(), QStringLiteral("Verificare in gestione ditta indirizzo e natura giuridica"), QString(),
                            false, true);
    m_schermo.InsertLog(QString(), QStringLiteral("Importazione terminata con successo"), QString(), false, true);
    // A row that no fact reached has no period to check.
    for (const RigaTabellaPeriodi& riga : m_tabella)
        if (riga.preparata)
            m_schermo.VerificaQuadratura(m_ditta, QString::number(riga.anno.value_or(0)), riga.mese, vb::CInt(riga.periodo));
    pulizia();
}

void ImportazioneXbrl::gestisciErrore(const AppError& errore)
{
    Connection& conn = m_schermo.global().Database().Connection();
    try {
        for (const ConnectionError& e : conn.Errors())
            m_schermo.InsertLog(QString(), QStringLiteral("** Error: ") + e.description, QString(), true, false);
        m_schermo.InsertLog(QString(), m_conto + QLatin1Char(' ') + m_label, QString(), true, false);
    } catch (...) {
    }
    conn.RollbackTrans();
    m_schermo.MostraErrore(errore);
    pulizia();
}

void ImportazioneXbrl::pulizia() { m_schermo.chiudiRun(); }
