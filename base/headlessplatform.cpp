#include "base/headlessplatform.h"

#include "db/errors.h"

namespace cvd {

namespace {

QtMessageHandler g_qtHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.startsWith(QLatin1String("QStandardPaths:")) || text.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (g_qtHandler)
        g_qtHandler(type, context, text);
}

} // namespace

HeadlessPlatform::HeadlessPlatform()
{
    setPlatform(this);
    g_qtHandler = qInstallMessageHandler(quietHandler);
}

HeadlessPlatform::~HeadlessPlatform()
{
    qInstallMessageHandler(g_qtHandler);
    setPlatform(nullptr);
}

Answer HeadlessPlatform::messageBox(const QString& text, int flags, const QString&)
{
    shown(text, flags);
    switch (flags & Mb::ButtonsMask) {
    case Mb::YesNo:
    case Mb::YesNoCancel: return Answer::Yes;
    default: return Answer::Ok;
    }
}

QString HeadlessPlatform::saveAs(const QString&, const QString&, const QString&) { raise(ErrNo::DialogCancelled); }

FontChoice HeadlessPlatform::chooseFont(const FontChoice&) { raise(ErrNo::DialogCancelled); }

void HeadlessPlatform::endProgram(int code) { throw ProgramEnded(code); }

} // namespace cvd
