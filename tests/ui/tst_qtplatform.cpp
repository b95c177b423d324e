// The program's own message and input boxes over Qt, as the user meets
// them: the buttons and icon each set of flags shows, the button that Enter
// and Escape press, and the answer each button gives back.
#include "ui/qtplatform.h"
#include "support/testmain.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QMetaEnum>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace cvd;

namespace {

// Runs `script` on the modal dialog T once it is up, inside the call that shows it.
template <class T> void onModal(const std::function<void(T&)>& script)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, script] {
        auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        script(*d);
    });
    poll->start(10);
}

} // namespace

class tst_qtplatform : public QObject {
    Q_OBJECT
private slots:
    // Each set of flags, each way out of its box: the buttons, the default
    // one and the icon shown, and the answer given (1 OK, 2 Cancel, 6 Yes, 7 No).
    void messageBox_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("press"); // a button's text, or Enter / Escape
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("answer");
        const QList<std::tuple<int, QString, QString>> boxes{
            {Mb::OkOnly, "OK OK NoIcon", "OK=1 Enter=1 Escape=1"},
            {Mb::OkOnly | Mb::Critical, "OK OK Critical", "OK=1"},
            {Mb::OkCancel | Mb::Exclamation, "Cancel|OK OK Warning", "OK=1 Cancel=2 Enter=1 Escape=2"},
            {Mb::YesNoCancel | Mb::Question, "Cancel|No|Yes Yes Question", "Yes=6 No=7 Cancel=2 Enter=6 Escape=2"},
            {Mb::YesNo | Mb::Information, "No|Yes Yes Information", "Yes=6 No=7 Enter=6 Escape=7"}};
        for (const auto& [flags, shown, presses] : boxes)
            for (const QString& p : presses.split(' '))
                QTest::addRow("%s, %s", qPrintable(shown), qPrintable(p)) << flags << p.section('=', 0, 0) << shown
                                                                        << p.section('=', 1).toInt();
    }
    // Over the hourglass the box shows the arrow; the hourglass comes back after it.
    void messageBox()
    {
        QFETCH(int, flags);
        QFETCH(QString, press);
        QtPlatform qt;
        qt.setPointer(Pointer::Hourglass);
        QString seen;
        onModal<QMessageBox>([&](QMessageBox& box) {
            QStringList texts; // the buttons', in the order of the alphabet
            for (QAbstractButton* b : box.buttons())
                texts << b->text().remove('&');
            texts.sort();
            seen = box.windowTitle() + ' ' + box.text() + ' ' + texts.join('|') + ' ' + box.defaultButton()->text().remove('&') + ' '
                + QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box.icon()) + ' ' + QString::number(QApplication::overrideCursor()->shape());
            if (press == "Enter" || press == "Escape")
                QTest::keyClick(&box, press == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            for (QAbstractButton* b : box.buttons())
                if (b->text().remove('&') == press)
                    b->click();
        });
        QFETCH(int, answer);
        QFETCH(QString, shown);
        QCOMPARE(int(qt.messageBox(QStringLiteral("Sure?"), flags)), answer);
        QCOMPARE(seen, "cvd Sure? " + shown + ' ' + QString::number(Qt::ArrowCursor));
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        qt.setPointer(Pointer::Default);
        QVERIFY(!QApplication::overrideCursor());
    }

    // The input box offers its default text; OK gives the typed text, Cancel the empty text.
    void inputBox()
    {
        QtPlatform qt;
        QString seen;
        for (bool ok : {true, false}) {
            onModal<QInputDialog>([&seen, ok](QInputDialog& d) {
                seen += d.windowTitle() + '|' + d.labelText() + '|' + d.textValue() + ' ';
                d.setTextValue(QStringLiteral("Zoë's"));
                ok ? d.accept() : d.reject();
            });
            seen += qt.inputBox(QStringLiteral("Name?"), QStringLiteral("Find"), QStringLiteral("Smith")) + '/';
        }
        QCOMPARE(seen, QStringLiteral("Find|Name?|Smith Zoë's/Find|Name?|Smith /"));
    }

    // The filter of a Save As dialog, as Qt takes it.
    void fileFilter()
    {
        QCOMPARE(qtFileFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*")) + '/' + qtFileFilter(QStringLiteral("Reports|*.txt;*.rpt")),
                 QStringLiteral("Text Files (*.txt);;All Files (*.*)/Reports (*.txt *.rpt)"));
    }
};

CVD_TEST_MAIN(tst_qtplatform)
#include "tst_qtplatform.moc"
