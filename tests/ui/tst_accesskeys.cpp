// Access keys on any window, the rule installed once for the program: a
// shown, enabled button takes its key; the key of a hidden or disabled
// button, or a key that no button owns, only beeps and never reaches the box
// with the focus; menus keep their own letters.
#include "support/scriptedplatform.h"
#include "support/testmain.h"
#include "ui/accesskeys.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace cvd;

class tst_AccessKeys : public QObject {
    Q_OBJECT
    std::unique_ptr<test::ScriptedPlatform> p;
    std::unique_ptr<QMainWindow> w;
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
        w = std::make_unique<QMainWindow>();
        auto* list = new QComboBox;
        list->addItems({QStringLiteral("Apple"), QStringLiteral("Hazel"), QStringLiteral("Dates")});
        boxes = {new QLineEdit(QStringLiteral("text")), new QPlainTextEdit(QStringLiteral("memo")), list};
        auto* lay = new QVBoxLayout(new QWidget);
        for (const char* name : {"&Shown", "&Hidden", "&Disabled"}) {
            auto* b = new QPushButton(QString::fromLatin1(name));
            connect(b, &QPushButton::clicked, w.get(), [this, b] { clicked << b->text(); });
            boxes << b;
        }
        for (QWidget* c : std::as_const(boxes))
            lay->addWidget(c);
        boxes[4]->hide();
        boxes[5]->setEnabled(false);
        w->setCentralWidget(lay->parentWidget());
        QAction* item = w->menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Hello"));
        connect(item, &QAction::triggered, w.get(), [this] { clicked << QStringLiteral("menu"); });
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        clicked.clear();
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
        QVERIFY(QTest::qWaitFor([c] { return c->hasFocus(); }));
        QTest::keyClick(c, Qt::Key_End);
        const QString before = contents();
        QTest::keyClick(c, Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(this->clicked.join(','), clicked);
        QCOMPARE(contents(), before + clicked);
        QCOMPARE(p->beeps, clicked.isEmpty() ? 1 : 0);
        QTest::keyClick(c, Qt::Key_H); // letters without Alt are typed as ever
        QVERIFY(contents() != before + clicked);
    }

    // The menu bar opens by its access key; in the open menu the item's
    // letter, with Alt or without, chooses it.
    void menus()
    {
        boxes[0]->setFocus();
        QTest::keyClick(boxes[0], Qt::Key_F, Qt::AltModifier);
        QMenu* menu = w->menuBar()->actions().first()->menu();
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(clicked, QStringList{QStringLiteral("menu")});
        QCOMPARE(contents(), QStringLiteral("text|memo|Apple|menu"));
        QCOMPARE(p->beeps, 0);
    }
};

CVD_TEST_MAIN(tst_AccessKeys)
#include "tst_accesskeys.moc"
