#pragma once
#include "platform/ui/Dialogs.h"

// The boxes of a benchmark: every question answered No, every input box and file dialog
// left empty.
class NoDialogs : public Dialogs {
public:
    int MsgBox(const QString&, int flags, const QString&) override { return (flags & 0x0F) == vb::vbYesNo ? vb::vbNo : vb::vbOK; }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString OpenFile(const QString&, const QString&, const QString&) override { return {}; }
};
