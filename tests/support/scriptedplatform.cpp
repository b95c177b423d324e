#include "support/scriptedplatform.h"

#include "db/errors.h"

#include <QPrinter>

namespace cvd::test {

ScriptedPlatform::ScriptedPlatform() { setPlatform(this); }
ScriptedPlatform::~ScriptedPlatform() { setPlatform(nullptr); }

Answer ScriptedPlatform::messageBox(const QString& text, int flags, const QString& title)
{
    messages << MessageCall{text, flags, title.isEmpty() ? ProgramTitle : title};
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (flags & Mb::ButtonsMask) {
    case Mb::YesNo:
    case Mb::YesNoCancel: return Answer::Yes;
    default: return Answer::Ok;
    }
}

QString ScriptedPlatform::inputBox(const QString& prompt, const QString&, const QString&)
{
    prompts << prompt;
    return inputs.isEmpty() ? QString() : inputs.dequeue();
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

bool ScriptedPlatform::progressStep(qint64 done, qint64)
{
    ++progressSteps;
    return cancelProgressAt < 0 || done < cancelProgressAt;
}

void ScriptedPlatform::help(QWidget*, const QString& helpFile, int command, quint32 data)
{
    helpCalls << HelpCall{helpFile, command, data};
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
