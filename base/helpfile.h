#pragma once
// The program's help file, cvd.hlp: plain UTF-8 text of topics keyed by
// help context number.
//
//   # A line whose first character is '#' is a comment.
//   @help Calvedon Help          the title of the whole file (once, before the topics)
//   @topic 6                     starts the topic with context number 6
//   @title The Main Window       its title (required)
//   @keywords requests; browsing its search keywords, separated by ';'
//   Body text, up to the next @topic.  A blank line starts a new
//   paragraph; a line beginning with "- " is a list item; a line beginning
//   with "== " is a heading inside the topic; [[13]] links to topic 13
//   (shown by its title) and [[13|other text]] with a text of its own.
//
// Context number 0, when present, is the introduction shown with the
// contents.  Numbers are whole numbers, each used once.
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace cvd {

struct HelpTopic {
    int context = 0;
    QString title;
    QStringList keywords;
    QString body; // as written, without the directive lines
};

class HelpFile {
public:
    // Parses the text; on a fault returns nothing and sets `error` to a
    // message with the line number.
    static std::optional<HelpFile> parse(const QString& text, QString* error = nullptr);
    // Reads and parses a file; a missing or unreadable file gives an error
    // naming the path.
    static std::optional<HelpFile> load(const QString& path, QString* error = nullptr);

    const QString& title() const { return m_title; }
    // Topics in the order of the file.
    const QList<HelpTopic>& topics() const { return m_topics; }
    const HelpTopic* topic(int context) const;

    // Every keyword once, sorted without regard to case.
    QStringList keywords() const;
    // Keywords beginning with `partial` (case-insensitive); all for an empty text.
    QStringList keywordsStartingWith(const QString& partial) const;
    // Topics that carry the keyword (case-insensitive), in file order.
    QList<const HelpTopic*> topicsWithKeyword(const QString& keyword) const;

    // Context numbers named by [[N]] links that have no topic.
    QList<int> brokenLinks() const;

    // The topic body as HTML: paragraphs, lists, headings, and links of the
    // form "topic:N".
    QString bodyHtml(const HelpTopic& t) const;

private:
    QString m_title;
    QList<HelpTopic> m_topics;
};

} // namespace cvd
