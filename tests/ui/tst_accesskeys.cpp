// Access keys on any window: a shown, enabled button takes its key; the key
// of a hidden or disabled button, or a key that no button owns, only beeps
// and never reaches the box with the focus; menus keep their own letters.
#include "support/scriptedplatform.h"
#include "support/testmain.h"
#include "ui/accesskeys.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

class tst_AccessKeys : public QObject {
    Q_OBJECT

    struct Window {
        QMainWindow w;
        QLineEdit* line = new QLineEdit(QStringLiteral("text"));
        QPlainTextEdit* memo = new QPlainTextEdit(QStringLiteral("memo"));
        QComboBox* list = new QComboBox;
        QPushButton* shown = new QPushButton(QStringLiteral("&Shown"));
        QPushButton* hidden = new QPushButton(QStringLiteral("&Hidden"));
        QPushButton* disabled = new QPushButton(QStringLiteral("&Disabled"));
        QAction* item = nullptr;
        QStringList clicked;
        Window()
        {
            guardAccessKeys();
            auto* panel = new QWidget;
            auto* lay = new QVBoxLayout(panel);
            list->addItems({QStringLiteral("Apple"), QStringLiteral("Hazel"), QStringLiteral("Dates")});
            for (QWidget* c : std::initializer_list<QWidget*>{line, memo, list, shown, hidden, disabled})
                lay->addWidget(c);
            for (QPushButton* b : {shown, hidden, disabled})
                connect(b, &QPushButton::clicked, &w, [this, b] { clicked << b->text(); });
            hidden->hide();
            disabled->setEnabled(false);
            w.setCentralWidget(panel);
            QMenu* menu = w.menuBar()->addMenu(QStringLiteral("&File"));
            item = menu->addAction(QStringLiteral("&Hello"));
            connect(item, &QAction::triggered, &w, [this] { clicked << QStringLiteral("menu"); });
            w.show();
            w.activateWindow();
            if (!QTest::qWaitForWindowActive(&w))
                qWarning("the window did not become active");
        }
        QString contents() const
        {
            return line->text() + '|' + memo->toPlainText() + '|' + list->currentText() + '|' + clicked.join(',');
        }
    };

private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<int>("beeps");
        for (const char* focus : {"line", "memo", "list"}) {
            const QString f = QString::fromLatin1(focus);
            QTest::newRow(qPrintable(f + ", hidden button")) << f << int(Qt::Key_H) << "" << 1;
            QTest::newRow(qPrintable(f + ", disabled button")) << f << int(Qt::Key_D) << "" << 1;
            QTest::newRow(qPrintable(f + ", no button")) << f << int(Qt::Key_A) << "" << 1;
            QTest::newRow(qPrintable(f + ", a digit")) << f << int(Qt::Key_7) << "" << 1;
            QTest::newRow(qPrintable(f + ", shown button")) << f << int(Qt::Key_S) << "&Shown" << 0;
        }
    }
    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, clicked);
        QFETCH(int, beeps);
        ScriptedPlatform p;
        Window win;
        QWidget* c = focus == "line" ? static_cast<QWidget*>(win.line) : focus == "memo" ? static_cast<QWidget*>(win.memo) : win.list;
        c->setFocus();
        QVERIFY(QTest::qWaitFor([c] { return c->hasFocus(); }));
        QTest::keyClick(c, Qt::Key_End);
        const QString before = win.contents();
        QTest::keyClick(c, Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(win.clicked.join(','), clicked);
        QCOMPARE(win.contents(), before + clicked);
        QCOMPARE(p.beeps, beeps);
        // Letters without Alt are typed as ever.
        QTest::keyClick(c, Qt::Key_H);
        QVERIFY(win.contents() != before + clicked);
    }

    // The menu bar opens by its access key; in the open menu the item's
    // letter, with Alt or without, chooses it.
    void menus()
    {
        ScriptedPlatform p;
        Window win;
        win.line->setFocus();
        QTest::keyClick(win.line, Qt::Key_F, Qt::AltModifier);
        QMenu* menu = win.w.menuBar()->actions().first()->menu();
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(win.clicked, QStringList{QStringLiteral("menu")});
        QCOMPARE(win.line->text(), QStringLiteral("text"));
        QCOMPARE(p.beeps, 0);
    }
};

CVD_TEST_MAIN(tst_AccessKeys)
#include "tst_accesskeys.moc"
