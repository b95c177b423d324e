#pragma once
// A started main window (mainwindowfixture.h) with its Maintain menu at
// hand: the maintenance windows opened as the user opens them, and what
// their tables hold.
#include "maintenance/maintwindow.h"
#include "support/mainwindowfixture.h"

namespace cvd::test {

struct MaintFixture : MainWindowFixture {
    MaintFixture() { started(); }

    // Chooses Maintain menu entry `index` (1 categories, 2 customers,
    // 3 departments, 4 priorities, 5 staff) and returns the window.
    MaintWindow* open(int index);
    // The window's state as the user sees it (state()).
    static bool browsing(const MaintWindow* m) { return state(*m) == "browsing"; }
    static bool editing(const MaintWindow* m) { return state(*m) == "editing"; }
    static bool adding(const MaintWindow* m) { return state(*m) == "adding"; }
    // The first entry control's text.
    static QString shown(const MaintWindow* m);
    // Types over the whole text of a box (the focus put there first).
    static void type(QWidget* box, const QString& text) { QVERIFY(typeInto(box, text)); }
};

} // namespace cvd::test
