#include "ImportFixture.h"
#include "platform/host/SqlText.h"
#include <QDateTime>
#include <QFileInfo>

QByteArray righe(const QStringList& linee) { return (linee.join("\r\n") + "\r\n").toLatin1(); }

const QByteArray LayoutSaldi = "\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC8\t4\t0\t0\r\n"
                               "R1\t1\t3\tTOT\r\n";
const QByteArray LayoutKadro =
    "\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC4\t5\t0\t0\r\nC5\t6\t0\t0\r\n"
    "C6\t7\t0\t0\r\nC7\t8\t0\t0\r\nC8\t4\t0\t0\r\nR1\t1\t3\tTOT\r\n";
const QByteArray LayoutCEE = "\r\n1;\r\n0\r\n0\r\n1\r\n2\r\nC1\t1\t0\t0\r\nC2\t3\t0\t0\r\nC3\t2\t0\t0\r\nC5\t5\t0\t0\r\n"
                             "C6\t6\t0\t0\r\nC7\t7\t0\t0\r\nC8\t4\t0\t0\r\n";

void ImportFixture::SetUp()
{
    ScreenFixture::SetUp();
    writeDef("QDMSIT", "kadro.txt" + LayoutKadro);
    writeDef("QDCEE", "cee.txt" + LayoutCEE);
}

void ImportFixture::motore(bool cee, qint16 numero, QString ditta, const QString& pdc, qint16 anno, qint16 mese)
{
    screen->m_CodImportazione = cee ? "QDCEE" : "QDMSIT";
    ASSERT_TRUE(screen->CaricaConf());
    screen->m_CodicePDC = pdc;
    screen->m_Cambio = 1;
    screen->ResetAnomalie();
    screen->lwLog->clearRows();
    QString valuta = "EUR", nome = "Ditta " + ditta;
    if (cee) screen->ImportaValoriCEE(numero, ditta, anno, mese, valuta, nome);
    else screen->ImportaValoriKadro(numero, ditta, anno, mese, valuta, nome);
    screen->lwLog->flush();
}

void ImportFixture::importa(const QString& ditta, const QString& anno, const QString& mese, const QString& cambio)
{
    screen->ClickNew();
    screen->cmbDitte->choose(screen->cmbDitte->findText(ditta));
    screen->cmbAnni->setText(anno);
    screen->cmbMesi->choose(screen->cmbMesi->findText(mese));
    if (!cambio.isEmpty()) screen->txtCambio->setText(cambio);
    screen->ClickOk();
    screen->lwLog->flush();
}

QStringList ImportFixture::valori(const QString& ditta, const QString& colonne, const QString& ordine)
{
    const bool pg = backend() == QLatin1String("postgresql");
    return rowsOf(conn(),
                  "SELECT " + colonne + " FROM QD07_VALORIPDC WHERE QD07_CODICEDITTA_QD05 = ? ORDER BY QD07_NPERIODO, " +
                      (!ordine.isEmpty() ? ordine : pg ? QStringLiteral("ctid") : QStringLiteral("rowid")),
                  {ditta});
}

QStringList ImportFixture::istantanea()
{
    return tabelle(conn(), {"QD07_VALORIPDC", "QD15_DEFPDC", "QD21_PERVALUTA", "QD03_CORRELAZIONE", "QD30_CORRSCHEMI_FLUSSI",
                            "QD22_IMPORTAZIONI"});
}

QStringList ImportFixture::provenienze()
{
    QStringList out;
    for (const QString& r : righeDb("SELECT QD22_CODICEDITTA_QD05, QD22_ANNO, QD22_MESE, QD22_NPERIODO, QD22_TIPO, QD22_FILE, "
                                    "QD22_DIMENSIONE, QD22_SHA256, QD22_DEFINIZIONE, QD22_ORIGINE, QD22_VALUTA, QD22_CAMBIO, "
                                    "QD22_NUMVALORI, QD22_QUADRATURA, QD22_DIFFERENZA, QD22_UTENTE, QD22_DATAORA "
                                    "FROM QD22_IMPORTAZIONI ORDER BY QD22_DATAORA")) {
        QStringList c = r.split('|');
        // The file by its name; who and when only as present and well formed.
        c[5] = QFileInfo(c[5]).fileName();
        EXPECT_FALSE(c[15].isEmpty());
        EXPECT_TRUE(QDateTime::fromString(c[16], Qt::ISODateWithMs).isValid()) << c[16].toStdString();
        out << c.mid(0, 15).join('|');
    }
    return out;
}

QStringList ImportFixture::anomalie(int prima, int ultima) const
{
    QStringList out;
    for (int r = 0; r < screen->m_NumAnomalie; ++r) {
        QStringList cols;
        for (int c = prima; c <= ultima; ++c) cols << screen->m_Anomalie[r][c].toString();
        out << cols.join('|');
    }
    return out;
}

void ImportFixture::rifiuta(const QString& nome, const QString& evento, const QString& tabella, const QString& condizione,
                            const QString& messaggio)
{
    if (backend() == QLatin1String("postgresql")) {
        const QString riga = evento == QLatin1String("DELETE") ? QStringLiteral("OLD") : QStringLiteral("NEW");
        conn().Execute(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger AS $$ BEGIN IF %2 THEN RAISE EXCEPTION %3; END IF; "
                                      "RETURN %4; END $$ LANGUAGE plpgsql")
                           .arg(nome, condizione, StringaSQL(messaggio), riga));
        conn().Execute(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1()").arg(nome, evento, tabella));
    } else {
        conn().Execute(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 WHEN %4 BEGIN SELECT RAISE(ABORT, %5); END")
                           .arg(nome, evento, tabella, condizione, StringaSQL(messaggio)));
    }
}

void ImportFixture::togli(const QString& nome, const QString& tabella)
{
    conn().Execute(backend() == QLatin1String("postgresql") ? QStringLiteral("DROP TRIGGER %1 ON %2").arg(nome, tabella)
                                                            : QStringLiteral("DROP TRIGGER %1").arg(nome));
}
