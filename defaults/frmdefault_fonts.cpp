// The Font menu: the company name and address are shown in the fonts the
// bill heading will use.
#include "base/platform.h"
#include "db/errors.h"
#include "defaults/fontfields.h"
#include "defaults/frmdefault.h"

#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace cvd {

QWidget* frmDefault::fontBox(int index) const
{
    switch (index) {
    case 1: return txtCompName;
    case 2: return txtCompAdd;
    default: return nullptr;
    }
}

void frmDefault::mnuFont_Click(int index)
{
    QWidget* box = fontBox(index);
    if (!box)
        return;
    try {
        // The dialog starts from the box's font; the choice is only shown
        // here and stored by OK.  A family that is not installed is offered
        // as the one that stands in for it on this system, in the stored
        // size and style.
        FontChoice start = choiceOf(box->font());
        start.name = QFontInfo(box->font()).family();
        const FontChoice chosen = platform().chooseFont(start);
        box->setFont(fontOf(chosen));
    } catch (const Error&) {
        // Cancelled, or the dialog failed: nothing changes, nothing is shown.
    }
}

} // namespace cvd
