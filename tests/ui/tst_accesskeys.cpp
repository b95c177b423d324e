// Access keys on any window, the rule installed once for the program: a
// shown, enabled button takes its key; the key of a hidden or disabled
// button, or a key that no button owns, only beeps and never reaches the box
// with the focus.
#include "support/scriptedplatform.h"
#include "support/testmain.h"
#include "ui/accesskeys.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;

class tst_AccessKeys : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ScriptedPlatform> p;
    std::unique_ptr<QWidget> w;
    QList<QWidget*> boxes; // a line, a memo, a list
    QStringList clicked;

    QString contents() const
    {
        return qobject_cast<QLineEdit*>(boxes[0])->text() + '|' + qobject_cast<QPlainTextEdit*>(boxes[1])->toPlainText() + '|'
            + qobject_cast<QComboBox*>(boxes[2])->currentText() + '|' + clicked.join(',');
    }

private slots:
    void init()
    {
        p = std::make_unique<test::ScriptedPlatform>();
        guardAccessKeys();
        w = std::make_unique<QWidget>();
        clicked.clear();
        auto* list = new QComboBox(w.get()); // the boxes lie over each other: only the keyboard is used
        list->addItems({QStringLiteral("Apple"), QStringLiteral("Hazel"), QStringLiteral("Dates")});
        boxes = {new QLineEdit(QStringLiteral("text"), w.get()), new QPlainTextEdit(QStringLiteral("memo"), w.get()), list};
        for (const char* name : {"&Shown", "&Hidden", "&Disabled"}) {
            auto* b = new QPushButton(QString::fromLatin1(name), w.get());
            connect(b, &QPushButton::clicked, w.get(), [this, b] { clicked << b->text(); });
            boxes << b;
        }
        boxes[4]->hide();
        boxes[5]->setEnabled(false);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void cleanup() { w.reset(); p.reset(); }

    void keys_data()
    {
        QTest::addColumn<int>("focus"); // the line, the memo, the list
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("clicked");
        for (int focus : {0, 1, 2}) {
            QTest::addRow("%d, hidden button", focus) << focus << int(Qt::Key_H) << "";
            QTest::addRow("%d, disabled button", focus) << focus << int(Qt::Key_D) << "";
            QTest::addRow("%d, no button", focus) << focus << int(Qt::Key_A) << "";
            QTest::addRow("%d, a digit", focus) << focus << int(Qt::Key_7) << "";
            QTest::addRow("%d, shown button", focus) << focus << int(Qt::Key_S) << "&Shown";
        }
    }
    void keys()
    {
        QFETCH(int, focus);
        QFETCH(int, key);
        QFETCH(QString, clicked);
        QWidget* c = boxes[focus];
        c->setFocus();
        QTRY_VERIFY(c->hasFocus());
        QTest::keyClick(c, Qt::Key_End);
        const QString before = contents();
        QTest::keyClick(c, Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(this->clicked.join(','), clicked);
        QCOMPARE(contents(), before + clicked);
        QCOMPARE(p->beeps, clicked.isEmpty() ? 1 : 0);
        QTest::keyClick(c, Qt::Key_H); // letters without Alt are typed as ever
        QVERIFY(contents() != before + clicked);
    }
};

CVD_TEST_MAIN(tst_AccessKeys)
#include "tst_accesskeys.moc"
