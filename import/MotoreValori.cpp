#include "import/MotoreValori.h"
#include "control/ctlVevAre.h"
#include "import/IndiceBlocchi.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/Valori.h"
#include "platform/ui/Dialogs.h"
#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString SenzaDescrizione = QStringLiteral("*** CONTO SENZA DESCRIZIONE ***");
const QString DescrizioneNuovo = QStringLiteral("**********");

// Pending user-interface events run at most this often during a long import.
constexpr qint64 IntervalloEventiMs = 20;

QString taglia(const QString& testo, int dimensione)
{
    return dimensione > 0 && testo.size() > dimensione ? testo.left(dimensione) : testo;
}

QString letteraSezione(const QString& lettera)
{
    for (const char* valida : {"P", "A", "E", "O"})
        if (lettera == QLatin1String(valida)) return lettera;
    return QStringLiteral(" ");
}

}  // namespace

MotoreValori::MotoreValori(ctlVevAre& screen, const VarianteMotore& variante, ParametriMotore parametri)
    : m_screen(screen), m_variante(variante), m_p(std::move(parametri)), m_periodo(screen, variante.periodo)
{
}

MotoreValori::Slot MotoreValori::slot(int n) const
{
    const Colonna& c = m_screen.m_Colonne->Item(n);
    return Slot{c.Position, c.FromCol, c.ToCol};
}

// The layout's cut works on copies: it clamps the numbers it is given, and the layout
// stays as read.
QString MotoreValori::campo(const Slot& s)
{
    if (m_delimitato) {
        qint16 posizione = s.position;
        return m_screen.EstraiCampo(m_riga, posizione);
    }
    qint16 da = s.fromCol, a = s.toCol;
    return m_screen.EstraiCampo(m_riga, da, a);
}

void MotoreValori::Esegui()
{
    m_screen.m_ErroreImportazione.clear();
    try {
        Prepara();
        if (!ApriFile()) return;
        Leggi();
        Chiudi();
    } catch (...) {
        Recupera();
    }
}

void MotoreValori::Prepara()
{
    Connection& conn = m_screen.m_CGlobal->Database().Connection();
    m_commitIgnoti = conn.commitIgnoti();
    m_periodo.Apri(m_p.ditta, m_p.anno, m_p.mese);

    if (m_variante.conti != VarianteMotore::Conti::MaiCreati) conn.lockChart(m_screen.m_CodicePDC);
    const QString pdc = PeriodoImportazione::literale(m_screen.m_CodicePDC, true);
    // In the order of the codes, byte by byte, on both databases: the chart's row numbers
    // follow it, and they do not change from one import to the next.
    m_pdc.Open(QStringLiteral("SELECT * FROM QD15_DEFPDC ") + QStringLiteral("WHERE QD15_CODICEPDC_QD04=") + pdc +
                   QStringLiteral(" ") + QStringLiteral("ORDER BY QD15_CODICEPDC_QD04, QD15_CODICECONTO") +
                   (conn.kind() == Connection::PostgreSQL ? QStringLiteral(" COLLATE \"C\"") : QString()),
               conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    if (m_variante.conti == VarianteMotore::Conti::SeConsentito) {
        Recordset rs;
        rs.Open(QStringLiteral("Select QD04_STANDARD from QD04_PDC where QD04_CODICEPDC = ") + pdc, conn);
        m_standard = !rs.Eof() && vb::CBool(rs.value(QStringLiteral("QD04_STANDARD")));
        rs.Close();
    }
    m_valori.Open(QStringLiteral("QD07_VALORIPDC"), conn, Recordset::adOpenStatic, Recordset::adLockOptimistic);
    m_valori.ScriviAGruppi(50);

    // What stays the same for the whole run is worked out once.
    m_converti = m_screen.m_CGlobal->ValutaBase() != m_p.valuta;
    m_delimitato = !m_screen.m_Separatore.isEmpty();
    m_dimContoValori = m_valori.DefinedSize(QStringLiteral("QD07_CODICECONTO"));
    m_dimContoPdc = m_pdc.DefinedSize(QStringLiteral("QD15_CODICECONTO"));
    m_dimDescrizione = m_pdc.DefinedSize(QStringLiteral("QD15_DESCRIZIONE"));
    m_dimSezione = m_pdc.DefinedSize(QStringLiteral("QD15_SEZIONE"));
    m_pdcTrim = vb::Trim(m_screen.m_CodicePDC);
    m_vDitta = m_p.ditta;
    m_vAnno = m_p.anno;
    m_vMese = int(m_p.mese);
    m_vPeriodo = int(m_screen.m_Periodo);

    // Fields are set by position in the loop: names are looked up once.
    fDitta = m_valori.fieldIndex(QStringLiteral("QD07_CODICEDITTA_QD05"));
    fAnno = m_valori.fieldIndex(QStringLiteral("QD07_ANNO"));
    fMese = m_valori.fieldIndex(QStringLiteral("QD07_Mese"));
    fPeriodo = m_valori.fieldIndex(QStringLiteral("QD07_NPERIODO"));
    fConto = m_valori.fieldIndex(QStringLiteral("QD07_CODICECONTO"));
    fInValuta = m_valori.fieldIndex(QStringLiteral("QD07_VALOREINVALUTA"));
    fOriginale = m_valori.fieldIndex(QStringLiteral("QD07_VALOREORIGINALE"));
    fRettifica = m_valori.fieldIndex(QStringLiteral("QD07_RETTIFICA"));
    fPdcCodice = m_pdc.fieldIndex(QStringLiteral("QD15_CODICEPDC_QD04"));
    fPdcConto = m_pdc.fieldIndex(QStringLiteral("QD15_CODICECONTO"));
    fPdcDescrizione = m_pdc.fieldIndex(QStringLiteral("QD15_DESCRIZIONE"));
    fPdcLivello = m_pdc.fieldIndex(QStringLiteral("QD15_LIVELLO"));
    fPdcSezione = m_pdc.fieldIndex(QStringLiteral("QD15_SEZIONE"));

    const bool dueColonne = m_screen.m_DueColonne, conDescrizione = m_screen.m_ConDescrizione;
    m_slotConto = slot(1);
    m_slotImporto = slot(2);
    m_slotAvere = dueColonne ? slot(3) : Slot{};
    m_slotDescrizione = !conDescrizione ? Slot{} : dueColonne ? slot(4) : slot(3);
    m_slotModello = slot(4);
    m_slotNumero = slot(5);
    m_slotData = slot(6);
    m_slotSezione = slot(8);

    m_conti.reserve(m_pdc.RecordCount());
    for (m_pdc.MoveFirst(); !m_pdc.Eof(); m_pdc.MoveNext()) {
        Voce& voce = m_conti[m_pdc.value(fPdcConto).toString()];
        voce.nelPiano = true;
        voce.descrizione = m_pdc.value(fPdcDescrizione).toString();
    }
}

// Ending early leaves nothing behind: the overwrite of the opening is undone too.
bool MotoreValori::ApriFile()
{
    Connection& conn = m_screen.m_CGlobal->Database().Connection();
    const QString percorso = m_screen.m_WorkingFolder + QLatin1Char('\\') + m_screen.m_NomeFile;
    const IndiceBlocchi* indice = m_variante.perDitta ? m_screen.m_IndiceBlocchi : nullptr;
    // In an automatic run the export was read once already: its encoding is known.
    const bool aperto = !m_screen.m_NomeFile.isEmpty() &&
                        (indice ? m_file.apri(percorso, indice->utf8()) : m_file.apri(percorso)) == TextFile::Esito::Aperto;
    if (!aperto) {
        m_screen.m_ErroreImportazione = QStringLiteral("Impossibile aprire il file da importare");
        if (!m_screen.m_NomeFile.isEmpty())
            m_screen.dialogs().MsgBox(QStringLiteral("Impossibile Aprire ") + CrLf + QStringLiteral("il file da importare !!"),
                                      vb::vbCritical, m_screen.captionTitle());
        m_pdc.Close();
        m_valori.Close();
        conn.RollbackTrans();
        return false;
    }

    // An automatic run knows where the company's blocks begin: only those are read.
    if (indice) {
        m_conIndice = true;
        m_blocchi = indice->blocchi(ChiaveRiga{m_p.numeroDitta, m_p.annoNumero, m_p.mese});
        if (m_blocchi.empty()) m_file.close();  // no line of the company: nothing to read
        return true;
    }
    try {
        for (int i = 1; i < m_screen.m_PrimaRiga && !m_file.atEnd(); ++i) {
            m_file.readLine();
            ++m_lette;
        }
    } catch (...) {
    }
    return true;
}

void MotoreValori::Leggi()
{
    if (!m_conIndice) {
        LeggiRighe();
    } else {
        for (const IndiceBlocchi::Inizio& blocco : m_blocchi) {
            m_file.seek(blocco.posizione);
            m_lette = blocco.righePrima;
            m_postata = false;
            LeggiRighe();
        }
    }
    m_numero = 0;
}

void MotoreValori::LeggiRighe()
{
    QElapsedTimer eventi;
    eventi.start();
    while (!m_file.atEnd()) {
        if (eventi.elapsed() >= IntervalloEventiMs) {
            QCoreApplication::processEvents();
            eventi.restart();
        }
        m_riga = ctlVevAre::PulisciRiga(m_file.readLine());
        m_numero = ++m_lette;
        if (m_variante.perDitta) {
            const Esito esito = Seleziona();
            if (esito == Esito::Fine) break;
            if (esito == Esito::Salta) continue;
        } else if (m_riga.size() <= 1 || !m_screen.VerificaRegole(m_riga)) {
            continue;
        }
        Posta();
    }
}

// The company's lines: those of its number, year and month that the rules accept, all
// of them wherever they stand. Read by blocks, the first other line after a posted one
// ends the block. Read whole, a line that cannot be placed is reported and posted nowhere.
MotoreValori::Esito MotoreValori::Seleziona()
{
    if (m_riga.trimmed().isEmpty()) return Esito::Salta;
    m_lettera = letteraSezione(campo(m_slotSezione));
    const QString data = campo(m_slotData);
    if (m_variante.correlazioni == VarianteMotore::Correlazioni::DalModello) m_modello = vb::Trim(campo(m_slotModello));
    const QString numero = campo(m_slotNumero);
    const QString motivo = m_chiave.leggi(numero, data);
    if (m_chiave == ChiaveRiga{m_p.numeroDitta, m_p.annoNumero, m_p.mese}) {
        if (m_riga.size() <= 1 || !m_screen.VerificaRegole(m_riga)) return Esito::Salta;
        m_postata = true;
        return Esito::Posta;
    }
    if (m_conIndice) return m_postata ? Esito::Fine : Esito::Salta;
    if (!motivo.isEmpty() && m_screen.VerificaRegole(m_riga))
        segnalaRigaNonImportata(m_screen, m_numero, m_riga, motivo, numero);
    return Esito::Salta;
}

void MotoreValori::Posta()
{
    m_valori.AddNew();
    m_valori.setValue(fDitta, m_vDitta);
    m_valori.setValue(fAnno, m_vAnno);
    m_valori.setValue(fMese, m_vMese);
    m_valori.setValue(fPeriodo, m_vPeriodo);

    QString conto;
    if (m_variante.codiceCEE) {
        QString letto = campo(m_slotConto);
        conto = ctlVevAre::FormattaCodiceCEE(letto);
    } else {
        conto = vb::Trim(campo(m_slotConto));
    }
    if (!m_variante.perDitta) {
        m_lettera = campo(m_slotSezione);
        if (m_lettera == QLatin1String("0")) m_lettera = QStringLiteral(" ");
    }
    if (conto.isEmpty()) {
        m_valori.CancelUpdate();
        return;
    }
    const QString contoValori = taglia(conto, m_dimContoValori);
    m_valori.setValue(fConto, contoValori);

    QString descrizione;
    Currency originale, inValuta;
    QString testoImporto;
    if (!m_screen.m_DueColonne) {
        testoImporto = campo(m_slotImporto);
        if (m_screen.m_ConDescrizione) descrizione = campo(m_slotDescrizione);
        inValuta = importo(testoImporto);
    } else {
        const QString dare = campo(m_slotImporto);
        const QString avere = campo(m_slotAvere);
        testoImporto = dare + QLatin1Char(' ') + avere;
        if (m_screen.m_ConDescrizione) descrizione = campo(m_slotDescrizione);
        inValuta = importo(dare);
        const Currency credito = importo(avere);
        try {
            inValuta = m_screen.m_AvereNegativo ? inValuta - credito : inValuta + credito;
        } catch (const AppError&) {
            rifiutaImporto(testoImporto, false);
        }
    }
    originale = inValuta;
    if (m_converti) {
        try {
            originale = inValuta.alCambio(m_screen.m_Cambio);
        } catch (const AppError& e) {
            if (e.number() != AppError::overflow().number()) throw;
            rifiutaImporto(testoImporto, true);
        }
    }
    Connection& conn = m_screen.m_CGlobal->Database().Connection();
    if (!conn.importoConservabile(inValuta)) rifiutaImporto(testoImporto, false);
    if (!conn.importoConservabile(originale)) rifiutaImporto(testoImporto, true);
    m_valori.setValue(fInValuta, conn.importo(inValuta));
    m_valori.setValue(fOriginale, conn.importo(originale));

    if (!m_variante.descrizioneVuota && vb::Trim(descrizione).isEmpty()) descrizione = SenzaDescrizione;
    m_valori.setValue(fRettifica, 0.0);
    if (vb::Trim(m_lettera).isEmpty()) m_lettera = QStringLiteral(" ");
    const QString sezione = ctlVevAre::SezioneDaLettera(m_lettera, originale.toDouble());
    const bool conDescrizione = m_screen.m_ConDescrizione;
    const QString descrizioneNuovo = conDescrizione ? descrizione : QString();

    // The account in the chart. The entry stays valid until the correlations are counted
    // again below: nothing adds to the table before that.
    bool esistente = false, creato = false, scartato = false;
    const QString contoPdc = taglia(conto, m_dimContoPdc);
    if (m_variante.correlazioni != VarianteMotore::Correlazioni::Nessuna) caricaCorrelazioni();
    Voce& voce = m_conti[contoPdc];
    const auto aggiungiConto = [&](const QString& sezioneConto) {
        ++m_contiCreati;
        const QString descrizioneConto = taglia(conDescrizione ? descrizione : DescrizioneNuovo, m_dimDescrizione);
        m_pdc.AddNew();
        m_pdc.setValue(fPdcCodice, m_screen.m_CodicePDC);
        m_pdc.setValue(fPdcConto, contoPdc);
        m_pdc.setValue(fPdcDescrizione, descrizioneConto);
        m_pdc.setValue(fPdcLivello, 1);
        m_pdc.setValue(fPdcSezione, taglia(sezioneConto, m_dimSezione));
        m_pdc.Update();
        voce.nelPiano = true;
        voce.descrizione = descrizioneConto;
    };
    // The chart takes the file's description; an unchanged one needs no write.
    const auto aggiornaDescrizione = [&] {
        const QString nuova = taglia(descrizione, m_dimDescrizione);
        if (voce.descrizione == nuova) return;
        m_pdc.Filter(fPdcConto, contoPdc);
        m_pdc.setValue(fPdcDescrizione, nuova);
        m_pdc.Update();
        m_pdc.Filter(QString());
        voce.descrizione = nuova;
    };
    const bool manca = !voce.nelPiano;
    switch (m_variante.conti) {
    case VarianteMotore::Conti::CreaSempre:
        if (manca) {
            aggiungiConto(sezione);
            anomalia(conto, descrizioneNuovo, sezione, true);
        } else if (conDescrizione) {
            aggiornaDescrizione();
            esistente = true;
        }
        break;
    case VarianteMotore::Conti::SeConsentito:
        if (manca) {
            if (ctlVevAre::ContoCreabile(m_screen.m_CodicePDC, conto, m_standard)) {
                creato = true;
                const bool daModello = !m_modello.isEmpty() && m_modello != conto;
                aggiungiConto(daModello ? m_screen.SezioneConto(m_screen.m_CodicePDC, m_modello) : sezione);
            } else {
                anomalia(conto, descrizioneNuovo, sezione, false);
                scartato = true;
            }
        } else if (conDescrizione && ctlVevAre::ContoCreabile(m_screen.m_CodicePDC, conto, m_standard)) {
            aggiornaDescrizione();
        }
        break;
    case VarianteMotore::Conti::MaiCreati:
        if (manca) {
            anomalia(conto, descrizioneNuovo, sezione, false);
            scartato = true;
        }
        break;
    }
    if (scartato) {
        m_valori.CancelUpdate();
    } else {
        m_valori.setOrigine({m_numero, m_riga});
        m_valori.Update();
    }

    // The entry found above holds the count, unless the chart cut the code.
    const auto correlazioniConto = [&] { return conto.size() == contoPdc.size() ? voce.correlazioni : correlazioni(conto); };
    switch (m_variante.correlazioni) {
    case VarianteMotore::Correlazioni::SegnalaMancanti:
        if (esistente && correlazioniConto() == 0)
            anomalia(conto, descrizione, sezione, true);
        break;
    case VarianteMotore::Correlazioni::DalModello:
        if (const qint64 n = correlazioniConto(); !scartato && (creato || n == 0)) {
            if (m_modello != conto) {
                const QString chiave = conto + QLatin1Char('\n') + m_modello + QLatin1Char('\n') + m_lettera;
                const auto vana = m_copieVane.constFind(chiave);
                bool copiata = vana != m_copieVane.constEnd() && *vana;
                if (vana == m_copieVane.constEnd()) {
                    copiata = m_screen.CopiaCorrelazioni(m_screen.m_CodicePDC, conto, m_modello, m_lettera);
                    contaCorrelazioni(conto);
                    if (m_conti[conto].correlazioni == 0) m_copieVane.insert(chiave, copiata);
                    else m_copieVane.clear();
                }
                if (!copiata) anomalia(conto, descrizioneNuovo, sezione, true);
            } else {
                anomalia(conto, descrizioneNuovo, sezione, true);
            }
        }
        break;
    case VarianteMotore::Correlazioni::Nessuna: break;
    }

    if (!scartato)
        m_screen.InsertLog(contoValori, m_variante.descrizioneRipulita ? vb::Trim(descrizione) : descrizione,
                           vb::FormatIntero(originale.toDouble()), false, false);
}

// A blank amount is 0. Any other text is read exactly or refuses the import, naming the
// line: an amount the accountant did not write must never be posted.
Currency MotoreValori::importo(const QString& testo)
{
    Currency valore;
    switch (vb::LeggiImporto(testo, valore)) {
    case vb::Importo::Letto: return valore;
    case vb::Importo::NonNumero:
        if (vb::Trim(testo).trimmed().isEmpty()) return Currency();
        throw AppError(13, QStringLiteral("Riga %1: importo '%2' non leggibile (file %3).")
                               .arg(m_numero)
                               .arg(vb::Trim(testo), m_screen.m_NomeFile));
    case vb::Importo::FuoriScala: break;
    }
    rifiutaImporto(testo, false);
}

void MotoreValori::rifiutaImporto(const QString& testo, bool convertito)
{
    const Currency massimo = m_screen.m_CGlobal->Database().Connection().importoMassimo();
    throw AppError(6, QStringLiteral("Riga %1: importo '%2'%3 oltre il massimo che il database conserva esattamente (%4) (file %5).")
                          .arg(m_numero)
                          .arg(vb::Trim(testo),
                               convertito ? QStringLiteral(" convertito al cambio ") + vb::FormatNumero(m_screen.m_Cambio) : QString(),
                               vb::FormatNumero(massimo), m_screen.m_NomeFile));
}

void MotoreValori::anomalia(const QString& conto, const QString& descrizione, const QString& sezione, bool registrato)
{
    RigaAnomalia r;
    r[0] = vb::Trim(m_p.ditta);
    r[1] = vb::Trim(m_p.ragioneSociale);
    r[2] = m_variante.anomalieConNumeroDitta ? QString::number(m_p.numeroDitta) : QStringLiteral("0");
    r[3] = conto;
    r[4] = vb::Trim(descrizione);
    r[5] = m_variante.anomalieConNumeroDitta ? registrato : true;
    r[6] = m_variante.anomalieConNumeroDitta ? !registrato : false;
    r[7] = !vb::Trim(sezione).isEmpty();
    r[9] = m_p.anno;
    r[10] = m_p.mese;
    r[11] = m_screen.m_Periodo;
    m_screen.AggiungiAnomalia(r);
}

// Counted for the whole chart at once, when the first line asks.
void MotoreValori::caricaCorrelazioni()
{
    if (m_contate) return;
    m_screen.m_CGlobal->Database().Connection().Scorri(
        QStringLiteral("Select QD03_CODICECONTO, count(*) as Tot from QD03_CORRELAZIONE WHERE QD03_CODICEPDC_QD04 = ? "
                       "GROUP BY QD03_CODICECONTO"),
        {m_pdcTrim}, [this](std::span<const QVariant> r) { m_conti[r[0].toString()].correlazioni = r[1].toLongLong(); });
    m_contate = true;
}

// An account code longer than the chart's column has its own count.
qint64 MotoreValori::correlazioni(const QString& conto)
{
    caricaCorrelazioni();
    const auto n = m_conti.constFind(conto);
    return n == m_conti.constEnd() ? 0 : n->correlazioni;
}

// After a copy the account's correlations are read again: later lines must see them.
void MotoreValori::contaCorrelazioni(const QString& conto)
{
    const QString n = m_screen.m_CGlobal->Database().Connection().Leggi(
        QStringLiteral("SELECT Count(*) FROM QD03_CORRELAZIONE WHERE QD03_CODICEPDC_QD04 = ? AND QD03_CODICECONTO = ?"),
        {m_pdcTrim, vb::Trim(conto)});
    m_conti[conto].correlazioni = n.toLongLong();
}

void MotoreValori::Chiudi()
{
    m_file.close();
    m_valori.Close();
    m_screen.VerificaQuadratura(m_p.ditta, m_p.anno, m_p.mese, m_screen.m_Periodo);

    // Consecutive row numbers in record-set order; only the rows whose number changes are
    // written, together. Without new accounts the chart read at the start is the chart, in
    // its order.
    if (m_contiCreati > 0) m_pdc.Requery();
    m_pdc.Filter(QString());
    const int fNumRiga = m_pdc.fieldIndex(QStringLiteral("QD15_NUMRIGA"));
    std::vector<std::pair<qsizetype, QVariant>> numeri;
    qsizetype posizione = 0;
    for (m_pdc.MoveFirst(); !m_pdc.Eof(); m_pdc.MoveNext(), ++posizione) {
        const qint32 numero = qint32(posizione + 1);
        const QVariant attuale = m_pdc.value(fNumRiga);
        if (attuale.isNull() || attuale.toLongLong() != numero) numeri.emplace_back(posizione, numero);
    }
    m_pdc.AggiornaInBlocco(fNumRiga, numeri);
    m_pdc.Close();

    m_periodo.Chiudi(m_p.ditta, m_p.anno, m_p.mese, m_p.valuta);
    if (m_variante.rigaFinale)
        m_screen.InsertLog(QString(), QStringLiteral("Importazione terminata con successo"), QString(), false, true);
}

void MotoreValori::Recupera()
{
    const AppError errore = AppError::fromCurrent();
    Connection& conn = m_screen.m_CGlobal->Database().Connection();
    // Values are written in groups: a refused one is found after its line was read.
    if (const Recordset::Origine& fallita = m_valori.origineFallita(); fallita.numero > 0) {
        m_numero = fallita.numero;
        m_riga = fallita.testo;
    }
    const QList<ConnectionError> errori = conn.Errors();
    // A commit whose outcome is unknown is said as such, not as a failed chart update.
    const bool ignoto = conn.commitIgnoti() > m_commitIgnoti;
    // Nothing of a failed import may stay: whatever the cause, an open transaction is undone.
    const bool annulla = !errori.isEmpty() || conn.inTransaction();
    // The error that stopped this engine (the collection may still hold an older one).
    m_screen.m_ErroreImportazione =
        !errore.description().isEmpty() || errori.isEmpty() ? errore.description() : errori.first().description;
    try {
        if (ignoto) {
            m_screen.InsertLog(QString(), QStringLiteral("** ") + m_screen.m_ErroreImportazione, QString(), true, false);
        } else if (!errori.isEmpty()) {
            if (errori.first().source == QLatin1String("rs")) {
                for (const ConnectionError& e : errori) {
                    m_screen.InsertLog(QString(), QStringLiteral("** Error: ") + e.description, QString(), true, false);
                    m_screen.InsertLog(QString(), m_riga, QString(), true, false);
                }
            } else {
                m_screen.InsertLog(QString(), QStringLiteral("** Error: Impossibile aggiornare Anagrafica PDC"), QString(), true,
                                   false);
            }
        }
        // In a file of a hundred thousand lines the user must find the one that stopped it.
        if (m_numero > 0)
            m_screen.InsertLog(QString(), QStringLiteral("** Errore alla riga ") + QString::number(m_numero) + QStringLiteral(": ") + m_riga,
                               QString(), true, false);
    } catch (...) {
    }
    if (annulla) {
        for (Recordset* rs : {&m_valori, &m_pdc}) {
            if (!rs->isOpen()) continue;
            rs->CancelUpdate();
            rs->ScartaInAttesa();
            rs->Close();
        }
        m_periodo.ChiudiVerifica();
        conn.RollbackTrans();
    }
    if (m_variante.soloErroriConnessione) m_screen.MostraErrore();
    else m_screen.MostraErrore(errore);
}
