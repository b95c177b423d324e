#include "base/damagedfile.h"

#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace cvd {

namespace {

std::weak_ptr<Database> toldFor; // the database the warning was told for
int quietLevel = 0;

} // namespace

bool damagedFileTold()
{
    const auto told = toldFor.lock();
    return told && told == MainDb;
}

void tellDamagedFile(const QStringList& findings)
{
    if (damagedFileTold())
        return;
    toldFor = MainDb;
    const QString file = QDir::toNativeSeparators(DatabasePath);
    const QString folder = QDir::toNativeSeparators(QFileInfo(DatabasePath).absolutePath());
    platform().messageBox(
        QStringLiteral("The data file %1 is damaged.\n\n"
                       "Calvedon will not save anything into it, so that nothing more is lost; the "
                       "file has not been changed.  You can still look at the requests and print "
                       "reports, but some records may not be shown.\n\n"
                       "Close Calvedon, then see what is wrong with\n"
                       "    cvdtool check %2\n"
                       "and save every record that can still be read into a new file with\n"
                       "    cvdtool recover %2 %3\n"
                       "Keep the damaged file, and put the new file (or your latest backup) in its "
                       "place, named cvd.mdb.\n\n(%4)")
            .arg(file, folder, QDir(folder).filePath(QStringLiteral("recovered.mdb")), findings.mid(0, 3).join(u' ')),
        Mb::OkOnly | Mb::Critical, QStringLiteral("Damaged Data File"));
}

QuietDamage::QuietDamage() { ++quietLevel; }
QuietDamage::~QuietDamage() { --quietLevel; }
bool QuietDamage::active() { return quietLevel > 0; }

} // namespace cvd
