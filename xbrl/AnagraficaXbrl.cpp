#include "platform/db/Connection.h"
#include "xbrl/AnagraficaXbrl.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include "xbrl/DocumentoXbrl.h"
#include "xbrl/Tassonomia.h"
#include <QLocale>
#include <cmath>

namespace {

// "true" and "false" in any case, or a number (0 is false).
bool vero(const QString& testo)
{
    const QString t = vb::Trim(testo);
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    return vb::CDbl(t) != 0;  // no number: type mismatch
}

// An absent fact is false; a present one must read as a truth value.
bool flag(const DocumentoXbrl& d, std::string_view nome)
{
    const pugi::xml_node n = d.primo(nome);
    return n && vero(DocumentoXbrl::testo(n));
}

int uno(bool b) { return b ? 1 : 0; }

// The capital without its thousands commas, "." as decimal point, two decimals.
QString capitale(QString testo)
{
    testo.remove(QLatin1Char(','));
    bool ok = false;
    const double valore = QLocale::c().toDouble(vb::Trim(testo), &ok);
    if (!ok) throw AppError::typeMismatch();
    return QString::number(valore, 'f', 2);
}

// A numeric code as a number, 0 otherwise.
QVariant numeroOZero(const QString& testo)
{
    if (!vb::IsNumeric(testo)) return 0;
    const double numero = vb::CDbl(testo);
    return numero == std::trunc(numero) && std::fabs(numero) < 1e15 ? QVariant(qlonglong(numero)) : QVariant(numero);
}

}  // namespace

QString testoSql(const QString& testo)
{
    QString s = testo;
    return s.replace(QLatin1Char('\''), QLatin1Char('`'));
}

AnagraficaXbrl AnagraficaXbrl::leggi(const DocumentoXbrl& d)
{
    AnagraficaXbrl a;
    // Texts longer than any column are cut at once: a huge one must not travel further.
    constexpr qsizetype Massimo = 1000;
    a.denominazione = d.testoDi("itcc-ci:DatiAnagraficiDenominazione").left(Massimo);
    a.sede = d.testoDi("itcc-ci:DatiAnagraficiSede").left(50);
    a.partitaIva = d.testoDi("itcc-ci:DatiAnagraficiPartitaIva").left(Massimo);
    a.codiceFiscale = d.testoDi("itcc-ci:DatiAnagraficiCodiceFiscale").left(Massimo);
    a.ateco = d.testoDi("itcc-ci:DatiAnagraficiSettoreAttivitaPrevalenteAteco").left(Massimo);
    a.formaGiuridica = d.testoDi("itcc-ci:DatiAnagraficiFormaGiuridica").left(Massimo);
    a.capitaleSociale = d.testoDi("itcc-ci:DatiAnagraficiCapitaleSociale").left(Massimo);
    a.versato = d.testoDi("itcc-ci:DatiAnagraficiCapitaleSocialeInteramenteVersato").left(Massimo);
    a.codiceCciaa = d.testoDi("itcc-ci:DatiAnagraficiCodiceCciaa").left(Massimo);
    a.numeroRea = d.testoDi("itcc-ci:DatiAnagraficiNumeroRea").left(Massimo);
    a.alboCooperative = d.testoDi("itcc-ci:DatiAnagraficiNumeroIscrizioneAlboCooperative").left(Massimo);
    a.gruppo = flag(d, "itcc-ci:DatiAnagraficiAppartenenzaGruppo");
    a.capogruppo = vb::Trim(d.testoDi("itcc-ci:DatiAnagraficiDenominazioneSocietaCapogruppo")).left(100);
    a.paeseCapogruppo = vb::Trim(d.testoDi("itcc-ci:DatiAnagraficiPaeseCapogruppo")).left(100);
    a.liquidazione = flag(d, "itcc-ci:DatiAnagraficiSocietaLiquidazione");
    a.socioUnico = flag(d, "itcc-ci:DatiAnagraficiSocietaConSocioUnico");
    a.direzioneAltrui = flag(d, "itcc-ci:DatiAnagraficiSocietaSottopostaAltruiAttivitaDirezioneCoordinamento");
    a.societaDirezione =
        vb::Trim(d.testoDi("itcc-ci:DatiAnagraficiDenominazioneSocietaEnteEsercitaAttivitaDirezioneCoordinamento")).left(100);
    return a;
}

QString AnagraficaXbrl::codiceDitta(const QString& identificativo) { return identificativo.right(6); }

void AnagraficaXbrl::registra(Connection& c, const QString& codice, const QString& identificativo, const Tassonomia& t,
                              const QString& unita) const
{
    const QString capitaleTesto = vb::Trim(capitaleSociale).isEmpty() ? QStringLiteral("0") : capitaleSociale;
    const QString versatoTesto = vb::Trim(versato).isEmpty() ? QStringLiteral("False") : versato;
    const QString p = vb::Trim(testoSql(codiceCciaa));
    const QString provincia = p.size() > 2 ? p.left(2) : p;
    // An activity code groups its digits with dots ("63.12.00"): a code, not an amount.
    const QString ateco49 = vb::IsNumeric(QString(ateco).remove(QLatin1Char('.'))) ? testoSql(ateco) : QStringLiteral("0");
    const QString tabella = QStringLiteral("QD05_DITTA");
    auto testo = [&](const char* colonna, const QString& valore) {
        return QVariant(c.Taglia(tabella, QString::fromLatin1(colonna), valore));
    };

    c.Esegui(QStringLiteral("Insert into QD05_DITTA (QD05_CODICEDITTA,QD05_RAGIONESOCIALE,QD05_PIVA,QD05_CF, "
                       "QD05_CODICEPDC_QD04,QD05_FINEESERCIZIO,QD05_CODICEVALUTA_QD40,QD05_CODICE_QD48, "
                       "QD05_CODICE_QD49,QD05_CAPITALESOCIALE,QD05_VERSATO,QD05_ISCRIZIONEALBOCOOP,"
                       "QD05_PROVCAMCOMM, QD05_NUMEROREA,QD05_INDIRIZZO,QD05_APPARTENENZAGRUPPO,"
                       "QD05_DENOMINAZIONECAPOGRUPPO,QD05_PAESECAPOGRUPPO,QD05_INLIQUIDAZIONE,QD05_SOCIOUNICO,"
                       "QD05_ALTRUIDIREZIONE,QD05_DENOMINAZIONESOCIETADIREZIONE) values "
                       "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
        {testo("QD05_CODICEDITTA", vb::Trim(codice)), testo("QD05_RAGIONESOCIALE", testoSql(denominazione)),
         testo("QD05_PIVA", vb::Trim(testoSql(identificativo))), testo("QD05_CF", vb::Trim(testoSql(codiceFiscale))),
         vb::Trim(t.versione), QStringLiteral("31/12"), testo("QD05_CODICEVALUTA_QD40", vb::Trim(testoSql(unita))),
         numeroOZero(formaGiuridica), testo("QD05_CODICE_QD49", ateco49), capitale(capitaleTesto), uno(vero(versatoTesto)),
         testo("QD05_ISCRIZIONEALBOCOOP", vb::Trim(testoSql(alboCooperative))), testo("QD05_PROVCAMCOMM", provincia),
         testo("QD05_NUMEROREA", vb::Trim(testoSql(numeroRea))), testo("QD05_INDIRIZZO", vb::Trim(testoSql(sede))), uno(gruppo),
         testo("QD05_DENOMINAZIONECAPOGRUPPO", testoSql(capogruppo)), testo("QD05_PAESECAPOGRUPPO", testoSql(paeseCapogruppo)),
         uno(liquidazione), uno(socioUnico), uno(direzioneAltrui),
         testo("QD05_DENOMINAZIONESOCIETADIREZIONE", testoSql(societaDirezione))});
    c.Esegui(QStringLiteral("Insert into QD08_DITTAMODELLO (QD08_CODICEMODELLO_QD06,QD08_CODICEDITTA_QD05) values (?,?)"),
                    {vb::Trim(t.modelloBase), vb::Trim(codice)});
}
