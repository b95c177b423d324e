// The text file of a report: one line per row, fields separated by tabs,
// lines ended by CR LF, UTF-8 without a byte-order mark.  The file is
// written beside its place under a temporary name and put in place only
// when the report has finished, so a report that fails or is cancelled
// leaves an earlier file as it was.
#include "reports/reportoutput.h"

#include "base/platform.h"
#include "db/newfile.h"
#include "reports/tabletext.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

namespace cvd {

namespace {

// The line of `row` into `line`, whose room is kept from row to row.
void writeLine(QStringView row, FileRow kind, QString& line)
{
    line.resize(row.size()); // the line is never longer than the row
    QChar* out = line.data();
    const QChar* const begin = out;
    for (const QChar *in = row.data(), *end = in + row.size(); in != end; ++in) {
        switch (in->unicode()) {
        case u'|': *out++ = u'\t'; break;
        case u';':
            if (kind == FileRow::Data)
                *out++ = u'\t';
            else if (kind == FileRow::Total)
                *out++ = u';';
            break;
        // A field's own tab and line breaks become blanks, so that the
        // fields after it keep their places and the row stays one line.
        case u'\r':
            if (in + 1 != end && in[1] == u'\n')
                ++in;
            [[fallthrough]];
        case u'\n':
        case u'\t': *out++ = u' '; break;
        default: *out++ = QChar(typedChar(in->unicode()));
        }
    }
    line.truncate(out - begin);
}

} // namespace

void tellIncompleteNotWritten(const QString& path, const QString& why)
{
    QString text = QStringLiteral("The report is incomplete, so it was not written to the file %1.\n\n%2")
                       .arg(QDir::toNativeSeparators(path), why);
    if (QFileInfo(path).isFile())
        text += QStringLiteral("\n\nThe earlier file of that name is unchanged.");
    platform().messageBox(text, Mb::OkOnly | Mb::Critical);
}

QString fileLine(QString row, FileRow kind)
{
    QString line;
    writeLine(row, kind, line);
    return line;
}

namespace {

constexpr qsizetype kFlushAt = 1 << 18;

class FileOutput : public ReportOutput {
public:
    explicit FileOutput(const QString& path) : m_file(path) { m_buffer.reserve(kFlushAt + 4096); }

    bool begin(const PageSetup&) override
    {
        if (m_file.open(QIODevice::WriteOnly))
            return true;
        tellFailure(m_file.errorString());
        return false;
    }

    void columnTitles(const QList<TableRow>&) override {}

    void record(const QList<TableRow>& rows, FileRow kind, int) override
    {
        QString joined;
        for (const TableRow& r : rows)
            joined += r.text;
        row({}, joined, kind);
    }

    void row(const QString&, const QString& text, FileRow kind) override
    {
        writeLine(text, kind, m_line);
        line(m_line);
    }

    void billHeading(const CompanyHeading&, const QStringList& recipient, const TableRow&) override
    {
        line({});
        for (const QString& l : recipient)
            line(l);
        line({});
        line({});
    }

    void billTotal(const QList<TableRow>& totals) override
    {
        for (const TableRow& r : totals)
            row({}, r.text, FileRow::Bill);
        line({});
    }

    bool failed() const override { return !m_failure.isEmpty(); }

    bool finish() override
    {
        flush();
        if (!m_incomplete.isEmpty()) {
            m_file.cancelWriting();
            tellIncompleteNotWritten(m_file.fileName(), m_incomplete);
            return false;
        }
        if (!failed() && m_file.commit()) {
            // The new name survives a power cut only with its folder on disk.
            syncPath(QFileInfo(m_file.fileName()).absolutePath(), true);
            return true;
        }
        const QString reason = failed() ? m_failure : m_file.errorString();
        m_file.cancelWriting();
        tellFailure(reason);
        return false;
    }

private:
    // The line in UTF-8 and its CR LF, into the buffer that is written out
    // in large blocks (and keeps its room between them).
    void line(QStringView text)
    {
        const qsizetype at = m_buffer.size();
        m_buffer.resize(at + m_encoder.requiredSpace(text.size()) + 2);
        char* end = m_encoder.appendToBuffer(m_buffer.data() + at, text);
        *end++ = '\r';
        *end++ = '\n';
        m_buffer.truncate(end - m_buffer.constData());
        if (m_buffer.size() >= kFlushAt)
            flush();
    }

    void flush()
    {
        if (m_buffer.isEmpty())
            return;
        if (!failed() && m_file.write(m_buffer) != m_buffer.size())
            m_failure = m_file.errorString();
        m_buffer.truncate(0);
    }

    void tellFailure(const QString& reason)
    {
        const QString path = m_file.fileName();
        QString text = QStringLiteral("The report could not be written to the file %1.").arg(QDir::toNativeSeparators(path));
        const QString why = whyNotWritable(path, reason);
        if (!why.isEmpty())
            text += QStringLiteral("\n\n") + why;
        if (QFileInfo(path).isFile())
            text += QStringLiteral("\n\nThe earlier file of that name is unchanged.");
        platform().messageBox(text, Mb::OkOnly | Mb::Critical);
    }

    QSaveFile m_file;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QString m_line; // the row being written, its room kept
    QByteArray m_buffer;
    QString m_failure;
};

} // namespace

std::unique_ptr<ReportOutput> makeFileOutput(const QString& path) { return std::make_unique<FileOutput>(path); }

} // namespace cvd
