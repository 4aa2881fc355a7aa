#include "ScreenFixture.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

namespace {

const QColor kBlu(0, 0, 192), kVerde(0, 255, 0), kVerdeScuro(0, 192, 0), kRosso(255, 0, 0);

void clickHeader(LogList* list, int column)
{
    QHeaderView* h = list->header();
    const QPoint p(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, p);
}

QStringList colonna(LogList* list, int column)
{
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r) out << list->text(r, column);
    return out;
}

class LogTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        log = screen->lwLog;
        screen->fraLog->show();
        screen->show();
        log->setGeometry(10, 20, 700, 300);
        log->setColumnWidthsPx(100, 400, 150);
        QApplication::processEvents();
    }
    LogList* log = nullptr;
};

}  // namespace

// Rows are kept compactly: whatever their alphabet and length they come back whole.
TEST(LogRighe, TextsOfAnyAlphabetAndLengthComeBackWhole)
{
    const QList<QStringList> righe = {
        {QStringLiteral("1010"), QStringLiteral("cassa"), QStringLiteral("1.000")},
        {QStringLiteral("€"), QStringLiteral("Ωmega «virgolette»"), QStringLiteral("-5")},
        {QString(), QString(1 << 21, QLatin1Char('x')) + QStringLiteral("é"), QString()},
        {QStringLiteral("Àncora"), QString(), QStringLiteral("ωmega")},
    };
    LogList list;
    for (const QStringList& r : righe) list.addRow(r[0], r[1], r[2]);
    ASSERT_EQ(list.rowCount(), righe.size());
    for (int r = 0; r < righe.size(); ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(list.text(r, c), righe[r][c]) << r << "," << c;
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

// Plain blue; highlight green with a darker bold description; error red and bold; both:
// the error colours win, both bolds stay. What the view paints agrees.
TEST_F(LogTest, ColoursAndBoldFollowTheFlags)
{
    screen->InsertLog(QStringLiteral("1010"));
    screen->InsertLog(QStringLiteral("1020"), QStringLiteral("Banca"), QStringLiteral("1.000"), false, true);
    screen->InsertLog(QStringLiteral("1030"), QStringLiteral("Errore"), QStringLiteral("5"), true, false);
    screen->InsertLog(QStringLiteral("1040"), QStringLiteral("Entrambi"), QStringLiteral("7"), true, true);
    EXPECT_EQ(colonna(log, 1), (QStringList{"", "Banca", "Errore", "Entrambi"}));
    const QColor colori[4][2] = {{kBlu, kBlu}, {kVerde, kVerdeScuro}, {kRosso, kRosso}, {kRosso, kRosso}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(log->color(r, c), colori[r][c == 1]) << r << c;
            EXPECT_EQ(log->bold(r, c), r >= 2 || (r == 1 && c == 1)) << r << c;
        }
    log->flush();
    const QModelIndex desc = log->model()->index(1, 1);
    EXPECT_EQ(desc.data(Qt::ForegroundRole).value<QBrush>().color(), kVerdeScuro);
    EXPECT_TRUE(desc.data(Qt::FontRole).value<QFont>().bold());
}

// As text ignoring case, whatever the alphabet: the "Ω" row is stored wider than the rest.
TEST_F(LogTest, HeaderClickSortsAsTextAscendingOnly)
{
    screen->InsertLog(QStringLiteral("C"), QStringLiteral("tre"), QStringLiteral("200"));
    screen->InsertLog(QStringLiteral("A"), QStringLiteral("uno"), QStringLiteral("1.000"), true, false);
    screen->InsertLog(QStringLiteral("b"), QStringLiteral("Ωmega"), QStringLiteral("30"));
    log->flush();
    EXPECT_EQ(colonna(log, 0), (QStringList{"C", "A", "b"}));  // unsorted until a click
    clickHeader(log, 2);
    EXPECT_EQ(colonna(log, 2), (QStringList{"1.000", "200", "30"}));
    EXPECT_EQ(log->color(0, 0), kRosso);  // colours travel with their row
    EXPECT_EQ(log->color(1, 0), kBlu);

    clickHeader(log, 2);  // no descending order; rows logged while sorted find their place

    screen->InsertLog(QStringLiteral("D"), QStringLiteral("quattro"), QStringLiteral("150"), true, false);
    screen->InsertLog(QStringLiteral("ä"), QStringLiteral("cinque"), QStringLiteral("4"));
    EXPECT_EQ(colonna(log, 2), (QStringList{"1.000", "150", "200", "30", "4"}));
    EXPECT_EQ(log->color(1, 2), kRosso);

    clickHeader(log, 1);
    EXPECT_EQ(colonna(log, 1), (QStringList{"cinque", "quattro", "tre", "uno", "Ωmega"}));
    clickHeader(log, 0);
    EXPECT_EQ(colonna(log, 0), (QStringList{"A", "b", "C", "D", "ä"}));
}

// How fast is bench_import's to say; here, that every row is kept and the last one shown.
TEST_F(LogTest, ManyRowsAreAllKeptAndTheLastIsShown)
{
    const int righe = 200000;
    for (int i = 0; i < righe; ++i) {
        screen->InsertLog(QString::number(100000 + i), QStringLiteral("Conto di prova numero %1").arg(i),
                          QString::number(i), i % 1000 == 0, i % 500 == 0);
        if (i % 50 == 0) QApplication::processEvents();
    }
    QApplication::processEvents();
    log->flush();
    ASSERT_EQ(log->model()->rowCount(), righe);

    const QRect ultima = log->visualRect(log->model()->index(righe - 1, 0));
    EXPECT_TRUE(log->viewport()->rect().intersects(ultima)) << "row at " << ultima.y();
    EXPECT_EQ(log->color(1000, 0), kRosso);
}

TEST_F(LogTest, ACutDescriptionShowsInFullOnHover)
{
    const QString lunga = QStringLiteral("Fondo ammortamento impianti e macchinari specifici di produzione ").repeated(3).trimmed();
    log->addRow(QStringLiteral("1010"), QStringLiteral("Cassa"), QStringLiteral("1.500"));
    log->addRow(QStringLiteral("2010"), lunga, QStringLiteral("-1.500"));
    log->flush();
    auto suggerimento = [&](int riga) {
        QToolTip::hideText();
        const QRect cella = log->visualRect(log->model()->index(riga, 1));
        QHelpEvent evento(QEvent::ToolTip, cella.center(), log->viewport()->mapToGlobal(cella.center()));
        QApplication::sendEvent(log->viewport(), &evento);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(suggerimento(0), QString());
    EXPECT_EQ(suggerimento(1), lunga);
}

// The list's menu picks every row and copies the rows picked as the list shows them, a row
// a line, the columns apart by tabs; Ctrl+C copies too.
TEST_F(LogTest, TheMenuCopiesTheRowsPicked)
{
    screen->InsertLog(QStringLiteral("1010"), QStringLiteral("Cassa\tcontanti"), QStringLiteral("1.500"));
    screen->InsertLog(QStringLiteral("2010"), QStringLiteral("Debiti"), QStringLiteral("-1.500"), true, false);
    screen->InsertLog(QString(), QStringLiteral("Fine"));
    const QList<QAction*> menu = log->actions();
    ASSERT_EQ(menu.size(), 2);
    EXPECT_EQ(log->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(menu[0]->text(), QStringLiteral("Copia"));
    EXPECT_EQ(menu[1]->text(), QStringLiteral("Seleziona tutto"));
    menu[1]->trigger();
    menu[0]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1010\tCassa contanti\t1.500\n2010\tDebiti\t-1.500\n\tFine\t\n"));

    QApplication::setActiveWindow(screen.get());
    log->setFocus();
    log->selectRow(1);
    QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("2010\tDebiti\t-1.500\n"));
}
