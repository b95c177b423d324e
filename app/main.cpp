// Calvedon: starts the main window on the data folder of the command line,
// or, started from the desktop menu (--menu), on the user's own data folder.
#include "base/formats.h"
#include "db/errors.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "reports/reportwindows.h"
#include "ui/programicon.h"
#include "ui/qtplatform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Calvedon"));
    QApplication::setWindowIcon(cvd::programIcon());

    cvd::QtPlatform qtPlatform;
    cvd::setPlatform(&qtPlatform);
    cvd::fmt::setLocale(cvd::fmt::systemLocale());
    cvd::QtReportWindows reportWindows;
    cvd::setReportWindows(&reportWindows);

    cvd::frmMain w;
    try {
        const QStringList args = QApplication::arguments().mid(1);
        cvd::startUp(w, cvd::commandLineText(args), cvd::startedFromMenu(args));
    } catch (const cvd::ProgramEnded& e) {
        return e.code();
    }
    w.show();
    return QApplication::exec();
}
