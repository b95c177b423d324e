#pragma once
// A scripted platform whose message boxes behave as a desktop's do: while
// the box is up the window loses the activation (and the focus goes to the
// box's button), and the window gets it back from the window system only a
// moment after the box has gone (or never, as on a desktop without a window
// manager: activationComesBack false).  For the checks that put the focus
// back into a box after their message.
#include "support/scriptedplatform.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace cvd::test {

class ModalBoxes : public ScriptedPlatform {
public:
    bool activationComesBack = true;
    Answer messageBox(const QString& text, int flags, const QString& title) override
    {
        QWidget* owner = QApplication::activeWindow();
        {
            QDialog box(owner);
            auto* ok = new QPushButton(QStringLiteral("OK"), &box);
            box.show();
            ok->setFocus();
            if (!QTest::qWaitForWindowActive(&box) || !QTest::qWaitFor([ok] { return ok->hasFocus(); }))
                qWarning("the message box did not take the focus");
        }
        if (owner && activationComesBack)
            QTimer::singleShot(20, owner, [owner] { owner->activateWindow(); });
        return ScriptedPlatform::messageBox(text, flags, title);
    }
};

} // namespace cvd::test
