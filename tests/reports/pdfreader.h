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

class PdfReader {
public:
    explicit PdfReader(const QByteArray& bytes)
    {
        static const QRegularExpression object(QStringLiteral("(\\d+) 0 obj(.*?)endobj"),
                                               QRegularExpression::DotMatchesEverythingOption);
        const QString all = QString::fromLatin1(bytes);
        for (auto it = object.globalMatch(all); it.hasNext();) {
            const auto m = it.next();
            m_objects.insert(m.captured(1).toInt(), m.captured(2));
        }
        static const QRegularExpression kids(QStringLiteral("/Type\\s*/Pages\\b.*?/Kids\\s*\\[([^\\]]*)\\]"),
                                             QRegularExpression::DotMatchesEverythingOption);
        for (const QString& body : std::as_const(m_objects)) {
            const auto m = kids.match(body);
            if (m.hasMatch())
                m_pages = refs(m.captured(1));
        }
    }

    int pageCount() const { return int(m_pages.size()); }

    // The characters drawn on a page, in drawing order, without blanks.
    QString pageText(int index) const
    {
        const QString page = m_objects.value(m_pages.value(index));
        const QString content = stream(ref(page, QStringLiteral("Contents")));
        const QString resources = m_objects.value(ref(page, QStringLiteral("Resources")));
        static const QRegularExpression token(QStringLiteral("/(F\\d+)\\s+[\\d.]+\\s+Tf|<([0-9A-Fa-f]+)>"));
        QString text;
        QHash<uint, QString> map;
        for (auto it = token.globalMatch(content); it.hasNext();) {
            const auto m = it.next();
            if (!m.captured(1).isEmpty()) {
                const QRegularExpression font(QStringLiteral("/%1\\s+(\\d+)\\s+0\\s+R").arg(m.captured(1)));
                const int fontObject = font.match(resources).captured(1).toInt();
                map = toUnicode(stream(ref(m_objects.value(fontObject), QStringLiteral("ToUnicode"))));
                continue;
            }
            const QString hex = m.captured(2);
            for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
                text += map.value(hex.mid(i, 4).toUInt(nullptr, 16));
        }
        return text.remove(QRegularExpression(QStringLiteral("\\s")));
    }

private:
    static QList<int> refs(const QString& list)
    {
        static const QRegularExpression r(QStringLiteral("(\\d+)\\s+0\\s+R"));
        QList<int> out;
        for (auto it = r.globalMatch(list); it.hasNext();)
            out << it.next().captured(1).toInt();
        return out;
    }

    static int ref(const QString& dict, const QString& key)
    {
        const QRegularExpression r(QStringLiteral("/%1\\s+(\\d+)\\s+0\\s+R").arg(key));
        return r.match(dict).captured(1).toInt();
    }

    // The data of a stream object, inflated when it is compressed.
    QString stream(int number) const
    {
        const QString body = m_objects.value(number);
        qsizetype start = body.indexOf(QLatin1String("stream"));
        const qsizetype end = body.lastIndexOf(QLatin1String("endstream"));
        if (start < 0 || end < start)
            return {};
        start += 6;
        if (body.mid(start, 2) == QLatin1String("\r\n"))
            start += 2;
        else if (body.mid(start, 1) == QLatin1String("\n"))
            start += 1;
        QByteArray data = body.mid(start, end - start).toLatin1();
        if (!body.left(start).contains(QLatin1String("FlateDecode")))
            return QString::fromLatin1(data);
        data.prepend(QByteArray("\x00\x10\x00\x00", 4)); // a first guess at the size; qUncompress grows it
        return QString::fromLatin1(qUncompress(data));
    }

    // Glyph codes to text, from a ToUnicode map's bfrange lines (the only
    // kind Qt writes), each a range onto one first code or a list of codes.
    static QHash<uint, QString> toUnicode(const QString& cmap)
    {
        QHash<uint, QString> map;
        auto utf16 = [](const QString& hex) {
            QString s;
            for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
                s += QChar(char16_t(hex.mid(i, 4).toUInt(nullptr, 16)));
            return s;
        };
        static const QRegularExpression ranges(QStringLiteral("beginbfrange(.*?)endbfrange"), QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression range(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"));
        static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
        for (auto it = ranges.globalMatch(cmap); it.hasNext();)
            for (auto r = range.globalMatch(it.next().captured(1)); r.hasNext();) {
                const auto m = r.next();
                const uint lo = m.captured(1).toUInt(nullptr, 16), hi = m.captured(2).toUInt(nullptr, 16);
                if (m.captured(3).startsWith(u'[')) {
                    uint code = lo;
                    for (auto h = hex.globalMatch(m.captured(3)); h.hasNext() && code <= hi; ++code)
                        map.insert(code, utf16(h.next().captured(1)));
                } else {
                    const uint first = m.captured(3).mid(1, m.captured(3).size() - 2).toUInt(nullptr, 16);
                    for (uint code = lo; code <= hi; ++code)
                        map.insert(code, QString(QChar(char16_t(first + code - lo))));
                }
            }
        return map;
    }

    QHash<int, QString> m_objects;
    QList<int> m_pages;
};

} // namespace cvd::test
