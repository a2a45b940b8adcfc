// Centring in twips, the twips-to-pixels rule and the timed wait.
#include "ui/Twips.h"
#include "ui/modGeneral.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <limits>

using namespace convodesk::ui;

class tst_placement : public QObject {
    Q_OBJECT
private slots:
    void centredPosition_data();
    void centredPosition();
    void twipsToPixels_data();
    void twipsToPixels();
    void centreFrameKeepsHalfTwipsAndSize();
    void centreFormNegativeAndNotRecentred();
    void waitReturnsAtOnceForNothing_data();
    void waitReturnsAtOnceForNothing();
    void waitTakesAtLeastTheTimeAndProcessesEvents();
    void waitRunsNestedHandlersToTheirEnd();
};

void tst_placement::centredPosition_data() {
    QTest::addColumn<float>("parentWidth");
    QTest::addColumn<float>("parentHeight");
    QTest::addColumn<float>("childWidth");
    QTest::addColumn<float>("childHeight");
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("left");
    QTest::newRow("home panel in the design client area")
        << 12855.f << 6915.f << 10935.f << 5850.f << 532.5f << 960.f;
    QTest::newRow("exactly as large") << 9135.f << 5850.f << 9135.f << 5850.f << 0.f << 0.f;
    QTest::newRow("wider than the parent") << 9000.f << 6000.f << 9135.f << 5850.f << 75.f << -67.5f;
    QTest::newRow("taller than the parent") << 12000.f << 5000.f << 9135.f << 5850.f << -425.f << 1432.5f;
}

void tst_placement::centredPosition() {
    QFETCH(float, parentWidth);
    QFETCH(float, parentHeight);
    QFETCH(float, childWidth);
    QFETCH(float, childHeight);
    QFETCH(float, top);
    QFETCH(float, left);
    const TwipsPosition at =
        convodesk::ui::centredPosition(parentWidth, parentHeight, childWidth, childHeight);
    QCOMPARE(at.top, top);
    QCOMPARE(at.left, left);
}

void tst_placement::twipsToPixels_data() {
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("just under half") << 7.4 << 0;
    QTest::newRow("half rounds up") << 7.5 << 1;
    QTest::newRow("minus half rounds away from zero") << -7.5 << -1;
    QTest::newRow("panel width") << 9135.0 << 609;
    QTest::newRow("half-twip top") << 532.5 << 36;
    QTest::newRow("80.5 pixels") << 1207.5 << 81;
    QTest::newRow("negative left") << -67.5 << -5;
}

void tst_placement::twipsToPixels() {
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(convodesk::ui::twipsToPixels(twips), pixels);
}

void tst_placement::centreFrameKeepsHalfTwipsAndSize() {
    QWidget client;
    client.resize(twipsRect(0, 0, 12855, 6915).size());
    QWidget form;
    QWidget frame(&form);
    frame.setGeometry(twipsRect(240, 240, 10935, 5850));
    CenterFrame(client, frame);
    QCOMPARE(placedTwips(frame).top, 532.5f);
    QCOMPARE(placedTwips(frame).left, 960.f);
    QCOMPARE(frame.geometry(), QRect(64, 36, 729, 390));
}

void tst_placement::centreFormNegativeAndNotRecentred() {
    QWidget client;
    client.resize(600, 400); // 9000 x 6000 twips
    QWidget child(&client);
    child.resize(609, 390);
    CenterForm(client, child);
    QCOMPARE(placedTwips(child).left, -67.5f);
    QCOMPARE(placedTwips(child).top, 75.f);
    QCOMPARE(child.pos(), QPoint(-5, 5));
    client.resize(1000, 800);
    QCOMPARE(child.pos(), QPoint(-5, 5));
}

void tst_placement::waitReturnsAtOnceForNothing_data() {
    QTest::addColumn<double>("seconds");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -1.0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
}

void tst_placement::waitReturnsAtOnceForNothing() {
    QFETCH(double, seconds);
    bool ran = false;
    QTimer::singleShot(0, this, [&ran] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    WaitSeconds(seconds);
    QVERIFY(clock.elapsed() < 20);
    QVERIFY2(!ran, "no events are processed");
    QTRY_VERIFY(ran);
}

void tst_placement::waitTakesAtLeastTheTimeAndProcessesEvents() {
    QLineEdit edit;
    QCoreApplication::postEvent(
        &edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")));
    bool timerRan = false;
    QTimer::singleShot(50, this, [&] {
        timerRan = true;
        QCoreApplication::postEvent(
            &edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b")));
    });
    QElapsedTimer clock;
    clock.start();
    WaitSeconds(0.1);
    QVERIFY2(clock.nsecsElapsed() >= 100'000'000, qPrintable(QString::number(clock.nsecsElapsed())));
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(timerRan);
    QCOMPARE(edit.text(), QStringLiteral("ab"));
}

void tst_placement::waitRunsNestedHandlersToTheirEnd() {
    QStringList steps;
    QTimer::singleShot(20, this, [&] {
        steps << QStringLiteral("inner start");
        WaitSeconds(0.1);
        steps << QStringLiteral("inner end");
    });
    WaitSeconds(0.05);
    steps << QStringLiteral("outer end");
    QCOMPARE(steps, (QStringList{"inner start", "inner end", "outer end"}));
}

QTEST_MAIN(tst_placement)
#include "tst_placement.moc"
