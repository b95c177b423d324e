// Writes the program's icon as PNG files for the icon theme:
//   cvd-iconfiles FOLDER   ->   FOLDER/16x16/apps/calvedon.png ... FOLDER/256x256/apps/calvedon.png
// Run by the build; not installed.
#include "ui/programicon.h"

#include <QDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: cvd-iconfiles FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = dir + QStringLiteral("/calvedon.png");
        if (!QDir().mkpath(dir) || !cvd::programIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "cvd-iconfiles: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
