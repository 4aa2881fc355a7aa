#include "ScreenFixture.h"
#include <QCoreApplication>

class Layout : public ScreenFixture {
protected:
    void layOut(int w, int h)
    {
        screen->resize(w, h);
        screen->Ridisponi();
    }
};

// The log fills what the toolbar leaves; a shown caption pushes the toolbar down, a screen
// lower than both moves nothing, and closing takes the toolbar back to the top.
TEST_F(Layout, AreasFollowTheScreenSize)
{
    layOut(900, 600);
    const int P = screen->picCaption->height();
    EXPECT_EQ(screen->fraLog->geometry(), QRect(0, 27 + P, 899, 600 - 27 - P));  // caption hidden, still T + P

    screen->picCaption->setVisible(true);
    layOut(900, 600);
    EXPECT_EQ(screen->DS1->y(), P);
    const QRect log = screen->fraLog->geometry();
    layOut(700, 27 + P - 1);  // lower than toolbar and caption: nothing moves
    EXPECT_EQ(screen->DS1->y(), P);
    EXPECT_EQ(screen->fraLog->geometry(), log);

    layOut(900, 600);
    screen->ClickClose();
    EXPECT_EQ(screen->DS1->y(), 0);

    // A wide screen keeps the form at a reading width, centred; under the log of a finished
    // run the hint takes one line at the bottom.
    screen->show();
    screen->ClickNew();
    layOut(1600, 1000);
    QCoreApplication::processEvents();
    const QWidget* modulo = screen->fraSelectPeriodo->findChild<QWidget*>(QStringLiteral("modulo"));
    ASSERT_TRUE(modulo);
    EXPECT_EQ(modulo->width(), 1000);
    EXPECT_NEAR(modulo->mapTo(screen.get(), modulo->rect().center()).x(), screen->fraSelectPeriodo->geometry().center().x(), 2);
    screen->ClickCancel();
    screen->fraLog->setVisible(true);
    layOut(1600, 1000);
    EXPECT_EQ(screen->lblSuggerimento->geometry().bottom(), 999);
    EXPECT_EQ(screen->fraLog->geometry().bottom() + 1, screen->lblSuggerimento->y());
}
