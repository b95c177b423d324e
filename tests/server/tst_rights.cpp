// A desk's login and its rights on the server, as an administrator sets
// them up: the desk role of desk-role.sql lets a desk do all it does; a
// login that may only read is told so once and works read-only; cvdtool
// check names what a login lacks.
#include "base/globals.h"
#include "db/database.h"
#include "maintenance/maintwindow.h"
#include "support/mainwindowfixture.h"
#include "support/testbackend.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

QString unique(const char* name) { return u"%1_%2"_s.arg(QLatin1String(name)).arg(QCoreApplication::applicationPid()); }

// desk-role.sql run by psql as the owner, on the database `conn` names.
QString runDeskRoleSql(const QString& conn, const QString& role)
{
    QProcess psql;
    psql.start(serverBinFolder() + u"/psql"_s,
               {u"-X"_s, u"-q"_s, u"-d"_s, connFileConninfo(conn), u"-v"_s, u"desk="_s + role, u"-f"_s,
                qEnvironmentVariable("CVD_SOURCE_DIR") + u"/data/server/desk-role.sql"_s});
    psql.waitForFinished(30000);
    return psql.exitCode() == 0 ? QString() : QString::fromUtf8(psql.readAllStandardError());
}

// The database of `conn` as the login `login` sees it, which joins `group`.
void loginAs(const QString& conn, const QString& login, const QString& group)
{
    execOnTestDb(conn, u"CREATE ROLE %1 LOGIN IN ROLE %2"_s.arg(login, group));
    QVERIFY(writeFile(conn, (connFileConninfo(conn) + u" user="_s + login + u'\n').toUtf8()));
}

} // namespace

class tst_rights : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!serverMode())
            QSKIP("a server's rights");
    }

    // The desk role: the program starts without a word, a new request is
    // saved, and cvdtool check finds nothing missing.
    void deskRole()
    {
        MainWindowFixture f;
        const QString group = unique("desk");
        QCOMPARE(runDeskRoleSql(f.location, group), QString());
        loginAs(f.location, unique("alice"), group);
        frmMain& w = f.started();
        QCOMPARE(f.messages(), QString());
        w.cmdAddNew->click();
        QVERIFY(typeInto(w.txtShortDesc, u"Saved by a desk"_s));
        QVERIFY2(f.saved(), qPrintable(f.messages()));
        QCOMPARE(fileQuery(u"select count(*) from Req where ShortDesc = 'Saved by a desk'"_s), u"1"_s);
        const ToolResult check = runCvdTool({u"check"_s, f.location});
        QCOMPARE(check.out + check.err, u"ok\n"_s);
    }

    // A login short of a desk's rights: cvdtool check names what it lacks;
    // the program says once that requests can be viewed, not saved, and
    // then offers no change anywhere instead of failing at each save.
    void readOnlyLogin_data()
    {
        QTest::addColumn<QString>("grants"); // %1: the group role, %2 the schema; "no key sequences" after desk-role.sql
        QTest::addColumn<QString>("lacks");
        QStringList selectOnly, sequences;
        for (const auto& [table, key] : {std::pair{"Req", "reqid"}, {"Customers", "custid"}, {"Dept", "deptid"},
                                         {"Staff", "staffid"}, {"Categories", "catid"}, {"Priorities", "priid"}}) {
            sequences << u"USAGE on %1_%2_seq, the sequence of the keys of %3"_s.arg(
                QString::fromLatin1(table).toLower(), QLatin1String(key), QLatin1String(table));
            selectOnly << u"INSERT, UPDATE and DELETE on %1"_s.arg(QLatin1String(table)) << sequences.last();
        }
        selectOnly << u"UPDATE on Settings"_s << u"UPDATE on cvd_versions"_s;
        QTest::newRow("SELECT only")
            << u"GRANT SELECT ON req, customers, dept, staff, categories, priorities, settings, cvd_versions TO %1"_s
            << selectOnly.join(u'|');
        QTest::newRow("no key sequences") << u"REVOKE USAGE ON ALL SEQUENCES IN SCHEMA %2 FROM %1"_s
                                          << sequences.join(u'|');
    }
    void readOnlyLogin()
    {
        QFETCH(QString, grants);
        QFETCH(QString, lacks);
        MainWindowFixture f;
        const bool reader = QTest::currentDataTag()[0] == 'S';
        const QString group = unique(reader ? "reader" : "noseq");
        const QString schema = connFileConninfo(f.location).section(u"search_path="_s, 1).section(u',', 0, 0);
        if (reader)
            execOnTestDb(f.location, u"CREATE ROLE %1 NOLOGIN; GRANT USAGE ON SCHEMA %2 TO %1"_s.arg(group, schema));
        else
            QCOMPARE(runDeskRoleSql(f.location, group), QString());
        execOnTestDb(f.location, grants.arg(group, schema));
        loginAs(f.location, unique(reader ? "bob" : "carol"), group);

        const ToolResult check = runCvdTool({u"check"_s, f.location});
        QCOMPARE(check.exitCode, 1);
        QStringList said = check.out.trimmed().split(u'\n');
        for (QString& line : said)
            line = line.section(u": it lacks "_s, 1).chopped(1).remove(schema + u'.');
        QCOMPARE(said.join(u'|'), lacks);

        frmMain& w = f.started();
        QCOMPARE(f.p.messages.size(), 1);
        QCOMPARE(f.p.messages[0].title, u"Read-Only Database"_s);
        QVERIFY2(f.messages().startsWith(u"This login can read but not change the database "_s)
                     && f.messages().contains(u"Requests can be viewed, not saved."_s)
                     && f.messages().contains(lacks.section(u'|', 0, 0).section(u" on "_s, 0, 0)),
                 qPrintable(f.messages()));
        QVERIFY(!w.cmdAddNew->isEnabled() && !w.cmdDelete->isEnabled() && w.txtShortDesc->isReadOnly());
        const QString shown = w.txtShortDesc->text();
        QVERIFY(focusInto(w.txtShortDesc));
        QTest::keyClicks(w.txtShortDesc, u"typed"_s);
        QVERIFY(!w.Editing && w.cmdUpdate->isHidden() && w.txtShortDesc->text() == shown);
        w.cmdNext->click(); // browsing works as ever
        QVERIFY(w.txtReqID->text() == u"7"_s && f.p.messages.size() == 1);
        w.mnuMaint[2]->trigger(); // and the customers' window offers no change either
        MaintWindow* customers = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<MaintWindow*>(top); m && m->isVisible())
                customers = m;
        QVERIFY(customers && !customers->cmdAddNew->isEnabled() && !customers->cmdDelete->isEnabled());
        customers->close();
    }
};

CVD_TEST_MAIN(tst_rights)
#include "tst_rights.moc"
