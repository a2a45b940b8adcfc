#include "app/frmSplash.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QStatusBar>
#include <QTest>
#include <memory>

using convodesk::app::frmSplash;

class SplashTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> main_;
    int loads_ = 0;

private slots:
    void init() {
        main_.reset();
        loads_ = 0;
        frmSplash::setTimerInterval(20);
        frmSplash::setMainWindowLoader([this]() -> QWidget* {
            ++loads_;
            if (!main_) {
                main_ = std::make_unique<QWidget>();
                main_->show();
            }
            return main_.get();
        });
    }
    void cleanup() {
        delete frmSplash::instance();
        main_.reset();
    }

    void windowLayout() {
        frmSplash& splash = frmSplash::load();
        QCOMPARE(splash.size(), QSize(650, 383));
        QVERIFY(splash.windowFlags() & Qt::Tool);
        QVERIFY(!(splash.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(splash.windowTitle().trimmed().isEmpty());
        auto* bar = splash.findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
        QVERIFY(bar);
        QCOMPARE(bar->geometry(), QRect(0, 366, 650, 17));
        QVERIFY(bar->currentMessage().isEmpty());
        QVERIFY(splash.timerEnabled());
        const QImage shown = splash.grab().toImage();
        QVERIFY(shown.pixelColor(300, 100) != QColor(Qt::black)); // the artwork is drawn
        // The status bar is a grey strip with a shaded top edge, not the window's black.
        const QPalette standard = QApplication::palette(bar);
        QCOMPARE(shown.pixel(300, 374), standard.color(QPalette::Window).rgb());
        QCOMPARE(shown.pixel(300, 366), standard.color(QPalette::Mid).rgb());
        QVERIFY(standard.color(QPalette::Window) != QColor(Qt::black));
    }

    void handsOverExactlyOnce() {
        frmSplash::showAtStartUp();
        QPointer<frmSplash> splash = frmSplash::instance();
        QVERIFY(splash->isVisible());
        QCOMPARE(loads_, 0);
        QTRY_COMPARE(loads_, 1);
        QVERIFY(splash && !splash->isVisible()); // hidden, not destroyed
        QVERIFY(!splash->timerEnabled());
        QTest::qWait(100);
        QCOMPARE(loads_, 1);
        QVERIFY(main_->isVisible() && main_->isEnabled());
    }

    void closingEarlyStillBringsTheMainWindow() {
        frmSplash::showAtStartUp();
        QPointer<frmSplash> splash = frmSplash::instance();
        splash->close();
        QVERIFY(main_ && main_->isVisible() && main_->isEnabled());
        QTRY_VERIFY(!splash);
        const int loadsAfterClose = loads_;
        QTest::qWait(100); // no hand-over afterwards
        QCOMPARE(loads_, loadsAfterClose);
    }

    void aboutBoxThreeTimes() {
        frmSplash::showAtStartUp();
        QTRY_VERIFY(main_ != nullptr);
        auto* edit = new QLineEdit(main_.get());
        edit->show();
        for (int round = 0; round < 3; ++round) {
            frmSplash::showAbout();
            QPointer<frmSplash> about = frmSplash::instance();
            QVERIFY(about->isVisible());
            QVERIFY(!about->timerEnabled());
            QVERIFY(!main_->isEnabled());
            QVERIFY(about->isEnabled());
            // Input to the main window is ignored while the About box is open.
            QTest::keyClicks(edit, QStringLiteral("x"));
            QTest::mouseClick(edit, Qt::LeftButton);
            QCOMPARE(edit->text(), QString());
            QTest::qWait(80); // longer than the timer interval: it never hides itself
            QVERIFY(about->isVisible());
            about->close();
            QVERIFY(main_->isEnabled());
            QTRY_VERIFY(!about); // destroyed; the next About creates a fresh window
        }
        QTest::keyClicks(edit, QStringLiteral("x"));
        QCOMPARE(edit->text(), QStringLiteral("x"));
    }

    // The splash is centred on the screen, and the window manager placing it elsewhere while
    // it takes the new window over (as on a fresh display) does not leave it there.
    void staysCentredWhileTheWindowSystemSettles() {
        frmSplash::setTimerInterval(5000);
        frmSplash::showAtStartUp();
        frmSplash* splash = frmSplash::instance();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        const QPoint centre = splash->screen()->availableGeometry().center();
        const auto centred = [&] {
            const QPoint off = splash->frameGeometry().center() - centre;
            return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
        };
        QTRY_VERIFY(centred());
        splash->move(splash->pos() + QPoint(40, 500)); // its lower part off the screen
        QTRY_VERIFY(centred());
        splash->move(splash->pos() + QPoint(-30, 0));
        QTRY_VERIFY(centred());
    }
};

QTEST_MAIN(SplashTest)
#include "tst_splash.moc"
