#include "ui/memobox.h"

#include "base/memotext.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QVariant>

namespace cvd {

namespace {

constexpr const char* StoredProperty = "cvdStoredText";
constexpr const char* ShownProperty = "cvdShownText";

// Lines break between words, and within a word too long for a line.  To
// find where a word ends the layout looks over the whole word again for each
// line it breaks, so a text with a very long word (pasted data, a key held
// down) would take seconds to show.  Such a text breaks anywhere: a word of
// this length fills many lines whichever way it is broken.
constexpr qsizetype LongestWord = 1000;

QTextOption::WrapMode wrapFor(const QString& text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        if (c.isSpace() || c == u'-')
            run = 0;
        else if (++run >= LongestWord)
            return QTextOption::WrapAnywhere;
    }
    return QTextOption::WrapAtWordBoundaryOrAnywhere;
}

// A box placed before its window is first shown has not had its size yet:
// its lines would be broken at a default width and again at the real one
// when the window shows, twice the work for a long text.  It takes its size
// now.
void takePendingSize(QPlainTextEdit* box)
{
    for (QWidget* w : {static_cast<QWidget*>(box), box->viewport()}) {
        if (!w->testAttribute(Qt::WA_PendingResizeEvent))
            continue;
        w->setAttribute(Qt::WA_PendingResizeEvent, false);
        QResizeEvent e(w->size(), QSize());
        QCoreApplication::sendEvent(w, &e);
    }
}

} // namespace

void setMemoText(QPlainTextEdit* box, const QString& stored)
{
    // Showing the same record again (the window activated, say) leaves the
    // box as it is, without laying out a long text once more.
    const QVariant was = box->property(StoredProperty);
    if (was.isValid() && was.toString() == stored && box->toPlainText() == box->property(ShownProperty).toString())
        return;
    // Filling the box is no change of the user's: no textChanged.
    const QSignalBlocker quiet(box);
    const QTextOption::WrapMode wrap = wrapFor(stored);
    if (box->wordWrapMode() != wrap) {
        // The text shown so far is not laid out again in the new mode.
        box->clear();
        box->setWordWrapMode(wrap);
    }
    takePendingSize(box);
    box->setPlainText(stored);
    box->setProperty(StoredProperty, stored);
    box->setProperty(ShownProperty, box->toPlainText());
}

QString storedMemoText(const QPlainTextEdit* box) { return box->property(StoredProperty).toString(); }

QString memoText(const QPlainTextEdit* box)
{
    return memoTextToStore(box->property(StoredProperty).toString(), box->property(ShownProperty).toString(),
                           box->toPlainText());
}

} // namespace cvd
