// A window on the resizing panel, resized: its controls, and those in a
// frame on it, keep their places in proportion, the font follows the
// smaller factor (within three quarters and three times the design size),
// and all comes back at the design size.
#include "support/testmain.h"
#include "ui/elasticframe.h"
#include "ui/elasticpanel.h"

#include <QLineEdit>
#include <QtTest>

using namespace cvd;

class tst_elastic : public QObject {
    Q_OBJECT
private slots:
    void resizing_data()
    {
        QTest::addColumn<QSize>("size"); // of the window, in pixels; the design is 200 x 100
        QTest::addColumn<QRect>("boxAt");
        QTest::addColumn<QRect>("framedAt"); // in the frame
        QTest::addColumn<double>("points");
        QTest::newRow("twice") << QSize(400, 200) << QRect(40, 20, 200, 40) << QRect(20, 20, 80, 40) << 16.5;
        QTest::newRow("wider only") << QSize(400, 100) << QRect(40, 10, 200, 20) << QRect(20, 10, 80, 20) << 8.25;
        QTest::newRow("smaller") << QSize(180, 90) << QRect(18, 9, 90, 18) << QRect(9, 9, 36, 18) << 7.425;
        QTest::newRow("half, font bound") << QSize(100, 50) << QRect(10, 5, 50, 10) << QRect(5, 5, 20, 10) << 6.1875;
        QTest::newRow("four times, font bound") << QSize(800, 400) << QRect(80, 40, 400, 80) << QRect(40, 40, 160, 80) << 24.75;
    }
    void resizing()
    {
        ElasticPanel w(QSize(3000, 1500)); // twips: 200 x 100 pixels at 96 dpi
        auto* box = new QLineEdit;
        w.place(box, QRect(300, 150, 1500, 300));
        auto* frame = new ElasticFrame(QStringLiteral("Frame"), QSize(1200, 900));
        w.place(frame, QRect(1500, 600, 1200, 900));
        auto* framed = new QLineEdit;
        frame->place(framed, QRect(150, 150, 600, 300));
        QCOMPARE(w.sizeHint(), QSize(200, 100));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto shown = [&] {
            return QVariantList{frame->size(), box->geometry(), framed->geometry(), QString::number(box->font().pointSizeF()),
                                QString::number(framed->font().pointSizeF())};
        };
        const QVariantList design = shown();
        QCOMPARE(design, (QVariantList{QSize(80, 60), QRect(20, 10, 100, 20), QRect(10, 10, 40, 20), "8.25", "8.25"}));
        QFETCH(QSize, size);
        QFETCH(QRect, boxAt);
        QFETCH(QRect, framedAt);
        QFETCH(double, points);
        w.resize(size);
        QTRY_COMPARE(w.size(), size);
        QCOMPARE(shown().mid(1), (QVariantList{boxAt, framedAt, QString::number(points), QString::number(points)}));
        w.resize(200, 100);
        QTRY_COMPARE(shown(), design);
    }
};

CVD_TEST_MAIN(tst_elastic)
#include "tst_elastic.moc"
