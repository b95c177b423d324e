// The program's SQL as the PostgreSQL server is given it: texts the server
// cannot be given refused, and like patterns that mean on the server what
// they mean on the file.  What the server makes of the texts it takes (the
// key added to an order, the spelling of the columns' names among them) is
// checked by their rows: tst_database's twin, and the reports' on a server.
#include "db/errors.h"
#include "db/serverdialect.h"
#include "db/sqldialect.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QRegularExpression>
#include <QTest>

using namespace cvd;
using namespace Qt::StringLiterals;

namespace {

// The server's like condition (ILIKE or ~*) as a regular expression over
// the whole value, read the way PostgreSQL reads it.
QRegularExpression serverMeaning(const QString& translated)
{
    static const QRegularExpression shape(uR"(^\(.*::text COLLATE "und-x-icu"\) (ILIKE|~\*) '(.*)'$)"_s,
                                          QRegularExpression::DotMatchesEverythingOption);
    const auto m = shape.match(translated);
    if (!m.hasMatch())
        return QRegularExpression(u"(?!)"_s);
    QString literal = m.captured(2).replace(u"''"_s, u"'"_s);
    QString re;
    if (m.captured(1) == u"ILIKE") {
        for (qsizetype i = 0; i < literal.size(); ++i) {
            const QChar c = literal[i];
            if (c == u'\\' && i + 1 < literal.size())
                re += QRegularExpression::escape(QString(literal[++i]));
            else if (c == u'%')
                re += u".*"_s;
            else if (c == u'_')
                re += u'.';
            else
                re += QRegularExpression::escape(QString(c));
        }
    } else {
        if (!literal.startsWith(u"(?s)^") || !literal.endsWith(u'$'))
            return QRegularExpression(u"(?!)"_s);
        re = literal.mid(5, literal.size() - 6);
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

class TestServerDialect : public QObject {
    Q_OBJECT

private slots:
    // Texts that would mean something else on the server, or nothing.
    void refused_data()
    {
        QTest::addColumn<QString>("dialect");
        for (const char* text : {"LastName like FirstName", "LastName like 'Sm' || '*'", "LastName like 'a!*' escape '!'",
                                 "ReqDate like #1/1/98#", "LastName like", "Select * from Customers where like 'a*'",
                                 "LastName like 'Sm*", "ReqDate = #2/30/98#", "ReqDate = #2026-13-01#",
                                 "Select [LastName from Customers"})
            QTest::newRow(text) << QString::fromUtf8(text);
    }
    void refused()
    {
        QFETCH(QString, dialect);
        QString text;
        QCOMPARE(test::errorOf([&] { sql::translateForServer(dialect); }, &text), ErrNo::SqlError);
        QVERIFY(!text.isEmpty());
    }

    // A value matches the server's condition exactly when the file's own
    // matcher says it matches the pattern.
    void likeMeaning_data()
    {
        QTest::addColumn<QString>("pattern");
        for (const char* p : {"Sm*", "sm?th", "O'B*", "O'B[#]1*", "100%", "100%*", "a_b", "back\\*", "*\\*", "a.b",
                              "a+b", "Room ##", "Room 4[!0-9]", "Room 4[a-Z]", "Room [[]#]", "What[?] Really[*]",
                              "*ångström*", "ångström", "*one*two", "*one?*two", "tab?here", "tab[\t]here", "(x)",
                              "{2}", "a^b$", "a|b", "a[-]b", "a[!-]b", "[]]", "]", "R#D#", "[a-c]*", "[!a-c]*",
                              "*[%]*", "[\\]*", "*[.]*", "[^]*", "[!]*", "a[]b", "[l]*", "*", "?", "李", "[李]"})
            QTest::newRow(p) << QString::fromUtf8(p);
    }
    void likeMeaning()
    {
        QFETCH(QString, pattern);
        const QStringList values{u""_s,          u"Smith"_s, u"SMYTH"_s,   u"sm"_s,     u"O'Brien"_s, u"O'B#1 Ltd"_s,
                                 u"OB21 Ltd"_s,  u"100%"_s,  u"100 %x"_s,  u"a_b"_s,    u"axb"_s,     u"back\\slash"_s,
                                 u"a.b"_s,       u"a+b"_s,   u"Room 42"_s, u"Room 4x"_s, u"Room [7]"_s, u"What? Really*"_s,
                                 u"Zoë Ångström"_s, u"ÅNGSTRÖM"_s, u"line one\r\nline two"_s, u"tab\there"_s,
                                 u"(x)"_s,       u"{2}"_s,   u"a^b$"_s,    u"a|b"_s,    u"a-b"_s,     u"]"_s,
                                 u"R2D2"_s,      u"r2d2"_s,  u"李"_s};
        QString quoted = pattern;
        quoted.replace(u'\'', u"''"_s);
        const QString translated = sql::translateForServer(u"Name like '"_s + quoted + u'\'');
        const QRegularExpression re = serverMeaning(translated);
        QVERIFY2(re.isValid(), qPrintable(translated + u": "_s + re.errorString()));
        for (const QString& v : values)
            QVERIFY2(re.match(v).hasMatch() == sql::likeMatches(pattern, v),
                     qPrintable(translated + u" on \""_s + v + u'"'));
    }
};

CVD_TEST_GUILESS_MAIN(TestServerDialect)
#include "tst_serverdialect.moc"
