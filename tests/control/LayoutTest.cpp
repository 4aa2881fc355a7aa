#include "ScreenFixture.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/LogList.h"
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>

namespace {
constexpr int kTwips = 15;  // per logical pixel
int column(const LogList* l, int i) { return kTwips * l->header()->sectionSize(i); }
}  // namespace

class Layout : public ScreenFixture {
protected:
    void layOut(int w, int h)
    {
        screen->resize(w, h);
        screen->Ridisponi();
    }
};

TEST_F(Layout, AreasFollowTheScreenSize)
{
    layOut(900, 600);
    const int P = screen->picCaption->height();
    EXPECT_EQ(screen->DS1->geometry(), QRect(0, 0, 899, 27));  // W - 20 twips, 405 twips
    EXPECT_EQ(screen->fraSelectPeriodo->geometry(), QRect(0, 27, 899, 600));
    EXPECT_EQ(screen->fraLog->geometry(), QRect(0, 27 + P, 899, 600 - 27 - P));  // caption hidden, still T + P
    const int list = kTwips * screen->lwLog->width();
    EXPECT_NEAR(column(screen->lwLog, 0), list * 0.15, kTwips);
    EXPECT_NEAR(column(screen->lwLog, 2), list * 0.2, kTwips);

    const int descrizione = column(screen->lwLog, 1);
    layOut(967, 600);  // 1005 twips: the nearest whole pixel to 1000
    EXPECT_EQ(screen->lwLog->width() * kTwips - list, 1005);
    EXPECT_NEAR(column(screen->lwLog, 1) - descrizione, 620, kTwips);

    screen->picCaption->setVisible(true);
    layOut(900, 600);
    EXPECT_EQ(screen->picCaption->geometry(), QRect(0, 0, 899, P));
    EXPECT_EQ(screen->DS1->y(), P);
    const QRect log = screen->fraLog->geometry();
    layOut(700, 27 + P - 1);  // lower than toolbar and caption: nothing moves
    EXPECT_EQ(screen->DS1->y(), P);
    EXPECT_EQ(screen->fraLog->geometry(), log);

    layOut(900, 600);
    screen->ClickClose();
    EXPECT_EQ(screen->DS1->y(), 0);
}
