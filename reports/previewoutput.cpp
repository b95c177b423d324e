// The preview of a report: its rows composed into a page engine document,
// which is handed to the preview window when the report has finished.
#include "reports/reportoutput.h"

#include "base/globals.h"
#include "reports/pageengine.h"
#include "reports/reportwindows.h"

namespace cvd {

namespace {

// An incomplete report says so above everything on its first page, in the
// top margin, where no report writes.
void markIncomplete(PageDocument& doc, const QString& why)
{
    doc.incomplete = why;
    if (doc.pages.isEmpty())
        doc.pages.append(Page{});
    PageText notice;
    notice.rect = QRect(720, 180, doc.paperWidth - 1440, 260);
    notice.text = QStringLiteral("INCOMPLETE REPORT: records are missing.  ") + why;
    notice.font = PageFont{QStringLiteral("Arial"), 10, true, false};
    doc.pages.first().texts.prepend(notice);
}

const QString kLineEnd = QStringLiteral("\r\n");

class PreviewOutput : public ReportOutput {
public:
    bool begin(const PageSetup& setup) override
    {
        m_engine.setOrientation(setup.landscape ? PageEngine::Landscape : PageEngine::Portrait);
        if (!setup.header.isEmpty())
            m_engine.setHeaderText(setup.header);
        if (!setup.footer.isEmpty())
            m_engine.setFooterText(setup.footer);
        m_engine.BeginDocument();
        return true;
    }

    void columnTitles(const QList<TableRow>& rows) override
    {
        for (const TableRow& r : rows)
            m_engine.AddTable(r.format, {}, r.text, TableHeaderShade, TableBodyShade, true);
    }

    void record(const QList<TableRow>& rows, FileRow, int gapTwips) override
    {
        for (const TableRow& r : rows)
            m_engine.AddTable(r.format, {}, r.text);
        if (gapTwips != 0)
            m_engine.setVerticalPosition(m_engine.VerticalPosition() + gapTwips);
    }

    void row(const QString& format, const QString& text, FileRow) override { m_engine.AddTable(format, {}, text); }

    void billHeading(const CompanyHeading& company, const QStringList& recipient, const TableRow& titles) override
    {
        setFont(company.nameFont);
        m_engine.AddText(company.name + kLineEnd);
        setFont(company.addressFont);
        m_engine.AddText(company.address + kLineEnd);
        setFont(PageFont{QStringLiteral("Times New Roman"), 11, false, false});
        m_engine.setLeftMargin(1440);
        m_engine.AddText(kLineEnd);
        for (const QString& line : recipient)
            m_engine.AddText(line + kLineEnd);
        m_engine.AddText(kLineEnd + kLineEnd);
        m_engine.setLeftMargin(720);
        columnTitles({titles});
    }

    void billTotal(const QList<TableRow>& totals) override
    {
        m_engine.AddText(kLineEnd);
        for (const TableRow& r : totals)
            m_engine.AddTable(r.format, {}, r.text);
        m_engine.NewPage();
    }

    bool finish() override
    {
        m_engine.EndDocument();
        PageDocument doc = m_engine.takeDocument();
        if (!m_incomplete.isEmpty())
            markIncomplete(doc, m_incomplete);
        reportWindows().showPreview(std::move(doc));
        return true;
    }

private:
    void setFont(const PageFont& f)
    {
        m_engine.setFontName(f.name);
        m_engine.setFontSize(f.size);
        m_engine.setFontBold(f.bold);
        m_engine.setFontItalic(f.italic);
    }

    PageEngine m_engine;
};

} // namespace

std::unique_ptr<ReportOutput> makePreviewOutput() { return std::make_unique<PreviewOutput>(); }

std::unique_ptr<ReportOutput> makeReportOutput()
{
    if (ReportTarget == ReportTargetKind::File)
        return makeFileOutput(ReportFileName);
    return makePreviewOutput();
}

} // namespace cvd
