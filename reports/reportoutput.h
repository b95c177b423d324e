#pragma once
// Where a report goes.  A report procedure composes its rows once, as the
// page engine takes them (cells joined by "|", data rows ended by ";"), and
// hands them to one ReportOutput: the preview builds the pages of the page
// engine, the text file writes one line per row with tabs between the
// fields.  What only one of them shows (column titles, page header and
// footer, the company heading of a bill) is given to both and dropped by
// the other.
#include "reports/pagedocument.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace cvd {

// Page set-up of the preview: paper orientation and the header and footer
// texts ("left|centre|right", "%d" the page number).
struct PageSetup {
    bool landscape = false;
    QString header;
    QString footer;
};

// One table row: the page engine's format and the row's text.
struct TableRow {
    QString format;
    QString text;
};

// How a row becomes a line of the text file.
enum class FileRow {
    Data,  // "|" and ";" become tabs: every field is followed by a tab
    Total, // the row has no ";"; "|" becomes a tab
    Bill,  // "|" becomes a tab and ";" is dropped
};

// A row as a line of the text file, without its line end.  A field's own
// "|" and ";" (reports/tabletext.h) are written as typed; its tabs and line
// breaks become blanks, so that the fields keep their places and each row
// stays one line.
QString fileLine(QString row, FileRow kind);

// The company heading on every bill (the preview's only), in the fonts the
// Settings record names.
struct CompanyHeading {
    QString name;
    PageFont nameFont;
    QString address;
    PageFont addressFont;
};

class ReportOutput {
public:
    virtual ~ReportOutput() = default;

    // Starts the document, or the file (which replaces an earlier one only
    // when finish() puts it in place).  False when the file cannot be
    // written; the user has been told.
    virtual bool begin(const PageSetup& setup) = 0;

    // The shaded column titles, one table row each (the preview's only).
    virtual void columnTitles(const QList<TableRow>& rows) = 0;

    // One record: its table rows in the preview, followed by a gap of
    // `gapTwips`; one line in the file, the rows' texts joined.
    virtual void record(const QList<TableRow>& rows, FileRow kind, int gapTwips = 0) = 0;
    // A record of one row.
    virtual void row(const QString& format, const QString& text, FileRow kind) = 0;

    // The head of a bill: the company heading in its fonts (preview only),
    // the recipient's lines between empty lines, the column titles (preview
    // only).
    virtual void billHeading(const CompanyHeading& company, const QStringList& recipient, const TableRow& titles) = 0;
    // The end of a bill: an empty line, the total rows ("label|amount;"),
    // then a new page in the preview or an empty line in the file.
    virtual void billTotal(const QList<TableRow>& totals) = 0;

    // Whether the output can no longer be written (a full disk): the report
    // stops, and finish() tells the user.
    virtual bool failed() const { return false; }

    // The report met an error and lacks records (`why` says which error):
    // the preview shows it marked as incomplete; a file is not written, and
    // an earlier one stays as it was.
    virtual void setIncomplete(const QString& why) { m_incomplete = why; }

    // Hands the finished report over: the preview's document to
    // the preview window, the file put in place of an earlier one.  False when the
    // file could not be written (the user has been told).  An output
    // destroyed without finish() leaves nothing behind.
    virtual bool finish() = 0;

protected:
    QString m_incomplete;
};

// Tells the user that an incomplete report (`why`) was not written to
// `path`, and that an earlier file there is unchanged.
void tellIncompleteNotWritten(const QString& path, const QString& why);

// The preview's output: a page engine document.
std::unique_ptr<ReportOutput> makePreviewOutput();
// The text file `path`.
std::unique_ptr<ReportOutput> makeFileOutput(const QString& path);
// By ReportTarget: the preview, or the file ReportFileName.
std::unique_ptr<ReportOutput> makeReportOutput();

} // namespace cvd
