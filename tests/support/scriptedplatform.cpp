#include "support/scriptedplatform.h"

#include "db/errors.h"

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

QString ScriptedPlatform::saveAs(const QString&, const QString&, const QString&)
{
    if (saveAsPaths.isEmpty())
        raise(ErrNo::DialogCancelled);
    return saveAsPaths.dequeue();
}

FontChoice ScriptedPlatform::chooseFont(const FontChoice&)
{
    if (fonts.isEmpty())
        raise(ErrNo::DialogCancelled);
    return fonts.dequeue();
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
    exitCode = code;
    throw ProgramEnded(code);
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList out;
    for (const auto& m : messages)
        out << m.text;
    return out;
}

} // namespace cvd::test
