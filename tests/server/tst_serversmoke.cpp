// What only the server keeps of the program's tables: lengths of text and
// the tables' versions.  (The rows both engines give: tst_database's twin.)
#include "db/errors.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

class TestServerSmoke : public QObject {
    Q_OBJECT

    Folders m_dir;
    QString fixture(Engine engine) { return createFixtureDb(m_dir.next(), engine); }

private slots:
    void initTestCase()
    {
        if (!serverMode())
            QSKIP("runs on the server only");
    }

    // The server refuses text longer than its field (on the file the
    // engine's own check does).
    void lengthOfText()
    {
        const QString conn = fixture(Engine::Server);
        execOnTestDb(conn, u"insert into Categories (CatDesc) values ('%1')"_s.arg(QString(40, u'é')));
        QString text;
        QCOMPARE(errorOf([&] { execOnTestDb(conn, u"update Categories set CatDesc = CatDesc || 'x'"_s); }, &text),
                 int(ErrNo::SqlError));
        QVERIFY2(text.contains(u"catdesc"_s), qPrintable(text));
        QCOMPARE(sqlValue(conn, u"select count(*) from Categories where char_length(CatDesc) = 40"_s), u"1"_s);
    }

    // A version for each look-up table, one step for each statement that
    // changes it however many rows it changes; the requests have none.
    void tableVersions()
    {
        const QString conn = fixture(Engine::Server);
        const QString versions = u"select tablename, version from cvd_versions order by tablename"_s;
        const QList<QStringList> before = rowsOnTestDb(conn, versions);
        QStringList tables;
        for (const QStringList& row : before)
            tables << row.value(0);
        QCOMPARE(tables, (QStringList{u"categories"_s, u"customers"_s, u"dept"_s, u"priorities"_s, u"settings"_s,
                                      u"staff"_s}));
        execOnTestDb(conn, u"update Staff set Phone = '1'; delete from Staff where StaffID = 99; update Req set MinTot = 1;"
                           " update Dept set Phone = Phone where DeptID = 0"_s);
        QList<QStringList> after = before;
        after[2][1] = QString::number(before[2][1].toInt() + 1); // a statement that changes no row counts too
        after[5][1] = QString::number(before[5][1].toInt() + 2);
        QCOMPARE(rowsOnTestDb(conn, versions), after);
    }

};

CVD_TEST_GUILESS_MAIN(TestServerSmoke)
#include "tst_serversmoke.moc"
