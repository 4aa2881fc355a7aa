#include "control/ctlVevAre.h"
#include "platform/ui/DockToolbar.h"
#include "platform/ui/LogList.h"
#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace {

// The screen measures itself in twips, as the host does: 15 to a logical pixel
// (Qt's logical pixels already include the device pixel ratio).
constexpr int kTwipsPerPixel = 15;
int twips(int pixels) { return pixels * kTwipsPerPixel; }
int pixels(double twips) { return qRound(twips / kTwipsPerPixel); }

void place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(pixels(left), pixels(top), pixels(width), pixels(height));
}

constexpr int kAltezzaBarra = 405;

}  // namespace

void ctlVevAre::Ridisponi()
{
    const int W = twips(width());
    const int H = twips(height());
    const int P = twips(picCaption->height());  // counted even while the caption is hidden
    if (twips(DS1->height()) + P > H) return;

    DS1->setUpdatesEnabled(false);
    DS1->resize(pixels(W), pixels(kAltezzaBarra));
    DS1->setUpdatesEnabled(true);
    const int T = twips(DS1->height());

    if (!picCaption->isHidden()) {
        place(picCaption, 0, 0, W - 20, P);
        place(DS1, 0, P, W - 20, T);
    } else {
        place(DS1, 0, 0, W - 20, T);
    }

    place(fraSelectPeriodo, 0, T, W - 20, H);
    // The hint fills the empty screen; under the log of a finished run it is one line.
    if (fraLog->isHidden()) {
        place(lblSuggerimento, 0, T, W - 20, H - T);
        place(fraLog, 0, T + P, W - 20, H - T - P);
    } else {
        const int riga = lblSuggerimento->isHidden() ? 0 : twips(lblSuggerimento->fontMetrics().height() + 8);
        place(fraLog, 0, T + P, W - 20, H - T - P - riga);
        place(lblSuggerimento, 0, H - riga, W - 20, riga);
    }

    // The frame's caption and border take part of it: the list is measured in the
    // area inside them.
    const QRect interno = fraLog->contentsRect();
    const int wi = twips(interno.width());
    const int hi = twips(interno.height());
    lwLog->setGeometry(interno.left() + pixels(20), interno.top() + pixels(20), pixels(wi - 40), pixels(hi - 40));

    const double larghezza = twips(lwLog->width());
    lwLog->setColumnWidthsPx(pixels(larghezza * 0.15), pixels(larghezza * 0.62), pixels(larghezza * 0.2));
}
