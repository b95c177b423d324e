#pragma once
// A box of several lines that writes back its stored text unchanged unless
// the user changed it (base/memotext.h has the rule).
#include <QString>

class QPlainTextEdit;

namespace cvd {

void setMemoText(QPlainTextEdit* box, const QString& stored);
// The text to store for what the box shows now.
QString memoText(const QPlainTextEdit* box);

} // namespace cvd
