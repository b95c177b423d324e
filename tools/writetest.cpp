#include "tools/writetest.h"

#include "db/database.h"
#include "tools/createdb.h"

#include <QDate>

namespace cvd::tools {

void runWriteTest(const QString& folder, std::FILE* out, long count)
{
    auto db = Database::Open(databasePath(folder));
    auto set = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"), RecordsetType::Dynaset);
    const QDate today = QDate::currentDate();
    const QString text = QStringLiteral("Written by the crash-safety test: Zoë O'Neil 李.\r\nSecond line.");
    for (long i = 0; count < 0 || i < count; ++i) {
        set->AddNew();
        const Value id = set->Field(QStringLiteral("ReqID"));
        set->SetField(QStringLiteral("ShortDesc"), QStringLiteral("Write test %1").arg(i));
        set->SetField(QStringLiteral("ReqDesc"), text);
        set->SetField(QStringLiteral("Resp"), text);
        set->SetField(QStringLiteral("ReqDate"), today.addDays(-(i % 1000)));
        set->SetField(QStringLiteral("Resolved"), false);
        set->SetField(QStringLiteral("HoursTot"), float(i % 7));
        set->SetField(QStringLiteral("MinTot"), float(i % 60));
        set->SetField(QStringLiteral("CostTot"), Currency::fromWhole(25 + i % 100));
        set->SetField(QStringLiteral("AmtPaid"), Currency::fromWhole(0));
        set->Update();
        db->Idle();
        std::fprintf(out, "%d\n", int(id.toLong()));
        std::fflush(out);
    }
}

} // namespace cvd::tools
