#include "ImportFixture.h"
#include "platform/ui/ListControl.h"
#include "platform/ui/LogList.h"
#include <QLineEdit>
#include <QSqlQuery>
#include <QSqlRecord>

QByteArray righe(const QStringList& linee) { return (linee.join("\r\n") + "\r\n").toLatin1(); }

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

QStringList ImportFixture::righeDb(const QString& sql) { return rowsOf(conn(), sql); }

int ImportFixture::conta(const QString& sql) { return scalar(conn(), sql).toInt(); }

QStringList ImportFixture::istantanea()
{
    return righeDb("SELECT * FROM QD07_VALORIPDC ORDER BY 1, 2, 3, 4, 9") + righeDb("SELECT * FROM QD15_DEFPDC ORDER BY 1, 2") +
           righeDb("SELECT * FROM QD21_PERVALUTA ORDER BY 1, 2, 3, 4") + righeDb("SELECT * FROM QD03_CORRELAZIONE ORDER BY 1, 2, 3, 4, 5") +
           righeDb("SELECT * FROM QD30_CORRSCHEMI_FLUSSI ORDER BY 1, 2, 3, 4, 5");
}

QStringList ImportFixture::log() const
{
    QStringList out;
    for (int r = 0; r < screen->lwLog->rowCount(); ++r)
        out << QStringList{screen->lwLog->text(r, 0), screen->lwLog->text(r, 1), screen->lwLog->text(r, 2)}.join('|');
    return out;
}

QStringList ImportFixture::box() const
{
    QStringList out;
    for (const auto& b : dialogs.shown()) out << b.title + ": " + b.text;
    return out;
}

ScriptedDialogs& ImportFixture::daCapo()
{
    dialogs.clear();
    return dialogs;
}

QString ImportFixture::ordineInserimento() const
{
    return backend() == QLatin1String("postgresql") ? QStringLiteral("ctid") : QStringLiteral("rowid");
}

void ImportFixture::rifiuta(const QString& nome, const QString& evento, const QString& tabella, const QString& condizione,
                            const QString& messaggio)
{
    if (backend() == QLatin1String("postgresql")) {
        const QString riga = evento == QLatin1String("DELETE") ? QStringLiteral("OLD") : QStringLiteral("NEW");
        conn().Execute(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger AS $$ BEGIN IF %2 THEN RAISE EXCEPTION '%3'; END IF; "
                                      "RETURN %4; END $$ LANGUAGE plpgsql")
                           .arg(nome, condizione, messaggio, riga));
        conn().Execute(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1()").arg(nome, evento, tabella));
    } else {
        conn().Execute(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 WHEN %4 BEGIN SELECT RAISE(ABORT, '%5'); END")
                           .arg(nome, evento, tabella, condizione, messaggio));
    }
}

void ImportFixture::togli(const QString& nome, const QString& tabella)
{
    conn().Execute(backend() == QLatin1String("postgresql") ? QStringLiteral("DROP TRIGGER %1 ON %2").arg(nome, tabella)
                                                            : QStringLiteral("DROP TRIGGER %1").arg(nome));
}
