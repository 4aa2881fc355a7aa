#pragma once
#include "ScreenFixture.h"
#include <QRegularExpression>
#include <QStringList>

// A screen on a fresh demo database of the backend given as the test's parameter, with the
// QDMSIT (kadro.txt) and QDCEE (cee.txt) definitions written, and the helpers the import
// tests share: what the database holds, the log and the boxes.
class ImportFixture : public ScreenFixture, public ::testing::WithParamInterface<QString> {
protected:
    QString backend() const override { return GetParam(); }
    void SetUp() override;

    // Imports through the selection lists and tbOK's command.
    void importa(const QString& ditta, const QString& anno, const QString& mese, const QString& cambio = QString());
    QStringList righeDb(const QString& sql) { return rowsOf(conn(), sql); }
    int conta(const QString& sql) { return scalar(conn(), sql).toInt(); }
    // A company's values, by period and then in the order written (or by `ordine`).
    QStringList valori(const QString& ditta, const QString& colonne = "QD07_CODICECONTO, QD07_VALOREORIGINALE, QD07_NPERIODO",
                       const QString& ordine = {});
    // Everything the imports write, provenance included.
    QStringList istantanea();
    // The provenance rows, oldest first: key, kind, file name, size, digest, definition,
    // origin, currency, rate, values, balance outcome and difference.
    QStringList provenienze();
    // The anomalies noted, each as its columns from `prima` to `ultima` joined by '|'.
    QStringList anomalie(int prima = 2, int ultima = 7) const;
    // The boxes of a new run, to queue its answers.
    ScriptedDialogs& daCapo() { dialogs.clear(); return dialogs; }
    // A trigger that refuses the statement when the condition holds (NEW/OLD as in SQL).
    void rifiuta(const QString& nome, const QString& evento, const QString& tabella, const QString& condizione,
                 const QString& messaggio);
    void togli(const QString& nome, const QString& tabella);
    // Runs an engine as an import command would: definition loaded, log and anomalies reset.
    void motore(bool cee, qint16 numero, QString ditta, const QString& pdc, qint16 anno, qint16 mese);
};

QByteArray righe(const QStringList& linee);
inline const QString Rossi = QStringLiteral("Rossi & Figli S.r.l.");

// code;description;amount;section, one header line, rule "TOT".
extern const QByteArray LayoutSaldi;
// code;description;amount;section;model;company;date;chart, one header line, rule "TOT".
extern const QByteArray LayoutKadro;
// The same without the model account.
extern const QByteArray LayoutCEE;
