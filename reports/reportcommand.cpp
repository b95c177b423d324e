#include "reports/reportcommand.h"

#include "base/errorhandler.h"
#include "base/platform.h"

#include <QDir>
#include <QFileInfo>

namespace cvd {

QString proposedReportFile(const char* defaultFileName)
{
    const QString name = QString::fromLatin1(defaultFileName);
    if (ReportFileName.isEmpty())
        return name;
    return QFileInfo(ReportFileName).dir().filePath(name);
}

bool runReportCommand(ReportTargetKind target, const ReportCommand& command)
{
    ReportTarget = target;
    if (target == ReportTargetKind::File) {
        try {
            ReportFileName = platform().saveAs(QString(), proposedReportFile(command.defaultFileName), ReportFileFilter);
        } catch (const Error& e) {
            if (e.number() != ErrNo::DialogCancelled)
                HandleError(e);
            return false;
        }
    }
    ReportMode = command.mode;
    ShowLandscapeOption = command.landscapeOffered && target == ReportTargetKind::Preview;
    command.procedure();
    return true;
}

} // namespace cvd
