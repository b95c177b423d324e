// The record set's keys, on the file and (as tst_keys_server) on a
// server: the request list read a piece at a time from both ends, and keys
// past 2^31.
#include "db/database.h"
#include "support/fixturedb.h"
#include "support/testbackend.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QTest>
#include <algorithm>
#include <vector>

using namespace cvd;
using namespace Qt::StringLiterals;

static const QString AllRequests = u"Select * from Req order by ReqDate desc"_s;

class TestKeys : public QObject {
    Q_OBJECT

    test::Folders m_dir;

private slots:
    // The request list reads its keys a piece at a time from both ends; it
    // gives the records in the order one read of them all gives, whichever
    // way it is walked and whatever is added, deleted, changed or found in
    // between.  Steps: F first, L last, nK next K times, pK previous K
    // times, D delete, A add (dated long ago, so that by its date it would
    // belong elsewhere), E change the date to one not yet read, f<ID> find.
    void keysReadInPieces_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("forward") << u"F"_s;
        QTest::newRow("backward") << u"L"_s;
        QTest::newRow("both ends, then meeting") << u"L p300 F n2000 p50"_s;
        QTest::newRow("deletes at both ends") << u"L D p5 D n1 F n70 D p1 D"_s;
        QTest::newRow("adds before the ends meet") << u"F n10 A L p3 A n4 D p2"_s;
        QTest::newRow("a change that moves it") << u"F n5 E L p400 E F n300"_s;
        QTest::newRow("finding what is not read yet") << u"f1500 n3 L f1501 p2 A f3001 F f2999"_s;
    }
    void keysReadInPieces()
    {
        QFETCH(QString, steps);
        // 3000 requests over 400 dates, every 101st undated.
        QStringList values;
        for (int id = 1; id <= 3000; ++id)
            values << u"(%1, 'r%1', %2, FALSE)"_s.arg(id).arg(
                id % 101 ? QDate(2000, 1, 1).addDays(id * 7919 % 400).toString(u"''yyyy-MM-dd''"_s) : u"NULL"_s);
        const QString path = test::newDatabase(
            m_dir.next(), u"INSERT INTO Req (ReqID, ShortDesc, ReqDate, Resolved) VALUES "_s + values.join(u", "_s) + u";"_s);
        // Newest first, the undated last, ties by number, last first.
        std::vector<int> model;
        for (const QStringList& r : test::rowsOnTestDb(path, u"select ReqID from Req order by ReqDate is null, ReqDate desc, ReqID desc"_s))
            model.push_back(r[0].toInt());

        auto db = Database::Open(path);
        auto rs = db->OpenRecordset(AllRequests);
        qsizetype at = 0; // the current record's place in the model
        bool deleted = false;
        const auto id = [&] { return rs->Field(u"ReqID"_s).toLong(); };
        for (const QString& step : steps.split(u' ')) {
            const char op = step[0].toLatin1();
            const int n = step.size() > 1 ? step.mid(1).toInt() : 1;
            if (op == 'F' || op == 'L') {
                op == 'F' ? rs->MoveFirst() : rs->MoveLast();
                at = op == 'F' ? 0 : qsizetype(model.size()) - 1;
            }
            for (int i = 0; (op == 'n' || op == 'p') && i < n; ++i, deleted = false) {
                op == 'n' ? rs->MoveNext() : rs->MovePrevious();
                at += op == 'p' ? -1 : deleted ? 0 : 1;
            }
            if (op == 'D') {
                rs->Delete();
                model.erase(model.begin() + at);
                deleted = true;
                continue;
            }
            if (op == 'A' || op == 'E') { // an added request dated long ago; a date among those not yet read
                op == 'A' ? rs->AddNew() : rs->Edit();
                const int key = rs->Field(u"ReqID"_s).toLong();
                rs->SetField(u"ReqDate"_s, op == 'A' ? QDate(1990, 1, 1) : QDate(2000, 7, 19));
                rs->Update();
                if (op == 'A')
                    model.push_back(key);
            }
            if (op == 'f') {
                rs->FindFirst(u"ReqID = %1"_s.arg(n));
                QVERIFY2(!rs->NoMatch(), qPrintable(step));
                at = std::find(model.begin(), model.end(), n) - model.begin();
            }
            QVERIFY2(!rs->Bof() && !rs->Eof(), qPrintable(step));
            QCOMPARE(id(), model[size_t(at)]);
        }
        // Then the whole set, both ways.
        std::vector<int> forward, backward;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            forward.push_back(id());
        QCOMPARE(forward, model);
        for (rs->MoveLast(); !rs->Bof(); rs->MovePrevious())
            backward.insert(backward.begin(), id());
        QCOMPARE(backward, model);
        QCOMPARE(rs->RecordCount(), long(model.size()));
    }

    // Keys past 2^31 (a file's rowid, a server's bigint) come back whole:
    // read, added, changed and found again.
    void keysPast2To31()
    {
        const QString path = test::newDatabase(
            m_dir.next(), (test::serverMode() ? u"ALTER TABLE Req ALTER COLUMN ReqID TYPE bigint; "_s : QString())
                              + u"INSERT INTO Req (ReqID, ShortDesc, ReqDate, Resolved) VALUES (3000000000, 'first', '1999-01-01', FALSE);"_s);
        auto rs = Database::Open(path)->OpenRecordset(AllRequests);
        rs->AddNew();
        QCOMPARE(rs->Field(u"ReqID"_s), Value(qint64(3000000001)));
        rs->SetField(u"ReqDate"_s, QDate(2000, 1, 1));
        rs->Update();
        rs->FindFirst(u"ReqID = 3000000001"_s);
        rs->Edit();
        rs->SetField(u"ShortDesc"_s, u"added"_s);
        rs->Update();
        rs->FindFirst(u"ShortDesc = 'first'"_s);
        QCOMPARE(rs->Field(u"ReqID"_s).displayText(), u"3000000000"_s);
        rs.reset();
        QCOMPARE(test::sqlRows(path, u"select ReqID, ShortDesc from Req order by ReqID"_s),
                 (QStringList{u"1:3000000000|3:first"_s, u"1:3000000001|3:added"_s}));
    }
};

CVD_TEST_GUILESS_MAIN(TestKeys)
#include "tst_keys.moc"
