#include "host/Periodi.h"
#include "host/BatchDialogs.h"
#include "platform/db/Connection.h"
#include "platform/host/CGlobal.h"
#include "platform/runtime/AppError.h"
#include "platform/runtime/Valori.h"
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <algorithm>

const QString Periodi::NonRegistrata = QStringLiteral("provenienza non registrata");

namespace {

QString chiaveTesto(const QString& ditta, const QString& anno, qint64 mese, qint64 periodo)
{
    return vb::Trim(ditta) + QLatin1Char('\x1f') + vb::Trim(anno) + QLatin1Char('\x1f') + QString::number(mese) +
           QLatin1Char('\x1f') + QString::number(periodo);
}

// The filters as a condition on the columns of one table, with their values.
QString condizione(const QString& colonnaDitta, const QString& colonnaAnno, const QString& ditta, const QString& anno,
                   QVariantList& valori)
{
    QStringList parti;
    if (!ditta.isEmpty()) {
        parti << colonnaDitta + QStringLiteral(" = ?");
        valori << vb::Trim(ditta);
    }
    if (!anno.isEmpty()) {
        parti << colonnaAnno + QStringLiteral(" = ?");
        valori << vb::Trim(anno);
    }
    return parti.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parti.join(QStringLiteral(" AND "));
}

double numero(const QString& testo) { return testo.isEmpty() ? 0 : testo.toDouble(); }

std::optional<qint64> decimillesimi(const QVariant& v)
{
    if (v.isNull()) return std::nullopt;
    return vb::CCur(v).scaled();
}

QString campoCsv(const QString& testo)
{
    if (!testo.contains(QLatin1Char(';')) && !testo.contains(QLatin1Char('"')) && !testo.contains(QLatin1Char('\n')) &&
        !testo.contains(QLatin1Char('\r')))
        return testo;
    QString t = testo;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

const QString ChiaveValori = QStringLiteral(
    " WHERE QD07_CODICEDITTA_QD05 = ? AND QD07_ANNO = ? AND QD07_MESE = ? AND QD07_NPERIODO = ?");

QVariantList valoriChiave(const ChiavePeriodo& k) { return {vb::Trim(k.ditta), vb::Trim(k.anno), int(k.mese), int(k.periodo)}; }

}  // namespace

QList<PeriodoArchiviato> Periodi::elenco(Connection& c, const QString& ditta, const QString& anno)
{
    QHash<QString, QString> nomi;
    for (const QStringList& r : c.Righe(QStringLiteral("SELECT QD05_CODICEDITTA, QD05_RAGIONESOCIALE FROM QD05_DITTA"), {}))
        nomi.insert(vb::Trim(r[0]), r[1]);

    QList<PeriodoArchiviato> periodi;
    QHash<QString, qsizetype> indice;
    const auto periodo = [&](const QString& d, const QString& a, qint64 m, qint64 n) -> PeriodoArchiviato& {
        const QString k = chiaveTesto(d, a, m, n);
        if (const auto i = indice.constFind(k); i != indice.constEnd()) return periodi[*i];
        PeriodoArchiviato p;
        p.chiave = {vb::Trim(d), vb::Trim(a), qint16(m), qint16(n)};
        p.ragioneSociale = nomi.value(p.chiave.ditta);
        indice.insert(k, periodi.size());
        periodi << p;
        return periodi.last();
    };

    QVariantList v21;
    const QString w21 = condizione(QStringLiteral("QD21_CODICEDITTA_QD05"), QStringLiteral("QD21_ANNO"), ditta, anno, v21);
    for (const QStringList& r :
         c.Righe(QStringLiteral("SELECT QD21_CODICEDITTA_QD05, QD21_ANNO, QD21_MESE, QD21_NPERIODO, QD21_DESCRIZIONE, QD21_VALUTA, "
                                "QD21_CAMBIO FROM QD21_PERVALUTA") + w21,
                 v21)) {
        PeriodoArchiviato& p = periodo(r[0], r[1], r[2].toLongLong(), r[3].toLongLong());
        p.descrizione = r[4];
        p.valuta = r[5];
        p.cambio = numero(r[6]);
    }

    // Values counted in one pass over the period index; a period with values and no
    // record is listed too.
    QVariantList v07;
    const QString w07 = condizione(QStringLiteral("QD07_CODICEDITTA_QD05"), QStringLiteral("QD07_ANNO"), ditta, anno, v07);
    c.Scorri(QStringLiteral("SELECT QD07_CODICEDITTA_QD05, QD07_ANNO, QD07_MESE, QD07_NPERIODO, COUNT(*) FROM QD07_VALORIPDC") + w07 +
                 QStringLiteral(" GROUP BY QD07_CODICEDITTA_QD05, QD07_ANNO, QD07_MESE, QD07_NPERIODO"),
             v07, [&](std::span<const QVariant> r) {
                 periodo(r[0].toString(), r[1].toString(), r[2].toLongLong(), r[3].toLongLong()).valori = r[4].toLongLong();
             });

    // The last row of each period says where its values came from; a deletion's says
    // that nothing recorded wrote what is there now.
    QVariantList v22;
    const QString w22 = condizione(QStringLiteral("QD22_CODICEDITTA_QD05"), QStringLiteral("QD22_ANNO"), ditta, anno, v22);
    for (const QStringList& r :
         c.Righe(QStringLiteral("SELECT QD22_CODICEDITTA_QD05, QD22_ANNO, QD22_MESE, QD22_NPERIODO, QD22_TIPO, QD22_FILE, "
                                "QD22_DIMENSIONE, QD22_SHA256, QD22_DEFINIZIONE, QD22_DATAORA, QD22_UTENTE, QD22_ORIGINE, "
                                "QD22_VALUTA, QD22_CAMBIO, QD22_NUMVALORI, QD22_QUADRATURA, QD22_DIFFERENZA FROM QD22_IMPORTAZIONI") +
                     w22 + QStringLiteral(" ORDER BY QD22_DATAORA"),
                 v22)) {
        const auto i = indice.constFind(chiaveTesto(r[0], r[1], r[2].toLongLong(), r[3].toLongLong()));
        if (i == indice.constEnd()) continue;
        if (r[4] == Provenienza::Eliminazione) {
            periodi[*i].provenienza.reset();
            continue;
        }
        Provenienza p;
        p.ditta = periodi[*i].chiave.ditta;
        p.anno = periodi[*i].chiave.anno;
        p.mese = periodi[*i].chiave.mese;
        p.periodo = periodi[*i].chiave.periodo;
        p.tipo = r[4];
        p.file = r[5];
        p.dimensione = r[6].isEmpty() ? -1 : r[6].toLongLong();
        p.sha256 = r[7];
        p.definizione = r[8];
        p.quando = QDateTime::fromString(r[9], Qt::ISODateWithMs);
        p.utente = r[10];
        p.origine = r[11];
        p.valuta = r[12];
        p.cambio = numero(r[13]);
        p.valori = r[14].toLongLong();
        p.quadratura = r[15];
        p.differenza = numero(r[16]);
        periodi[*i].provenienza = p;
    }

    std::sort(periodi.begin(), periodi.end(), [](const PeriodoArchiviato& a, const PeriodoArchiviato& b) {
        const int nome = QString::localeAwareCompare(a.ragioneSociale, b.ragioneSociale);
        if (nome != 0) return nome < 0;
        return std::tie(a.chiave.ditta, a.chiave.anno, a.chiave.mese, a.chiave.periodo) <
               std::tie(b.chiave.ditta, b.chiave.anno, b.chiave.mese, b.chiave.periodo);
    });
    return periodi;
}

std::optional<PeriodoArchiviato> Periodi::trova(Connection& c, const ChiavePeriodo& chiave)
{
    for (const PeriodoArchiviato& p : elenco(c, chiave.ditta, chiave.anno))
        if (p.chiave.mese == chiave.mese && p.chiave.periodo == chiave.periodo) return p;
    return std::nullopt;
}

QString Periodi::codiceDitta(Connection& c, const QString& ragioneSociale)
{
    QString senzaMaiuscole;
    for (const QStringList& r : c.Righe(QStringLiteral("SELECT QD05_CODICEDITTA, QD05_RAGIONESOCIALE FROM QD05_DITTA"), {})) {
        if (r[1] == ragioneSociale) return vb::Trim(r[0]);
        if (senzaMaiuscole.isEmpty() && r[1].compare(ragioneSociale, Qt::CaseInsensitive) == 0) senzaMaiuscole = vb::Trim(r[0]);
    }
    return senzaMaiuscole;
}

QList<ValorePeriodo> Periodi::valori(Connection& c, const ChiavePeriodo& chiave)
{
    QList<ValorePeriodo> out;
    c.Scorri(QStringLiteral("SELECT V.QD07_CODICECONTO, P.QD15_DESCRIZIONE, V.QD07_VALOREORIGINALE, V.QD07_VALOREINVALUTA "
                            "FROM QD07_VALORIPDC V LEFT JOIN QD05_DITTA D ON D.QD05_CODICEDITTA = V.QD07_CODICEDITTA_QD05 "
                            "LEFT JOIN QD15_DEFPDC P ON P.QD15_CODICEPDC_QD04 = D.QD05_CODICEPDC_QD04 "
                            "AND P.QD15_CODICECONTO = V.QD07_CODICECONTO WHERE V.QD07_CODICEDITTA_QD05 = ? AND V.QD07_ANNO = ? "
                            "AND V.QD07_MESE = ? AND V.QD07_NPERIODO = ? ORDER BY V.QD07_CODICECONTO"),
             valoriChiave(chiave), [&](std::span<const QVariant> r) {
                 out.append({r[0].toString(), r[1].toString(), decimillesimi(r[2]), decimillesimi(r[3])});
             });
    return out;
}

QString Periodi::nomeMese(qint16 mese)
{
    if (mese < 1 || mese > 12) return QString::number(mese);
    const QString nome = vb::NomeMese(mese);
    return nome.left(1).toUpper() + nome.mid(1);
}

QString Periodi::domandaEliminazione(const PeriodoArchiviato& p)
{
    return QStringLiteral("Eliminare il periodo %1 di %2/%3 della ditta %4 (%5)?\r\n"
                          "Saranno eliminati %6 valori e il record del periodo; i conti e il piano dei conti restano.")
        .arg(p.chiave.periodo)
        .arg(nomeMese(p.chiave.mese), p.chiave.anno, p.ragioneSociale, p.chiave.ditta)
        .arg(p.valori);
}

qint64 Periodi::elimina(CGlobal& global, const PeriodoArchiviato& p)
{
    Connection& c = global.Database().Connection();
    const QVariantList chiave = valoriChiave(p.chiave);
    c.BeginTrans();
    try {
        // Imports of the company wait, and are waited for, as they wait for each other.
        c.lockCompany(p.chiave.ditta);
        const qint64 valori = c.Leggi(QStringLiteral("SELECT COUNT(*) FROM QD07_VALORIPDC") + ChiaveValori, chiave).toLongLong();
        c.Esegui(QStringLiteral("DELETE FROM QD07_VALORIPDC") + ChiaveValori, chiave);
        c.Esegui(QStringLiteral("DELETE FROM QD78_FOOTNOTE WHERE QD78_CODICEDITTA_QD05 = ? AND QD78_ANNO = ? AND QD78_MESE = ? "
                                "AND QD78_NPERIODO = ?"),
                 chiave);
        c.Esegui(QStringLiteral("DELETE FROM QD21_PERVALUTA WHERE QD21_CODICEDITTA_QD05 = ? AND QD21_ANNO = ? AND QD21_MESE = ? "
                                "AND QD21_NPERIODO = ?"),
                 chiave);
        Provenienza e;
        e.ditta = p.chiave.ditta;
        e.anno = p.chiave.anno;
        e.mese = p.chiave.mese;
        e.periodo = p.chiave.periodo;
        e.tipo = Provenienza::Eliminazione;
        e.valuta = p.valuta;
        e.cambio = p.cambio;
        e.valori = valori;
        Provenienza::registra(global, e);
        c.CommitTrans();
        return valori;
    } catch (...) {
        c.RollbackTrans();
        throw;
    }
}

QString Periodi::importo(qint64 decimillesimi, bool perLettura)
{
    const bool negativo = decimillesimi < 0;
    const quint64 assoluto = negativo ? quint64(0) - quint64(decimillesimi) : quint64(decimillesimi);
    QString intero = QString::number(assoluto / 10000);
    if (perLettura)
        for (qsizetype i = intero.size() - 3; i > 0; i -= 3) intero.insert(i, QLatin1Char('.'));
    QString decimali = QStringLiteral("%1").arg(assoluto % 10000, 4, 10, QLatin1Char('0'));
    const qsizetype minimo = perLettura ? 2 : 0;
    while (decimali.size() > minimo && decimali.endsWith(QLatin1Char('0'))) decimali.chop(1);
    return (negativo ? QStringLiteral("-") : QString()) + intero + (decimali.isEmpty() ? QString() : QLatin1Char(',') + decimali);
}

qint64 Periodi::esporta(Connection& c, const ChiavePeriodo& chiave, const QString& file)
{
    const QList<ValorePeriodo> righe = valori(c, chiave);
    QByteArray testo("\xEF\xBB\xBF");
    testo += "Conto;Valore;Valore in valuta;Descrizione\r\n";
    const auto numero = [](const std::optional<qint64>& v) { return v ? importo(*v, false) : QString(); };
    for (const ValorePeriodo& v : righe)
        testo += (campoCsv(v.conto) + QLatin1Char(';') + numero(v.valore) + QLatin1Char(';') + numero(v.valoreInValuta) +
                  QLatin1Char(';') + campoCsv(v.descrizione) + QStringLiteral("\r\n"))
                     .toUtf8();
    // Written whole or not at all: a file that was there stays until the new one is complete.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(testo) != testo.size() || !out.commit())
        throw AppError(75, QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(file), out.errorString()));
    return righe.size();
}

QString Periodi::provenienzaBreve(const PeriodoArchiviato& p)
{
    if (!p.provenienza) return NonRegistrata;
    const Provenienza& o = *p.provenienza;
    QString testo = o.tipo;
    if (!o.file.isEmpty()) testo += QLatin1Char(' ') + QFileInfo(o.file).fileName();
    testo += QStringLiteral(", ") + o.quando.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    if (!o.utente.isEmpty()) testo += QStringLiteral(", ") + o.utente;
    return testo;
}

QString Periodi::rigaComandi(const PeriodoArchiviato& p)
{
    QStringList campi{p.chiave.ditta,
                      p.ragioneSociale,
                      p.chiave.anno,
                      QString::number(p.chiave.mese),
                      QString::number(p.chiave.periodo),
                      p.descrizione,
                      p.valuta,
                      vb::FormatNumero(p.cambio),
                      QString::number(p.valori)};
    if (!p.provenienza) {
        campi << QString() << QString() << NonRegistrata;
    } else {
        const Provenienza& o = *p.provenienza;
        campi << o.quadratura << importo(qRound64(o.differenza * 10000), false) << o.tipo << o.file
              << (o.dimensione < 0 ? QString() : QString::number(o.dimensione)) << o.sha256 << o.definizione
              << o.quando.toUTC().toString(Qt::ISODateWithMs) << o.utente << o.origine;
    }
    // A text field holding a tab or a line break stays one field of one line.
    for (QString& campo : campi) campo = BatchDialogs::inLinea(campo);
    return campi.join(QLatin1Char('\t'));
}
