#include "xbrl/AnagraficaXbrl.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include "xbrl/DocumentoXbrl.h"
#include "xbrl/Tassonomia.h"
#include <QLocale>

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

QString uno(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

// The capital without its thousands commas, "." as decimal point, two decimals.
QString capitale(QString testo)
{
    testo.remove(QLatin1Char(','));
    bool ok = false;
    const double valore = QLocale::c().toDouble(vb::Trim(testo), &ok);
    if (!ok) throw AppError::typeMismatch();
    return QString::number(valore, 'f', 2);
}

// A numeric code as an SQL number, "0" otherwise.
QString numeroOZero(const QString& testo)
{
    if (!vb::IsNumeric(testo)) return QStringLiteral("0");
    return vb::CStr(vb::CDbl(testo)).replace(QLatin1Char(','), QLatin1Char('.'));
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
    a.denominazione = d.testoDi("itcc-ci:DatiAnagraficiDenominazione");
    a.sede = d.testoDi("itcc-ci:DatiAnagraficiSede").left(50);
    a.partitaIva = d.testoDi("itcc-ci:DatiAnagraficiPartitaIva");
    a.codiceFiscale = d.testoDi("itcc-ci:DatiAnagraficiCodiceFiscale");
    a.ateco = d.testoDi("itcc-ci:DatiAnagraficiSettoreAttivitaPrevalenteAteco");
    a.formaGiuridica = d.testoDi("itcc-ci:DatiAnagraficiFormaGiuridica");
    a.capitaleSociale = d.testoDi("itcc-ci:DatiAnagraficiCapitaleSociale");
    a.versato = d.testoDi("itcc-ci:DatiAnagraficiCapitaleSocialeInteramenteVersato");
    a.codiceCciaa = d.testoDi("itcc-ci:DatiAnagraficiCodiceCciaa");
    a.numeroRea = d.testoDi("itcc-ci:DatiAnagraficiNumeroRea");
    a.alboCooperative = d.testoDi("itcc-ci:DatiAnagraficiNumeroIscrizioneAlboCooperative");
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

QString AnagraficaXbrl::insertDitta(const QString& codice, const QString& identificativo, const Tassonomia& t,
                                    const QString& unita) const
{
    const QString capitaleTesto = vb::Trim(capitaleSociale).isEmpty() ? QStringLiteral("0") : capitaleSociale;
    const QString versatoTesto = vb::Trim(versato).isEmpty() ? QStringLiteral("False") : versato;
    const QString p = vb::Trim(testoSql(codiceCciaa));
    const QString provincia = p.size() > 2 ? p.left(2) : p;
    // An activity code groups its digits with dots ("63.12.00"): a code, not an amount.
    const QString ateco49 = vb::IsNumeric(QString(ateco).remove(QLatin1Char('.'))) ? testoSql(ateco) : QStringLiteral("0");

    return QStringLiteral("Insert into QD05_DITTA (QD05_CODICEDITTA,QD05_RAGIONESOCIALE,QD05_PIVA,QD05_CF, ") +
           QStringLiteral("QD05_CODICEPDC_QD04,QD05_FINEESERCIZIO,QD05_CODICEVALUTA_QD40,QD05_CODICE_QD48, ") +
           QStringLiteral("QD05_CODICE_QD49,QD05_CAPITALESOCIALE,QD05_VERSATO,QD05_ISCRIZIONEALBOCOOP,") +
           QStringLiteral("QD05_PROVCAMCOMM, QD05_NUMEROREA,QD05_INDIRIZZO,QD05_APPARTENENZAGRUPPO,") +
           QStringLiteral("QD05_DENOMINAZIONECAPOGRUPPO,QD05_PAESECAPOGRUPPO,QD05_INLIQUIDAZIONE,QD05_SOCIOUNICO,") +
           QStringLiteral("QD05_ALTRUIDIREZIONE,QD05_DENOMINAZIONESOCIETADIREZIONE) ") + QStringLiteral("values ('") +
           vb::Trim(testoSql(codice)) + QStringLiteral("','") + testoSql(denominazione) + QStringLiteral("','") +
           vb::Trim(testoSql(identificativo)) + QStringLiteral("','") + vb::Trim(testoSql(codiceFiscale)) +
           QStringLiteral("','") + vb::Trim(t.versione) + QStringLiteral("','31/12','") + vb::Trim(testoSql(unita)) +
           QStringLiteral("',") + numeroOZero(formaGiuridica) + QStringLiteral(",'") + ateco49 + QStringLiteral("', ") +
           capitale(capitaleTesto) + QStringLiteral(", ") + uno(vero(versatoTesto)) + QStringLiteral(", '") +
           vb::Trim(testoSql(alboCooperative)) + QStringLiteral("', '") + provincia + QStringLiteral("', '") +
           vb::Trim(testoSql(numeroRea)) + QStringLiteral("','") + vb::Trim(testoSql(sede)) + QStringLiteral("',") +
           uno(gruppo) + QStringLiteral(",'") + testoSql(capogruppo) + QStringLiteral("','") + testoSql(paeseCapogruppo) +
           QStringLiteral("',") + uno(liquidazione) + QStringLiteral(",") + uno(socioUnico) + QStringLiteral(",") +
           uno(direzioneAltrui) + QStringLiteral(",'") + testoSql(societaDirezione) + QStringLiteral("')");
}

QString AnagraficaXbrl::insertModello(const QString& codice, const Tassonomia& t)
{
    return QStringLiteral("Insert into QD08_DITTAMODELLO (QD08_CODICEMODELLO_QD06,QD08_CODICEDITTA_QD05) values ('") +
           vb::Trim(t.modelloBase) + QStringLiteral("','") + vb::Trim(testoSql(codice)) + QStringLiteral("')");
}
