#include "support/scriptedplatform.h"

#include <QPrinter>

namespace cvd::test {

Answer ScriptedPlatform::messageBox(const QString& text, int flags, const QString& title)
{
    messages << MessageCall{text, flags, title.isEmpty() ? ProgramTitle : title};
    if (!answers.isEmpty())
        return answers.dequeue();
    const int buttons = flags & Mb::ButtonsMask;
    return buttons == Mb::YesNo || buttons == Mb::YesNoCancel ? Answer::Yes : Answer::Ok;
}

bool ScriptedPlatform::choosePrinter(QPrinter& printer)
{
    ++printDialogs;
    if (printToPdf.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printToPdf);
    return true;
}

void ScriptedPlatform::endProgram(int code)
{
    ended = true;
    throw ProgramEnded(exitCode = code);
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList out;
    for (const auto& m : messages)
        out << m.text;
    return out;
}

} // namespace cvd::test
