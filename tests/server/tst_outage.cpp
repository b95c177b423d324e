// A desk whose server goes away and comes back, as its user sees it: a
// server restarted while the desk sat idle goes unnoticed; one that is down
// gives one message for the step that met it, and the request on display
// stays the one that Update and Delete act on; once it is back, the next
// step just works.
#include "base/globals.h"
#include "db/database.h"
#include "support/mainwindowfixture.h"
#include "support/privateserver.h"
#include "support/testbackend.h"
#include "support/testmain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

class tst_outage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!serverMode())
            QSKIP("a server's outages");
    }

    void outages_data()
    {
        QTest::addColumn<QString>("how"); // fast: restarted by its administrator; immediate: as in a crash
        QTest::addColumn<bool>("back");   // started again before the step
        QTest::addColumn<bool>("typing"); // the step is the Update of what was typed meanwhile, else Next
        QTest::newRow("restarted while idle") << "fast" << true << false;
        QTest::newRow("crashed and restarted while idle") << "immediate" << true << false;
        QTest::newRow("restarted while a request is typed") << "fast" << true << true;
        QTest::newRow("down") << "fast" << false << false;
        QTest::newRow("crashed in the middle of a save") << "immediate" << false << true;
    }
    void outages()
    {
        QFETCH(QString, how);
        QFETCH(bool, back);
        QFETCH(bool, typing);
        const PrivateServer server;
        if (server.conninfo().isEmpty())
            QSKIP("no private server could be started");
        MainWindowFixture f;
        f.location = server.database(f.dir.path(), u"insert into Req (ReqID, ShortDesc, ReqDate) values (1, 'Oldest', '1998-01-05'), "
                                                    "(2, 'Middle', '1998-02-05'), (3, 'Newest', '1998-03-05')"_s);
        frmMain& w = f.started();
        QCOMPARE(w.txtShortDesc->text(), u"Newest"_s);
        if (typing)
            QVERIFY(typeInto(w.txtShortDesc, u"Typed meanwhile"_s));
        const auto step = [&] { // whether it went without a message
            if (typing)
                return f.saved();
            w.cmdNext->click();
            QEvent activated(QEvent::ActivationChange); // the window active again, as after a message box
            QCoreApplication::sendEvent(&w, &activated);
            return f.messages().isEmpty();
        };
        QVERIFY(server.stop(how));
        if (!back) { // each try its one message; what was typed and the request on display stay
            QVERIFY(!step() && !step());
            QCOMPARE(f.p.messages.size(), 2);
            QVERIFY2(f.messages().startsWith(u"3146  The connection to the database server "_s), qPrintable(f.messages()));
            QCOMPARE(w.txtShortDesc->text(), typing ? u"Typed meanwhile"_s : u"Newest"_s);
            QCOMPARE(ReqSet->AbsolutePosition(), 0L);
            f.p.messages.clear();
        }
        QVERIFY(server.start());
        QVERIFY2(step(), qPrintable(f.messages()));
        if (!typing) { // and a save after the outage goes through
            QCOMPARE(w.txtShortDesc->text(), u"Middle"_s);
            QVERIFY(typeInto(w.txtShortDesc, u"Saved after"_s));
            QVERIFY2(f.saved(), qPrintable(f.messages()));
        }
        QCOMPARE(rowsOnTestDb(f.location, u"select ShortDesc from Req where ReqID = %1"_s.arg(typing ? 3 : 2)),
                 QList<QStringList>{{typing ? u"Typed meanwhile"_s : u"Saved after"_s}});
    }
};

CVD_TEST_MAIN(tst_outage)
#include "tst_outage.moc"
