#include "ScreenFixture.h"
#include <QFile>

// A row: company code, company name, number in the source system, account, description,
// posted, dropped, section present, note, year, month, period.
TEST(VociAnomalie, GroupedByCompanyWithTheTwoKindsApartAndTheirPeriods)
{
    TabellaAnomalie t;
    t << RigaAnomalia{"R001", "Rossi & Figli S.r.l.", "0", "1500", "Conto nuovo", true, false, true, {}, "2024", 3, 2}
      << RigaAnomalia{}  // an empty row is skipped
      << RigaAnomalia{"R001", "Rossi & Figli S.r.l.", "0", "1600", "", false, true, false}
      << RigaAnomalia{"C003", "Caffè dell'Università S.p.A.", "12", "2010", "Debiti", true, false, true}
      << RigaAnomalia{"Z999", "Oltre il limite", "0", "1", "", true, false, true};
    const QList<VoceStampa> v = AnomalyReport::Voci(t, 4);  // row 4 is past the highest index

    ASSERT_EQ(v.size(), 6);
    EXPECT_EQ(v[0].tipo, VoceStampa::Ditta);
    EXPECT_EQ(v[0].testo, QStringLiteral("Ditta R001 - Rossi & Figli S.r.l."));
    EXPECT_EQ(v[1].conto, QStringLiteral("1500"));
    EXPECT_EQ(std::make_tuple(v[1].ditta, v[1].meseAnno, v[1].periodo), std::make_tuple("R001", "3/2024", "2"));
    EXPECT_EQ(v[2].meseAnno + v[2].periodo, QString());  // a row without a period
    auto esito = [&](int i) { return std::make_tuple(v[i].esito, v[i].motivo, v[i].sezione, v[i].scartato); };
    EXPECT_EQ(esito(1), std::make_tuple("REGISTRATO", "conto nuovo o senza correlazioni", "presente", false));
    EXPECT_EQ(esito(2), std::make_tuple("SCARTATO", "conto inesistente", "mancante", true));
    EXPECT_EQ(v[3].testo, QStringLiteral("Ditta C003 - Caffè dell'Università S.p.A.   (ditta n. 12 nel sistema di origine)"));
    EXPECT_EQ(v[4].descrizione, QStringLiteral("Debiti"));
    EXPECT_EQ(v[5].tipo, VoceStampa::Riepilogo);
    EXPECT_TRUE(v[5].testo.contains(QStringLiteral("Totale anomalie: 3")));
    EXPECT_TRUE(v[5].testo.contains(QStringLiteral("valori scartati: 1")));
}

using Anomalie = ScreenFixture;

TEST_F(Anomalie, PrintsToPdfAnEmptyList)
{
    const QString pdf = host.filePath(QStringLiteral("anomalie.pdf"));
    screen->m_ContestoStampa->setPdfFile(pdf);
    screen->StampaAnomalie();  // no import yet
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
    ASSERT_TRUE(screen->m_Stampa);
    EXPECT_EQ(screen->m_Stampa->pagine(), 1);
    const QList<VoceStampa> nessuna = AnomalyReport::Voci(screen->m_Anomalie, screen->m_NumAnomalie);
    ASSERT_EQ(nessuna.size(), 1);
    EXPECT_EQ(nessuna.first().tipo, VoceStampa::Nessuna);
}
