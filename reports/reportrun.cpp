#include "reports/reportrun.h"

#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "reports/reportprocs.h"

namespace cvd {

bool ReportRun::askOptions()
{
    ReportCancelled = true;
    if (ShowReportOptions)
        ShowReportOptions();
    return !ReportCancelled;
}

ReportRun::ReportRun(const QString& title) : m_title(title)
{
    platform().setPointer(Pointer::Hourglass);
}

ReportRun::~ReportRun()
{
    if (m_progress)
        platform().progressEnd();
    platform().setPointer(Pointer::Default);
}

bool ReportRun::begin(const PageSetup& setup)
{
    m_out = makeReportOutput();
    bool begun = false;
    trap([&] { begun = m_out->begin(setup); });
    return begun;
}

void ReportRun::forEachRow(const QString& sql, const QStringList& fields,
                           const std::function<void(const ReportRow&)>& row)
{
    platform().progressBegin(QStringLiteral("Preparing %1...").arg(m_title));
    m_progress = true;
    std::unique_ptr<Recordset> rs;
    ReportRow current;
    trap([&] {
        if (!MainDb)
            raise(ErrNo::ObjectNotSet);
        rs = MainDb->OpenRecordset(sql, RecordsetType::ForwardOnly);
        for (const QString& f : fields)
            current.m_at.push_back(rs->FieldIndex(f));
        current.m_rs = rs.get();
    });
    if (!current.m_rs)
        return;
    const std::function<void()> step = [&] { row(current); };
    const std::function<void()> next = [&] { rs->MoveNext(); };
    while (!rs->Eof()) {
        trap(step);
        if (!platform().progressStep(++m_done, 0)) {
            m_cancelled = true;
            break;
        }
        if (m_out->failed() || !trap(next))
            break;
    }
    trap([&] { rs->Close(); });
}

bool ReportRun::finish()
{
    if (m_progress) {
        platform().progressEnd();
        m_progress = false;
    }
    bool done = false;
    if (!m_cancelled)
        trap([&] { done = m_out->finish(); });
    return done;
}

} // namespace cvd
