#pragma once
// A box of several lines that writes back its stored text unchanged unless
// the user changed it (base/memotext.h has the rule).
#include <QString>

class QPlainTextEdit;

namespace cvd {

// Fills the box with a stored text; the box's textChanged is not emitted.
void setMemoText(QPlainTextEdit* box, const QString& stored);
// The text the box was last filled with.
QString storedMemoText(const QPlainTextEdit* box);
// The text to store for what the box shows now.
QString memoText(const QPlainTextEdit* box);

} // namespace cvd
