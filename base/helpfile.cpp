#include "base/helpfile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace cvd {

namespace {

const QRegularExpression& linkPattern()
{
    static const QRegularExpression re(QStringLiteral(R"(\[\[(\d+)(?:\|([^\]]*))?\]\])"));
    return re;
}

std::nullopt_t fail(QString* error, int line, const QString& what)
{
    if (error)
        *error = QStringLiteral("line %1: %2").arg(line).arg(what);
    return std::nullopt;
}

} // namespace

std::optional<HelpFile> HelpFile::parse(const QString& text, QString* error)
{
    HelpFile f;
    QSet<int> seen;
    const QStringList lines = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    HelpTopic* cur = nullptr;
    QStringList body;
    auto finish = [&]() {
        if (cur)
            cur->body = body.join(QLatin1Char('\n')).trimmed();
        body.clear();
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const int no = i + 1;
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('@'))) {
            const qsizetype sp = line.indexOf(QLatin1Char(' '));
            const QString word = line.mid(1, sp < 0 ? -1 : sp - 1);
            const QString arg = sp < 0 ? QString() : line.mid(sp + 1).trimmed();
            if (word == QLatin1String("help")) {
                if (cur)
                    return fail(error, no, QStringLiteral("@help must come before the first topic"));
                f.m_title = arg;
            } else if (word == QLatin1String("topic")) {
                bool ok = false;
                const int n = arg.toInt(&ok);
                if (!ok || n < 0)
                    return fail(error, no, QStringLiteral("\"%1\" is not a context number").arg(arg));
                if (seen.contains(n))
                    return fail(error, no, QStringLiteral("context number %1 is used twice").arg(n));
                if (cur && cur->title.isEmpty())
                    return fail(error, no, QStringLiteral("topic %1 has no @title").arg(cur->context));
                finish();
                seen.insert(n);
                f.m_topics.append(HelpTopic{n, {}, {}, {}});
                cur = &f.m_topics.last();
            } else if (word == QLatin1String("title") || word == QLatin1String("keywords")) {
                if (!cur)
                    return fail(error, no, QStringLiteral("@%1 outside a topic").arg(word));
                if (word == QLatin1String("title")) {
                    cur->title = arg;
                } else {
                    for (const QString& k : arg.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                        if (!k.trimmed().isEmpty())
                            cur->keywords << k.trimmed();
                }
            } else {
                return fail(error, no, QStringLiteral("unknown directive @%1").arg(word));
            }
            continue;
        }
        if (!cur) {
            if (!line.trimmed().isEmpty())
                return fail(error, no, QStringLiteral("text before the first @topic"));
            continue;
        }
        body << line;
    }
    if (cur && cur->title.isEmpty())
        return fail(error, int(lines.size()), QStringLiteral("topic %1 has no @title").arg(cur->context));
    finish();
    return f;
}

std::optional<HelpFile> HelpFile::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = QStringLiteral("The help file %1 was not found.").arg(path);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The help file %1 could not be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QString why;
    auto f = parse(QString::fromUtf8(file.readAll()), &why);
    if (!f && error)
        *error = QStringLiteral("The help file %1 is not in the expected form (%2).").arg(path, why);
    return f;
}

const HelpTopic* HelpFile::topic(int context) const
{
    for (const auto& t : m_topics)
        if (t.context == context)
            return &t;
    return nullptr;
}

QStringList HelpFile::keywords() const
{
    QStringList all;
    QSet<QString> seen;
    for (const auto& t : m_topics)
        for (const auto& k : t.keywords)
            if (!seen.contains(k.toCaseFolded())) {
                seen.insert(k.toCaseFolded());
                all << k;
            }
    std::sort(all.begin(), all.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return all;
}

QStringList HelpFile::keywordsStartingWith(const QString& partial) const
{
    QStringList out;
    const QString p = partial.trimmed();
    for (const auto& k : keywords())
        if (k.startsWith(p, Qt::CaseInsensitive))
            out << k;
    return out;
}

QList<const HelpTopic*> HelpFile::topicsWithKeyword(const QString& keyword) const
{
    QList<const HelpTopic*> out;
    for (const auto& t : m_topics)
        for (const auto& k : t.keywords)
            if (QString::compare(k, keyword, Qt::CaseInsensitive) == 0) {
                out << &t;
                break;
            }
    return out;
}

QList<int> HelpFile::brokenLinks() const
{
    QList<int> out;
    for (const auto& t : m_topics) {
        auto it = linkPattern().globalMatch(t.body);
        while (it.hasNext()) {
            const int n = it.next().captured(1).toInt();
            if (!topic(n) && !out.contains(n))
                out << n;
        }
    }
    return out;
}

QString HelpFile::bodyHtml(const HelpTopic& t) const
{
    // Escapes a run of text and turns its links into anchors.
    auto inline_ = [this](const QString& s) {
        QString out;
        qsizetype pos = 0;
        auto it = linkPattern().globalMatch(s);
        while (it.hasNext()) {
            const auto m = it.next();
            out += s.mid(pos, m.capturedStart() - pos).toHtmlEscaped();
            const int n = m.captured(1).toInt();
            QString label = m.captured(2);
            if (label.isEmpty()) {
                const HelpTopic* target = topic(n);
                label = target ? target->title : QStringLiteral("topic %1").arg(n);
            }
            out += QStringLiteral("<a href=\"topic:%1\">%2</a>").arg(n).arg(label.toHtmlEscaped());
            pos = m.capturedEnd();
        }
        out += s.mid(pos).toHtmlEscaped();
        return out;
    };

    QString html;
    QStringList para;
    bool inList = false;
    auto flushPara = [&]() {
        if (!para.isEmpty())
            html += QStringLiteral("<p>") + inline_(para.join(QLatin1Char(' '))) + QStringLiteral("</p>\n");
        para.clear();
    };
    auto closeList = [&]() {
        if (inList)
            html += QStringLiteral("</ul>\n");
        inList = false;
    };
    for (const QString& raw : t.body.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            flushPara();
            closeList();
        } else if (line.startsWith(QLatin1String("- "))) {
            flushPara();
            if (!inList)
                html += QStringLiteral("<ul>\n");
            inList = true;
            html += QStringLiteral("<li>") + inline_(line.mid(2)) + QStringLiteral("</li>\n");
        } else if (line.startsWith(QLatin1String("== "))) {
            flushPara();
            closeList();
            html += QStringLiteral("<h3>") + inline_(line.mid(3)) + QStringLiteral("</h3>\n");
        } else if (inList && raw.startsWith(QLatin1String("  "))) {
            // A continuation line of a list item.
            html.chop(6); // "</li>\n"
            html += QLatin1Char(' ') + inline_(line) + QStringLiteral("</li>\n");
        } else {
            closeList();
            para << line;
        }
    }
    flushPara();
    closeList();
    return html;
}

} // namespace cvd
