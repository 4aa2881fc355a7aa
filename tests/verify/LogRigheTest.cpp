#include "ScreenFixture.h"
#include "platform/LogList.h"
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>

// Rows are kept compactly: whatever their alphabet and length they come back whole, and
// they sort as the texts they are.
TEST(LogRighe, TextsOfAnyAlphabetAndLengthComeBackWhole)
{
    const QString lunga = QString(1 << 21, QLatin1Char('x')) + QStringLiteral("é");
    const QList<QStringList> righe = {
        {QStringLiteral("1010"), QStringLiteral("cassa"), QStringLiteral("1.000")},
        {QStringLiteral("€"), QStringLiteral("Ωmega «virgolette»"), QStringLiteral("-5")},
        {QString(), lunga, QString()},
        {QStringLiteral("Àncora"), QString(), QStringLiteral("7")},
        {QStringLiteral("2020"), QStringLiteral("Banca"), QStringLiteral("ωmega")},
    };
    LogList list;
    for (const QStringList& r : righe) list.addRow(r[0], r[1], r[2]);
    ASSERT_EQ(list.rowCount(), righe.size());
    for (int r = 0; r < righe.size(); ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(list.text(r, c), righe[r][c]) << r << "," << c;

    for (int key : {1, 2}) {
        QList<QStringList> attese = righe;
        std::stable_sort(attese.begin(), attese.end(), [key](const QStringList& a, const QStringList& b) {
            return QString::compare(a[key], b[key], Qt::CaseInsensitive) < 0;
        });
        list.setSortKey(key);
        for (int r = 0; r < attese.size(); ++r) EXPECT_EQ(list.text(r, 0), attese[r][0]) << "key " << key << " row " << r;
    }
}

// A list nobody sees (a run without a window) does no view work until it is shown.
TEST(LogRighe, AHiddenListShowsItsRowsWhenShown)
{
    LogList list;
    for (int i = 0; i < 3; ++i) list.addRow(QString::number(i), QStringLiteral("riga"), QString());
    list.ensureRowVisible(2);
    QApplication::processEvents();
    EXPECT_EQ(list.model()->rowCount(), 0);
    EXPECT_EQ(list.text(2, 0), QStringLiteral("2"));

    list.resize(300, 200);
    list.show();
    QElapsedTimer t;
    t.start();
    while (list.model()->rowCount() < 3 && t.elapsed() < 5000) QApplication::processEvents();
    EXPECT_EQ(list.model()->rowCount(), 3);
}

class AnomalieContate : public ScreenFixture {};

// The count of anomalies is a 16-bit integer: the row past 32,767 is an overflow.
TEST_F(AnomalieContate, OneRowTooManyIsAnOverflow)
{
    screen->ResetAnomalie();
    RigaAnomalia riga;
    riga[3] = QStringLiteral("1010");
    for (int i = 0; i < 32767; ++i) screen->AggiungiAnomalia(riga);
    EXPECT_EQ(screen->m_NumAnomalie, 32767);
    try {
        screen->AggiungiAnomalia(riga);
        FAIL();
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), AppError::overflow().number());
    }
    EXPECT_EQ(screen->m_NumAnomalie, 32767);
    EXPECT_EQ(screen->m_Anomalie[32766][3].toString(), QStringLiteral("1010"));
}
