#pragma once
// The request and response boxes hold texts of several lines.  A text box
// shows line breaks its own way; these two keep a stored text exactly as it
// was unless the user changed it, and keep its kind of line break (CR LF or
// LF) when the user did.
#include <QString>

class QPlainTextEdit;

namespace cvd {

void setMemoText(QPlainTextEdit* box, const QString& stored);
// The text to store for what the box shows now.
QString memoText(const QPlainTextEdit* box);

} // namespace cvd
