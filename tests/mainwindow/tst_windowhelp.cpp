// F1 in each window the main window opens: the help file opens at the
// window's own topic, as the shipped help file titles it.
#include "base/globals.h"
#include "base/helpfile.h"
#include "dates/frmdateent.h"
#include "defaults/frmdefault.h"
#include "reports/frmoutput.h"
#include "search/frmfind.h"
#include "support/maintfixture.h"
#include "support/testmain.h"

#include <QApplication>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

class tst_windowhelp : public QObject {
    Q_OBJECT
private slots:
    void f1_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("topic");
        QTest::newRow("categories") << "1" << "Maintain Categories";
        QTest::newRow("customers") << "2" << "Maintain Customers";
        QTest::newRow("departments") << "3" << "Maintain Departments/Companies";
        QTest::newRow("priorities") << "4" << "Maintain Priorities";
        QTest::newRow("staff") << "5" << "Maintain Staff";
        QTest::newRow("defaults") << "defaults" << "Maintain Defaults";
        QTest::newRow("find") << "find" << "Finding Requests (Find)";
        QTest::newRow("calendar") << "calendar" << "Picking a Date from the Calendar";
        QTest::newRow("preview") << "preview" << "Report Output (Preview)";
    }
    void f1()
    {
        QFETCH(QString, window);
        MaintFixture f;
        PickedDate = QDate(1998, 3, 15);
        std::unique_ptr<QWidget> owned;
        QWidget* w = nullptr;
        if (window == "defaults") {
            w = showDefaultsWindow(f.w.get());
        } else if (window == "find") {
            owned = std::make_unique<frmFind>(*f.w);
        } else if (window == "calendar") {
            owned = std::make_unique<frmDateEnt>(f.w.get());
        } else if (window == "preview") {
            owned = std::make_unique<frmOutput>();
        } else {
            w = f.open(window.toInt());
        }
        if (owned) {
            w = owned.get();
            w->show();
        }
        w->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == w);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == w ? focus : w, Qt::Key_F1);
        QCOMPARE(f.p.helpCalls.size(), 1);
        QCOMPARE(f.p.helpCalls[0].file + ' ' + QString::number(f.p.helpCalls[0].command), f.dir.filePath(QStringLiteral("cvd.hlp")) + " 1");
        QString err;
        auto file = HelpFile::load(qEnvironmentVariable("CVD_SOURCE_DIR") + QStringLiteral("/data/cvd.hlp"), &err);
        QVERIFY2(file, qPrintable(err));
        const HelpTopic* t = file->topic(int(f.p.helpCalls[0].data));
        QTEST(t ? t->title : QString::number(f.p.helpCalls[0].data), "topic");
    }
};

CVD_TEST_MAIN(tst_windowhelp)
#include "tst_windowhelp.moc"
