#include "platform/db/Connection.h"
#include "xbrl/ImportazioneXbrl.h"
#include "import/RiepilogoAutomatica.h"
#include "model/Provenienza.h"
#include "verify/EsitoQuadratura.h"
#include "platform/host/CGlobal.h"
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
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Titolo = QStringLiteral("Importazione bilancio XBRL");

// The user interface catches up at most this often during the fact walk.
constexpr qint64 IntervalloEventiMs = 20;

QString utf8(const char* testo) { return QString::fromUtf8(testo); }

// A context date: xs:date or xs:dateTime, the day being what counts.
QDate data(const QString& testo)
{
    const QString t = testo.trimmed();
    const QDate d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    const bool seguito = t.size() == 10 || (t.size() > 10 && QStringView(u"TZ+-").contains(t.at(10)));
    return d.isValid() && seguito ? d : QDate();
}

// The ISO 4217 code a measure names, empty when it names no currency: its prefix must
// stand for the ISO 4217 namespace there. A prefix "iso4217" that the document does not
// declare counts as the currencies' own.
QString valutaDi(const DocumentoXbrl& documento, pugi::xml_node misura)
{
    const QString testo = DocumentoXbrl::testo(misura);
    const qsizetype dueAPunti = testo.indexOf(QLatin1Char(':'));
    const std::string_view ns = documento.spazioDelValore(misura);
    const bool iso =
        ns == DocumentoXbrl::Iso4217 || (ns.empty() && dueAPunti >= 0 && testo.left(dueAPunti) == QLatin1String("iso4217"));
    return iso ? testo.mid(dueAPunti + 1) : QString();
}

// xsi:nil="true": the fact has no value.
bool nullo(const DocumentoXbrl& documento, pugi::xml_node n)
{
    const std::string_view v(documento.attributo(n, "xsi:nil").value());
    return v == "true" || v == "1";
}

QString fuoriScala(const Connection& conn, const QString& testo)
{
    return QStringLiteral("Importo '%1' oltre il massimo che il database conserva esattamente (%2)")
        .arg(testo.left(60), vb::FormatNumero(conn.importoMassimo()));
}

QString fattoEContesto(pugi::xml_node n)
{
    return QStringLiteral("%1 (contesto %2)").arg(utf8(n.name()), utf8(n.attribute("contextRef").value()));
}

}  // namespace

const MappaturaXbrl& MappatureXbrl::di(Connection& connessione, const Tassonomia& t)
{
    const QString chiave = t.codice + QLatin1Char('|') + t.versione + QLatin1Char('|') + t.schema;
    std::shared_ptr<MappaturaXbrl>& m = m_perTassonomia[chiave];
    if (!m) {
        m = std::make_shared<MappaturaXbrl>();
        m->carica(connessione, t);
    }
    return *m;
}

ImportazioneXbrl::ImportazioneXbrl(SchermoXbrl& schermo, MappatureXbrl* mappature)
    : m_schermo(schermo), m_mappature(mappature)
{
    if (!m_mappature) {
        m_mappatureProprie = std::make_unique<MappatureXbrl>();
        m_mappature = m_mappatureProprie.get();
    }
}

ImportazioneXbrl::~ImportazioneXbrl() = default;

void ImportazioneXbrl::rifiuta(const QString& motivo) { throw Rifiuto{motivo}; }

QStringList ImportazioneXbrl::anni() const
{
    QStringList out;
    if (!m_salvata) return out;
    for (const RigaTabellaPeriodi& riga : m_tabella.righe())
        if (riga.preparata && !out.contains(QString::number(riga.anno))) out << QString::number(riga.anno);
    std::sort(out.begin(), out.end());
    return out;
}

vb::Importo ImportazioneXbrl::leggiImporto(const QString& testo, int decimali, Currency& valore)
{
    const QString t = testo.trimmed();
    std::string intera, frazione;
    bool negativo = false;
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) negativo = t[i++] == QLatin1Char('-');
    int punti = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9') (punti ? frazione : intera) += char(c);
        else if (c == u'.' && ++punti == 1) continue;
        else return vb::Importo::NonNumero;
    }
    if (intera.empty() && frazione.empty()) return vb::Importo::NonNumero;
    if (punti == 0 && decimali > 0) {
        if (intera.size() <= size_t(decimali)) intera.insert(0, size_t(decimali) - intera.size() + 1, '0');
        frazione = intera.substr(intera.size() - size_t(decimali));
        intera.resize(intera.size() - size_t(decimali));
    } else if (punti == 0 && decimali < 0) {
        if (intera.find_first_not_of('0') != std::string::npos) {
            if (-qint64(decimali) > 20) return vb::Importo::FuoriScala;
            intera.append(size_t(-decimali), '0');
        }
    }
    const std::string forma = (negativo ? "-" : "") + intera + "." + frazione;
    return Currency::daFormaC(forma.data(), forma.data() + forma.size(), valore) ? vb::Importo::Letto : vb::Importo::FuoriScala;
}

bool ImportazioneXbrl::esegui(QString file)
{
    Connection& conn = m_schermo.global().Database().Connection();
    m_file = file;
    try {
        // A pipe or a device would never end; a huge file is no filing.
        const QFileInfo info(file);
        if (info.exists() && !info.isFile())
            rifiuta(QStringLiteral("Il percorso ") + file +
                    QStringLiteral(" non è un file XBRL: è una cartella o un file speciale."));
        if (info.exists() && info.size() > DimensioneMassima)
            rifiuta(QStringLiteral("Il file ") + file + QStringLiteral(" supera la dimensione massima di un bilancio XBRL (%1 MB).")
                                                             .arg(DimensioneMassima / (1024 * 1024)));

        // A text that does not parse ends this file's import, saying so.
        if (!m_documento.caricaUtf8(DocumentoXbrl::sostituisciEntitaUtf8(DocumentoXbrl::leggiUtf8(file)))) {
            m_motivo = QStringLiteral("Il file ") + QDir::toNativeSeparators(file) + QStringLiteral(" non è un documento XBRL leggibile");
            m_schermo.dialogs().MsgBox(m_motivo, vb::vbExclamation, Titolo);
            return false;
        }
        if (!riconosciTassonomia()) {
            pulizia();
            return false;
        }
        m_schermo.setClessidra(true);
        leggiValuta();

        const std::vector<pugi::xml_node>& contesti = m_documento.elementi("context");
        if (contesti.empty()) {
            m_motivo = QStringLiteral("Nessun contesto nel file");
            pulizia();
            return false;
        }
        leggiContesti(contesti);
        raccogliFatti(contesti.front().parent());
        m_periodo = std::make_unique<PeriodoXbrl>(m_schermo, m_tassonomia, m_unita);

        m_denominazione = m_documento.testoDi("itcc-ci:DatiAnagraficiDenominazione").left(120);
        intestazione(true);
        m_schermo.InsertLog(QString(), QStringLiteral("Importazione in corso ...."), QString(), false, false);

        m_mappatura = &m_mappature->di(conn, m_tassonomia);
        // Accounts each period reports, for the grouped lines.
        for (const pugi::xml_node fatto : m_fatti) {
            if (nullo(m_documento, fatto)) continue;
            if (const MappaturaXbrl::Voce* voce = m_mappatura->voce(m_documento.idConcetto(fatto)))
                m_presenti[m_tabella.contesto(utf8(fatto.attribute("contextRef").value()))->riga].insert(voce->conto);
        }

        m_valori.clear();
        conn.BeginTrans();
        // Two first imports of one filing at once: the second waits here and then finds the
        // company the first registered.
        conn.lockCompany(AnagraficaXbrl::codiceDitta(testoSql(vb::Trim(m_identificativo))));
        m_anagrafica = AnagraficaXbrl::leggi(m_documento);
        if (!risolviDitta()) return false;

        QElapsedTimer eventi;
        eventi.start();
        for (const pugi::xml_node nodo : m_fatti) {
            posta(nodo);
            if (eventi.elapsed() >= IntervalloEventiMs) {
                m_schermo.aggiorna();
                eventi.restart();
            }
        }
        termina();
        return true;
    } catch (const Rifiuto& r) {
        conn.RollbackTrans();
        m_motivo = r.motivo;
        m_schermo.InsertLog(QString(), r.motivo, QString(), true, false);
        m_schermo.dialogs().MsgBox(r.motivo + CrLf + QStringLiteral("Impossibile continuare l'importazione"), vb::vbCritical,
                                   Titolo);
        pulizia();
    } catch (...) {
        gestisciErrore(AppError::fromCurrent());
    }
    return false;
}

bool ImportazioneXbrl::riconosciTassonomia()
{
    // The taxonomy's namespace is the one of the facts, whatever prefix binds it: the
    // first namespace of a fact, in document order, that names a known taxonomy.
    QHash<QString, QString> tassonomie;
    for (const QStringList& riga : m_schermo.global().Database().Connection().Righe(
             QStringLiteral("SELECT QD50_VERSIONE, QD50_CODICE FROM QD50_XBRLANAG"), {}))
        if (!tassonomie.contains(riga.value(0))) tassonomie.insert(riga.value(0), riga.value(1));
    QString codice;
    for (const pugi::xml_node xbrl : m_documento.elementi("xbrl"))
        for (pugi::xml_node n = xbrl.first_child(); n && codice.isEmpty(); n = n.next_sibling()) {
            const std::string_view ns = m_documento.spazioDi(n);
            if (ns.empty() || !n.attribute("contextRef")) continue;
            codice = tassonomie.value(vb::Trim(QString::fromUtf8(ns.data(), qsizetype(ns.size()))));
            if (!codice.isEmpty()) m_documento.impostaTassonomia(ns);
        }
    QString schemaRef;
    for (const pugi::xml_node ref : m_documento.elementi("link:schemaRef"))
        schemaRef = utf8(m_documento.attributo(ref, "xlink:href").value());
    m_tassonomia = Tassonomia::riconosci(codice, schemaRef);

    const QString fine = CrLf + QStringLiteral("Impossibile continuare l'importazione");
    if (m_tassonomia.codice.isEmpty()) {
        m_motivo = QStringLiteral("Versione file XBRL non trovata.");
        m_schermo.dialogs().MsgBox(m_motivo + fine, vb::vbCritical, Titolo);
        return false;
    }
    if (m_tassonomia.versione.isEmpty()) {
        m_motivo = QStringLiteral("Piano dei conti non trovato.");
        m_schermo.dialogs().MsgBox(m_motivo + fine, vb::vbCritical, Titolo);
        return false;
    }
    return true;
}

void ImportazioneXbrl::leggiValuta()
{
    // The filing's currency is its first ISO 4217 measure; a unit of one currency
    // measure is that currency, any other unit (shares, pure, ratios) none.
    for (const pugi::xml_node misura : m_documento.elementi("measure")) {
        const QString valuta = valutaDi(m_documento, misura);
        if (m_unita.isEmpty()) m_unita = valuta;
        const pugi::xml_node unita = misura.parent();
        if (!m_documento.e(unita, "unit")) continue;
        int misure = 0;
        for (pugi::xml_node c = unita.first_child(); c; c = c.next_sibling()) misure += m_documento.e(c, "measure") ? 1 : 0;
        if (misure == 1) m_valuteUnita.insert(utf8(unita.attribute("id").value()), valuta);
    }
    // A filing without a currency has no amounts to convert.
    if (m_unita.isEmpty()) m_unita = m_schermo.global().ValutaBase();
}

void ImportazioneXbrl::leggiContesti(const std::vector<pugi::xml_node>& contesti)
{
    const QString partitaIva = m_documento.testoDi("itcc-ci:DatiAnagraficiPartitaIva");
    for (const pugi::xml_node contesto : contesti) {
        const QString id = utf8(contesto.attribute("id").value());
        QString identificativo;
        QDate quando;
        for (const pugi::xml_node parte : contesto.children()) {
            if (m_documento.e(parte, "entity")) {
                if (const pugi::xml_node i = m_documento.figlio(parte, "identifier")) identificativo = DocumentoXbrl::testo(i);
                if (identificativo.isEmpty()) identificativo = partitaIva;
            } else if (m_documento.e(parte, "period")) {
                // The instant, or the end of the duration, decides the year and month.
                for (const pugi::xml_node figlio : parte.children()) {
                    if (!m_documento.e(figlio, "instant") && !m_documento.e(figlio, "endDate")) continue;
                    quando = data(DocumentoXbrl::testo(figlio));
                    // Refused only when a fact uses the context: an unused one changes nothing.
                    if (!quando.isValid()) m_dateErrate.insert(id, DocumentoXbrl::testo(figlio).left(100));
                }
            }
        }
        if (!m_tabella.aggiungi(id, identificativo.left(20), quando))
            rifiuta(QStringLiteral("Il contesto %1 è definito più volte nel file.").arg(id));
    }
}

void ImportazioneXbrl::raccogliFatti(pugi::xml_node radice)
{
    // Every fact is checked before anything is written: its context, its company, its
    // currency. Facts inside tuples are not walked.
    const ContestoXbrl* primo = nullptr;
    for (pugi::xml_node n = radice.first_child(); n; n = n.next_sibling()) {
        const pugi::xml_attribute rif = n.attribute("contextRef");
        if (n.type() != pugi::node_element || !rif) continue;
        const ContestoXbrl* c = m_tabella.contesto(utf8(rif.value()));
        if (!c)
            rifiuta(QStringLiteral("Il fatto %1 fa riferimento al contesto %2, che non esiste nel file.")
                        .arg(utf8(n.name()), utf8(rif.value())));
        m_fatti.push_back(n);
        if (nullo(m_documento, n)) continue;
        if (m_dateErrate.contains(c->id))
            rifiuta(QStringLiteral("Il contesto %1 ha una data non valida: %2").arg(c->id, m_dateErrate.value(c->id)));
        if (!c->riga) rifiuta(QStringLiteral("Il contesto %1 non ha né istante né fine periodo.").arg(c->id));
        if (vb::Trim(c->identificativo).isEmpty())
            rifiuta(QStringLiteral("Il contesto %1 non ha l'identificativo della ditta.").arg(c->id));
        if (!primo) primo = c;
        if (c->identificativo != primo->identificativo)
            rifiuta(QStringLiteral("Il file contiene fatti di due ditte: %1 (contesto %2) e %3 (contesto %4).")
                        .arg(primo->identificativo, primo->id, c->identificativo, c->id));
        const QString valuta = m_valuteUnita.value(utf8(n.attribute("unitRef").value()));
        if (!valuta.isEmpty() && valuta != m_unita)
            rifiuta(QStringLiteral("Il fatto %1 è in %2, il bilancio in %3.").arg(fattoEContesto(n), valuta, m_unita));
        // The caption names the latest period.
        if (!m_rigaIntestazione || c->riga->anno > m_rigaIntestazione->anno) m_rigaIntestazione = c->riga;
    }
    m_identificativo = primo ? primo->identificativo : QString();
    const QString partitaIva = m_documento.testoDi("itcc-ci:DatiAnagraficiPartitaIva").left(20);
    if (m_documento.primo("itcc-ci:DatiAnagraficiPartitaIva")) m_identificativo = partitaIva;
    if (vb::Trim(m_identificativo).isEmpty())
        rifiuta(QStringLiteral("Il file non indica l'identificativo della ditta (partita IVA vuota)."));
}

void ImportazioneXbrl::intestazione(bool svuotaLog)
{
    const RigaTabellaPeriodi* riga = m_rigaIntestazione;
    const QString mese = riga && riga->mese >= 1 && riga->mese <= 12 ? vb::NomeMese(riga->mese) : QString();
    const QString anno = riga ? QString::number(riga->anno) : QString();
    m_schermo.mostraIntestazione(m_denominazione + QStringLiteral("   ") + mese + QStringLiteral(" / ") + anno +
                                     QStringLiteral(" [ ") + m_unita + QStringLiteral(" ]"),
                                 svuotaLog);
}

bool ImportazioneXbrl::risolviDitta()
{
    Connection& conn = m_schermo.global().Database().Connection();
    intestazione(false);
    // The identifier as the company row stores it: every row of the company carries
    // that same text.
    const QString identificativo = testoSql(vb::Trim(m_identificativo));
    m_ditta = conn.Leggi(QStringLiteral("SELECT QD05_CODICEDITTA FROM QD05_DITTA WHERE QD05_PIVA = ?"),
                             {identificativo});
    if (m_ditta.isEmpty()) {
        const int risposta = m_schermo.dialogs().MsgBox(
            QStringLiteral("Attenzione ditta - ") + vb::Trim(m_denominazione) + QStringLiteral(" - ") + CrLf +
                QStringLiteral("con Partita iva : ") + vb::Trim(m_identificativo) + QStringLiteral(" non trovata.") + CrLf +
                QStringLiteral("Caricare automaticamente l'anagrafica ?"),
            vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, Titolo);
        if (risposta != vb::vbYes) {
            m_motivo = QStringLiteral("Elaborazione interrotta");
            m_schermo.dialogs().MsgBox(m_motivo, vb::vbExclamation, m_schermo.titoloFinestra());
            conn.RollbackTrans();
            pulizia();
            return false;
        }
        m_ditta = vb::Trim(AnagraficaXbrl::codiceDitta(identificativo));
        m_anagrafica.registra(conn, m_ditta, identificativo, m_tassonomia, m_unita);
        m_dittaCreata = true;
    }
    return true;
}

void ImportazioneXbrl::posta(pugi::xml_node nodo)
{
    // decimals holds from one fact to the next that lacks it.
    if (const pugi::xml_attribute d = nodo.attribute("decimals")) {
        bool ok = false;
        const int valore = utf8(d.value()).trimmed().toInt(&ok);
        if (ok && (valore < -32768 || valore > 32767)) {
            m_fatto = fattoEContesto(nodo);
            throw AppError::overflow();
        }
        m_decimali = ok ? valore : 0;
    }
    if (nullo(m_documento, nodo)) return;  // no value, nothing to post
    const ContestoXbrl* contesto = m_tabella.contesto(utf8(nodo.attribute("contextRef").value()));
    RigaTabellaPeriodi& riga = *contesto->riga;

    const MappaturaXbrl::Voce* voce = m_mappatura->voce(m_documento.idConcetto(nodo));
    if (!voce) return;
    const QString& codice = m_tassonomia.codice;
    if (vb::Trim(voce->saldo).isEmpty() && !voce->conto.startsWith(QLatin1Char('O')) && codice != QLatin1String("6") &&
        codice != QLatin1String("7") && codice != QLatin1String("8"))
        return;
    m_conto = voce->conto;
    m_label = voce->label;
    m_fatto = fattoEContesto(nodo);
    bool raggruppata = false;
    if (vb::Trim(m_mappatura->tipoRiga(vb::Trim(m_conto))) != QLatin1String("V") && !contoSempreRegistrato(m_conto)) {
        // A grouped line whose parts the filing does not give is posted on the line itself.
        const QSet<QString> parti = m_mappatura->parti(vb::Trim(m_conto));
        if (parti.isEmpty() || parti.intersects(m_presenti.value(&riga))) return;
        raggruppata = true;
    }
    const QString sezione = m_mappatura->sezione(vb::Trim(m_conto));

    // A fact's content is one number: an element inside it, or a text that is no number,
    // refuses the filing; a number the database cannot keep exactly likewise.
    for (pugi::xml_node figlio = nodo.first_child(); figlio; figlio = figlio.next_sibling())
        if (figlio.type() == pugi::node_element)
            throw AppError(13, QStringLiteral("Il fatto contiene altri elementi invece di un numero"));
    Connection& conn = m_schermo.global().Database().Connection();
    const QString testo = DocumentoXbrl::testo(nodo);
    Currency valore;
    switch (leggiImporto(testo, m_decimali, valore)) {
    case vb::Importo::Letto: break;
    case vb::Importo::NonNumero: throw AppError(13, QStringLiteral("Importo '%1' non leggibile").arg(testo.left(60)));
    case vb::Importo::FuoriScala: throw AppError(6, fuoriScala(conn, testo));
    }
    if (!riga.preparata) {
        scriviValori();
        m_periodo->prepara(riga, m_ditta);
    }

    const Currency estero = sezione == QLatin1String("2") || sezione == QLatin1String("5") ? -valore : valore;
    Currency convertito;
    try {
        convertito = estero.alCambio(riga.cambio);  // the rate of the fact's own period
    } catch (const AppError& e) {
        if (e.number() != AppError::overflow().number()) throw;
        throw AppError(6, fuoriScala(conn, testo));
    }
    applicaRegoleConto(m_conto, convertito, m_tassonomia);
    if (!conn.importoConservabile(estero) || !conn.importoConservabile(convertito)) throw AppError(6, fuoriScala(conn, testo));

    const QString anno = QString::number(riga.anno);
    m_valori.push_back({vb::Trim(m_conto), anno, int(riga.mese), int(vb::CInt(riga.periodo)), conn.importo(convertito),
                        conn.importo(estero), m_fatto, m_label});
    m_schermo.InsertLog(m_conto, m_label + QStringLiteral(" - ") + anno, vb::FormatIntero(convertito.toDouble()), false, false);
    if (raggruppata)
        m_schermo.InsertLog(m_conto, QStringLiteral("Voce raggruppata senza dettaglio: registrata sul totale del gruppo"),
                            QString(), false, true);
    m_fatto.clear();
}

// Each statement adds to an account once at most, so that the stored sums are those of
// the facts added one by one, in their order. When a statement fails, its facts are written
// again one by one: the one at fault is the one the error log names.
void ImportazioneXbrl::scriviValori()
{
    Connection& conn = m_schermo.global().Database().Connection();
    const QString ditta = vb::Trim(m_ditta);
    const QString somma = QStringLiteral("UPDATE QD07_VALORIPDC SET  QD07_VALOREORIGINALE=QD07_VALOREORIGINALE + %1, "
                                         "QD07_VALOREINVALUTA = QD07_VALOREINVALUTA + %2 WHERE (QD07_CODICEDITTA_QD05=? AND "
                                         "QD07_CODICECONTO = %3 AND QD07_ANNO = %4 AND QD07_MESE = %5 AND QD07_NPERIODO = %6)");
    // PostgreSQL gives the values of the list the types of its first row.
    const bool pg = conn.kind() == Connection::PostgreSQL;
    const QString primaRiga = pg ? QStringLiteral("(CAST(? AS TEXT),CAST(? AS TEXT),CAST(? AS INTEGER),CAST(? AS INTEGER),"
                                                  "CAST(? AS NUMERIC),CAST(? AS NUMERIC))")
                                 : QStringLiteral("(?,?,?,?,?,?)");
    constexpr size_t PerStatement = 200;
    std::vector<Valore> valori;
    valori.swap(m_valori);
    std::vector<const Valore*> gruppo;
    QSet<QString> chiavi;
    size_t prossimo = 0;
    std::vector<bool> scritto(valori.size(), false);
    while (prossimo < valori.size()) {
        gruppo.clear();
        chiavi.clear();
        for (size_t i = prossimo; i < valori.size() && gruppo.size() < PerStatement; ++i) {
            if (scritto[i]) continue;
            const Valore& v = valori[i];
            const QString chiave = v.conto + QLatin1Char('|') + v.anno + QLatin1Char('|') + QString::number(v.mese) +
                                   QLatin1Char('|') + QString::number(v.periodo);
            if (chiavi.contains(chiave)) continue;
            // A later fact of an account stays behind an earlier one left for the next statement.
            chiavi.insert(chiave);
            gruppo.push_back(&v);
            scritto[i] = true;
        }
        while (prossimo < valori.size() && scritto[prossimo]) ++prossimo;
        QStringList righe;
        QVariantList legati;
        for (const Valore* v : gruppo) {
            righe << (righe.isEmpty() ? primaRiga : QStringLiteral("(?,?,?,?,?,?)"));
            legati << v->conto << v->anno << v->mese << v->periodo << v->convertito << v->estero;
        }
        const QString sql = QStringLiteral("WITH v(conto, anno, mese, periodo, convertito, estero) AS (VALUES ") +
                            righe.join(QLatin1Char(',')) + QStringLiteral(") ") +
                            somma.arg(QStringLiteral("v.convertito"), QStringLiteral("v.estero"), QStringLiteral("v.conto"),
                                      QStringLiteral("v.anno"), QStringLiteral("v.mese"), QStringLiteral("v.periodo"))
                                .replace(QStringLiteral(" WHERE ("), QStringLiteral(" FROM v WHERE ("));
        legati << ditta;  // in the WHERE, after the list
        if (conn.tenta([&] { conn.Esegui(sql, legati); })) continue;
        for (const Valore* v : gruppo) {
            m_fatto = v->fatto;
            m_conto = v->conto;
            m_label = v->label;
            conn.Esegui(somma.arg(QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?"),
                                  QStringLiteral("?"), QStringLiteral("?")),
                        {v->convertito, v->estero, ditta, v->conto, v->anno, v->mese, v->periodo});
        }
        m_fatto.clear();
    }
}

void ImportazioneXbrl::termina()
{
    scriviValori();
    NoteXbrl(m_schermo, m_tassonomia).registra(m_documento, m_tabella, m_ditta);
    Connection& conn = m_schermo.global().Database().Connection();
    // Each period checked once, inside the transaction: the provenance records it and the
    // user is told after the commit.
    std::vector<std::pair<const RigaTabellaPeriodi*, EsitoQuadratura>> verifiche;
    for (const RigaTabellaPeriodi& riga : m_tabella.righe()) {
        if (!riga.preparata) continue;
        Provenienza p;
        p.ditta = vb::Trim(m_ditta);
        p.anno = QString::number(riga.anno);
        p.mese = riga.mese;
        p.periodo = vb::CInt(riga.periodo);
        p.tipo = Provenienza::XBRL;
        p.file = QFileInfo(m_file).absoluteFilePath();
        p.valuta = m_unita;
        p.cambio = riga.cambio;
        const EsitoQuadratura esito = m_schermo.CalcolaQuadratura(m_ditta, p.anno, p.mese, p.periodo);
        p.quadratura = esito.testo();
        p.differenza = esito.differenza;
        Provenienza::registra(m_schermo.global(), p);
        verifiche.emplace_back(&riga, esito);
    }
    QStringList periodi;
    for (const RigaTabellaPeriodi& riga : m_tabella.righe())
        if (riga.preparata) periodi << PeriodoDaControllare(vb::CInt(riga.periodo), riga.mese, QString::number(riga.anno));
    CommitImportazione(conn, periodi, &m_esitoIgnoto);
    m_salvata = true;
    for (const RigaTabellaPeriodi& riga : m_tabella.righe())
        if (riga.preparata) m_schermo.periodoSalvato(m_ditta, QString::number(riga.anno), riga.mese, vb::CInt(riga.periodo));

    if (m_dittaCreata)
        m_schermo.InsertLog(QString(), QStringLiteral("Verificare in gestione ditta indirizzo e natura giuridica"), QString(),
                            false, true);
    m_schermo.InsertLog(QString(), QStringLiteral("Importazione terminata con successo"), QString(), false, true);
    // A period that no fact reached has no period to check; the latest year first.
    std::stable_sort(verifiche.begin(), verifiche.end(), [](const auto& a, const auto& b) { return a.first->anno > b.first->anno; });
    for (const auto& [riga, esito] : verifiche)
        m_schermo.RiportaQuadratura(esito, m_ditta, QString::number(riga->anno), riga->mese, vb::CInt(riga->periodo));
    pulizia();
}

void ImportazioneXbrl::gestisciErrore(const AppError& errore)
{
    Connection& conn = m_schermo.global().Database().Connection();
    m_motivo = errore.description();
    try {
        for (const ConnectionError& e : conn.Errors())
            m_schermo.InsertLog(QString(), QStringLiteral("** Error: ") + e.description, QString(), true, false);
        if (!m_fatto.isEmpty()) {
            m_motivo = QStringLiteral("%1: fatto %2").arg(errore.description(), m_fatto);
            m_schermo.InsertLog(QString(), m_motivo, QString(), true, false);
        }
        m_schermo.InsertLog(QString(), m_conto + QLatin1Char(' ') + m_label, QString(), true, false);
    } catch (...) {
    }
    conn.RollbackTrans();
    m_schermo.MostraErrore(AppError(errore.number(), m_motivo, errore.source()));
    pulizia();
}

void ImportazioneXbrl::pulizia() { m_schermo.chiudiRun(); }
