#pragma once
// Reads back what the tests need from a PDF written by the program: its
// pages in order and the text drawn on each (decoded through the fonts'
// ToUnicode maps, blanks left out).
#include <QByteArray>
#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace cvd::test {

using namespace Qt::StringLiterals;

class PdfReader {
public:
    explicit PdfReader(const QByteArray& bytes)
    {
        static const QRegularExpression object(u"(\\d+) 0 obj(.*?)endobj"_s, QRegularExpression::DotMatchesEverythingOption);
        for (auto it = object.globalMatch(QString::fromLatin1(bytes)); it.hasNext();) {
            const auto m = it.next();
            m_objects.insert(m.captured(1).toInt(), m.captured(2));
        }
        static const QRegularExpression kids(u"/Type\\s*/Pages\\b.*?/Kids\\s*\\[([^\\]]*)\\]"_s,
                                             QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression ref(u"(\\d+)\\s+0\\s+R"_s);
        for (const QString& body : std::as_const(m_objects))
            if (const auto m = kids.match(body); m.hasMatch())
                for (auto it = ref.globalMatch(m.captured(1)); it.hasNext();)
                    m_pages << it.next().captured(1).toInt();
    }

    int pageCount() const { return int(m_pages.size()); }

    // The characters drawn on a page, in drawing order, without blanks.
    QString pageText(int index) const
    {
        const QString page = m_objects.value(m_pages.value(index));
        const QString content = stream(ref(page, u"Contents"_s));
        const QString resources = m_objects.value(ref(page, u"Resources"_s));
        static const QRegularExpression token(u"/(F\\d+)\\s+[\\d.]+\\s+Tf|<([0-9A-Fa-f]+)>"_s);
        QString text;
        QHash<uint, QString> map;
        for (auto it = token.globalMatch(content); it.hasNext();) {
            const auto m = it.next();
            if (!m.captured(1).isEmpty())
                map = toUnicode(stream(ref(m_objects.value(ref(resources, m.captured(1))), u"ToUnicode"_s)));
            for (qsizetype i = 0; i + 4 <= m.captured(2).size(); i += 4)
                text += map.value(m.captured(2).mid(i, 4).toUInt(nullptr, 16));
        }
        return text.remove(QRegularExpression(u"\\s"_s));
    }

private:
    // The object that `key` in `dict` refers to.
    static int ref(const QString& dict, const QString& key)
    {
        return QRegularExpression(u"/%1\\s+(\\d+)\\s+0\\s+R"_s.arg(key)).match(dict).captured(1).toInt();
    }

    // The data of a stream object, inflated when it is compressed.
    QString stream(int number) const
    {
        static const QRegularExpression data(u"^(.*?)stream\\r?\\n(.*)endstream"_s, QRegularExpression::DotMatchesEverythingOption);
        const auto m = data.match(m_objects.value(number));
        if (!m.captured(1).contains(u"FlateDecode"_s))
            return m.captured(2);
        // A first guess at the size; qUncompress grows it.
        return QString::fromLatin1(qUncompress(QByteArray("\x00\x10\x00\x00", 4) + m.captured(2).toLatin1()));
    }

    // Glyph codes to text, from a ToUnicode map's bfrange lines (the only
    // kind Qt writes), each a range onto one first code or a list of codes.
    static QHash<uint, QString> toUnicode(const QString& cmap)
    {
        QHash<uint, QString> map;
        static const QRegularExpression ranges(u"beginbfrange(.*?)endbfrange"_s, QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression range(u"<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"_s);
        static const QRegularExpression hex(u"<([0-9A-Fa-f]+)>"_s);
        for (auto it = ranges.globalMatch(cmap); it.hasNext();)
            for (auto r = range.globalMatch(it.next().captured(1)); r.hasNext();) {
                const auto m = r.next();
                uint code = m.captured(1).toUInt(nullptr, 16);
                const uint lo = code, hi = m.captured(2).toUInt(nullptr, 16);
                if (m.captured(3).startsWith(u'[')) // UTF-16 for each code
                    for (auto h = hex.globalMatch(m.captured(3)); h.hasNext() && code <= hi; ++code) {
                        const QString u = h.next().captured(1);
                        for (qsizetype i = 0; i + 4 <= u.size(); i += 4)
                            map[code] += QChar(char16_t(u.mid(i, 4).toUInt(nullptr, 16)));
                    }
                else
                    for (const uint first = m.captured(3).mid(1).chopped(1).toUInt(nullptr, 16); code <= hi; ++code)
                        map.insert(code, QString(QChar(char16_t(first + code - lo))));
            }
        return map;
    }

    QHash<int, QString> m_objects;
    QList<int> m_pages;
};

} // namespace cvd::test
