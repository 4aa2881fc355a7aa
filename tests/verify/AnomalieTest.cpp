#include "ScreenFixture.h"
#include "platform/Clock.h"
#include <QFile>

namespace {

RigaAnomalia riga(const QString& ditta, const QString& nome, const QString& numero, const QString& conto,
                  const QString& descrizione, bool registrato, bool scartato, bool sezione)
{
    return {ditta, nome, numero, conto, descrizione, registrato, scartato, sezione, QString()};
}

class Anomalie : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        Clock::setToday([] { return QDate(2025, 6, 5); });
        pdf = host.filePath(QStringLiteral("anomalie.pdf"));
        screen->m_ContestoStampa->setPdfFile(pdf);
    }
    void TearDown() override
    {
        Clock::setToday({});
        ScreenFixture::TearDown();
    }
    QByteArray stampa()
    {
        screen->StampaAnomalie();
        QFile f(pdf);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString pdf;
};

}  // namespace

TEST(VociAnomalie, GroupedByCompanyWithTheTwoKindsApart)
{
    TabellaAnomalie t;
    t << riga("R001", "Rossi & Figli S.r.l.", "0", "1500", "Conto nuovo", true, false, true)
      << RigaAnomalia{}  // an empty row is skipped
      << riga("R001", "Rossi & Figli S.r.l.", "0", "1600", "", false, true, false)
      << riga("C003", "Caffè dell'Università S.p.A.", "12", "2010", "Debiti", true, false, true)
      << riga("Z999", "Oltre il limite", "0", "1", "", true, false, true);
    const QList<VoceStampa> v = AnomalyReport::Voci(t, 4);  // row 4 is past the highest index

    ASSERT_EQ(v.size(), 6);
    EXPECT_EQ(v[0].tipo, VoceStampa::Ditta);
    EXPECT_EQ(v[0].testo, QStringLiteral("Ditta R001 - Rossi & Figli S.r.l."));
    EXPECT_EQ(v[1].conto, QStringLiteral("1500"));
    EXPECT_EQ(v[1].esito, QStringLiteral("REGISTRATO"));
    EXPECT_EQ(v[1].motivo, QStringLiteral("conto nuovo o senza correlazioni"));
    EXPECT_EQ(v[1].sezione, QStringLiteral("presente"));
    EXPECT_FALSE(v[1].scartato);
    EXPECT_EQ(v[2].esito, QStringLiteral("SCARTATO"));
    EXPECT_EQ(v[2].motivo, QStringLiteral("conto inesistente"));
    EXPECT_EQ(v[2].sezione, QStringLiteral("mancante"));
    EXPECT_TRUE(v[2].scartato);
    EXPECT_EQ(v[3].testo, QStringLiteral("Ditta C003 - Caffè dell'Università S.p.A.   (ditta n. 12 nel sistema di origine)"));
    EXPECT_EQ(v[4].descrizione, QStringLiteral("Debiti"));
    EXPECT_EQ(v[5].tipo, VoceStampa::Riepilogo);
    EXPECT_TRUE(v[5].testo.contains(QStringLiteral("Totale anomalie: 3")));
    EXPECT_TRUE(v[5].testo.contains(QStringLiteral("valori scartati: 1")));
}

TEST_F(Anomalie, PrintsToPdfOverSeveralPages)
{
    for (int i = 0; i < 130; ++i)
        screen->AggiungiAnomalia(riga("R001", "Rossi & Figli S.r.l.", "0", QString::number(5000 + i),
                                      QStringLiteral("Conto %1").arg(i), i % 3 != 0, i % 3 == 0, i % 2 == 0));
    screen->AggiungiAnomalia(riga("C003", "Caffè dell'Università S.p.A.", "12", "2010", "Debiti verso fornitori esteri con descrizione molto lunga che non entra nella colonna", true, false, true));
    const QByteArray bytes = stampa();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 10000);
    ASSERT_TRUE(screen->m_Stampa);
    EXPECT_GE(screen->m_Stampa->pagine(), 3);
}

TEST_F(Anomalie, NoImportPrintsAnEmptyList)
{
    const QByteArray bytes = stampa();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(screen->m_Stampa->pagine(), 1);
    ASSERT_EQ(AnomalyReport::Voci(screen->m_Anomalie, screen->m_NumAnomalie).size(), 1);
    EXPECT_EQ(AnomalyReport::Voci(screen->m_Anomalie, screen->m_NumAnomalie).first().tipo, VoceStampa::Nessuna);
}
