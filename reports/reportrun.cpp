#include "reports/reportrun.h"

#include "base/errorhandler.h"
#include "base/globals.h"
#include "base/platform.h"
#include "reports/reportwindows.h"

namespace cvd {

bool ReportRun::askOptions()
{
    ReportCancelled = true;
    reportWindows().showOptions();
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

bool ReportRun::step(const std::function<void()>& f)
{
    QString why;
    const bool ran = trap([&] {
        try {
            f();
        } catch (const Error& e) {
            why = QStringLiteral("It stopped at error %1: %2").arg(e.number()).arg(e.text());
            throw;
        }
    });
    if (!ran && m_incomplete.isEmpty())
        m_incomplete = why.isEmpty() ? QStringLiteral("It stopped at an error.") : why;
    return ran;
}

void ReportRun::forEachRow(const QString& sql, const QStringList& fields,
                           const std::function<void(const ReportRow&)>& row)
{
    platform().progressBegin(QStringLiteral("Preparing %1...").arg(m_title));
    m_progress = true;
    std::unique_ptr<Recordset> rs;
    ReportRow current;
    step([&] {
        if (!MainDb)
            raise(ErrNo::ObjectNotSet);
        rs = MainDb->OpenRecordset(sql, RecordsetType::ForwardOnly);
        for (const QString& f : fields)
            current.m_at.push_back(rs->FieldIndex(f));
        current.m_rs = rs.get();
    });
    if (!current.m_rs)
        return;
    const std::function<void()> one = [&] { row(current); };
    const std::function<void()> next = [&] { rs->MoveNext(); };
    while (!rs->Eof()) {
        step(one);
        if (!platform().progressStep(++m_done, 0)) {
            m_cancelled = true;
            break;
        }
        if (m_out->failed() || !step(next))
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
    if (!m_incomplete.isEmpty())
        m_out->setIncomplete(m_incomplete);
    if (!m_cancelled)
        trap([&] { done = m_out->finish(); });
    return done && m_incomplete.isEmpty();
}

} // namespace cvd
