#include "model/Provenienza.h"
#include "platform/host/CGlobal.h"
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <pwd.h>
#include <unistd.h>

const QString Provenienza::Testo = QStringLiteral("testo");
const QString Provenienza::Kadro = QStringLiteral("Kadro");
const QString Provenienza::CEE = QStringLiteral("CEE");
const QString Provenienza::XBRL = QStringLiteral("XBRL");
const QString Provenienza::Eliminazione = QStringLiteral("eliminazione");
const QString Provenienza::Finestra = QStringLiteral("finestra");
const QString Provenienza::RigaDiComando = QStringLiteral("riga di comando");

QString Provenienza::utenteSistema()
{
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    const QString utente = qEnvironmentVariable("USER");
    return utente.isEmpty() ? qEnvironmentVariable("USERNAME") : utente;
}

Provenienza::Impronta Provenienza::impronta(const QString& file)
{
    struct Letta {
        qint64 dimensione;
        QDateTime modificato;
        QString sha256;
    };
    static QHash<QString, Letta> lette;
    const QFileInfo info(file);
    if (!info.isFile()) return {};
    const QString chiave = info.absoluteFilePath();
    const auto trovata = lette.constFind(chiave);
    if (trovata != lette.constEnd() && trovata->dimensione == info.size() && trovata->modificato == info.lastModified())
        return {trovata->dimensione, trovata->sha256};
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {info.size(), QString()};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    const Letta letta{info.size(), info.lastModified(), QString::fromLatin1(hash.result().toHex())};
    lette.insert(chiave, letta);
    return {letta.dimensione, letta.sha256};
}

void Provenienza::registra(CGlobal& global, Provenienza p)
{
    Connection& conn = global.Database().Connection();
    if (!p.quando.isValid()) p.quando = QDateTime::currentDateTimeUtc();
    if (p.utente.isEmpty()) p.utente = utenteSistema();
    if (p.origine.isEmpty()) p.origine = global.App().property(QStringLiteral("Origine")).toString();
    if (p.origine.isEmpty()) p.origine = Finestra;
    if (!p.file.isEmpty() && p.sha256.isEmpty()) {
        const Impronta i = impronta(p.file);
        p.dimensione = i.dimensione;
        p.sha256 = i.sha256;
    }
    if (p.valori < 0)
        p.valori = conn.Leggi(QStringLiteral("SELECT COUNT(*) FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = ? AND QD07_ANNO = ? "
                                             "AND QD07_MESE = ? AND QD07_NPERIODO = ?"),
                              {p.ditta, p.anno, int(p.mese), int(p.periodo)})
                       .toLongLong();
    const auto taglia = [&conn](const char* colonna, const QString& testo) {
        return conn.Taglia(QStringLiteral("QD22_IMPORTAZIONI"), QLatin1String(colonna), testo);
    };
    conn.Esegui(QStringLiteral("INSERT INTO QD22_IMPORTAZIONI (QD22_CODICEDITTA_QD05, QD22_ANNO, QD22_MESE, QD22_NPERIODO, "
                               "QD22_TIPO, QD22_FILE, QD22_DIMENSIONE, QD22_SHA256, QD22_DEFINIZIONE, QD22_DATAORA, QD22_UTENTE, "
                               "QD22_ORIGINE, QD22_VALUTA, QD22_CAMBIO, QD22_NUMVALORI, QD22_QUADRATURA, QD22_DIFFERENZA) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {p.ditta, p.anno, int(p.mese), int(p.periodo), p.tipo, taglia("QD22_FILE", p.file),
                 p.dimensione < 0 ? QVariant(QMetaType(QMetaType::LongLong)) : QVariant(p.dimensione), p.sha256,
                 taglia("QD22_DEFINIZIONE", p.definizione), p.quando.toUTC().toString(Qt::ISODateWithMs),
                 taglia("QD22_UTENTE", p.utente), p.origine, p.valuta, p.cambio, p.valori, p.quadratura, p.differenza});
}
