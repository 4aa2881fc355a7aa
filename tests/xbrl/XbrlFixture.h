#pragma once
#include "TestDb.h"
#include "XbrlProva.h"
#include "control/ctlVevAre.h"
#include "platform/host/CGlobal.h"
#include "platform/ui/LogList.h"
#include "platform/ui/ScriptedDialogs.h"
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A screen on a fresh demo database of the backend under test, holding the small
// 2018-11-04 mapping; documents are written to files and chosen in the file dialog.
class XbrlFixture : public ::testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        db = std::make_unique<TestDb>(GetParam());
        global = std::make_unique<CGlobal>(db->open(), QStringLiteral("EUR"), QStringLiteral("KTRTest"), cartella.path());
        screen = std::make_unique<ctlVevAre>(dialogs);
        screen->setRateServiceFactory([] { return std::make_unique<NessunCambio>(); });
        screen->resize(900, 600);
        screen->setCGlobal(global.get());
        xbrlprova::creaMappatura2018(conn());
    }
    void TearDown() override
    {
        EXPECT_TRUE(dialogs.unexpected().isEmpty()) << "unexpected boxes: " << dialogs.unexpected().join("; ").toStdString();
        EXPECT_FALSE(conn().inTransaction());
    }
    Connection& conn() { return global->Database().Connection(); }

    // The boxes of a new run: the file dialog answered with the document, then the
    // answers the test queues.
    ScriptedDialogs& daImportare(const QByteArray& documento)
    {
        const QString path = cartella.filePath(QStringLiteral("doc%1.xbrl").arg(++m_documenti));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(documento);
        return daImportareFile(path);
    }
    ScriptedDialogs& daImportareFile(const QString& path)
    {
        dialogs.clear();
        return dialogs.answerFile(path);
    }
    // Runs the command; true when it committed.
    bool importa()
    {
        const int prima = conn().commits();
        screen->ClickImportXBRL();
        screen->lwLog->flush();
        return conn().commits() > prima;
    }

    QStringList righe(const QString& sql)
    {
        QSqlQuery q(conn().database());
        q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
        QStringList out;
        while (q.next()) {
            QStringList cols;
            for (int i = 0; i < q.record().count(); ++i) cols << q.value(i).toString();
            out << cols.join('|');
        }
        return out;
    }
    // Everything an import writes.
    QStringList istantanea()
    {
        return righe("SELECT * FROM QD05_DITTA ORDER BY 1") + righe("SELECT * FROM QD08_DITTAMODELLO ORDER BY 1, 2") +
               righe("SELECT * FROM QD07_VALORIPDC ORDER BY 1, 2, 3, 4, 9") + righe("SELECT * FROM QD21_PERVALUTA ORDER BY 1, 2, 3, 4") +
               righe("SELECT * FROM QD78_FOOTNOTE ORDER BY 1, 2, 3, 4, 5");
    }
    // Stored values of an account: "year|period|original|in currency", of one company or all.
    QStringList valori(const QString& conto, const QString& ditta = QString())
    {
        return righe("SELECT QD07_ANNO, QD07_NPERIODO, QD07_VALOREORIGINALE, QD07_VALOREINVALUTA FROM QD07_VALORIPDC "
                     "WHERE QD07_CODICECONTO = '" + conto + "'" +
                     (ditta.isEmpty() ? QString() : " AND QD07_CODICEDITTA_QD05 = '" + ditta + "'") + " ORDER BY 1 DESC, 2");
    }
    QStringList log() const
    {
        QStringList out;
        for (int r = 0; r < screen->lwLog->rowCount(); ++r)
            out << QStringList{screen->lwLog->text(r, 0), screen->lwLog->text(r, 1), screen->lwLog->text(r, 2)}.join('|');
        return out;
    }
    // Boxes after the file dialog, as "title: text".
    QStringList box() const
    {
        QStringList out;
        for (const auto& b : dialogs.shown())
            if (b.kind != ScriptedDialogs::Kind::File) out << b.title + ": " + b.text;
        return out;
    }

    class NessunCambio : public WebRateService {
    public:
        double CambioAttuale(QString&) override { return 0; }
        double CambioStorico(qint16&, qint16&, QString&) override { return 0; }
    };

    QTemporaryDir cartella;
    std::unique_ptr<TestDb> db;
    std::unique_ptr<CGlobal> global;
    ScriptedDialogs dialogs;
    std::unique_ptr<ctlVevAre> screen;

private:
    int m_documenti = 0;
};

inline const QString kRegistra = QStringLiteral("Importazione bilancio XBRL: Attenzione ditta - ");
