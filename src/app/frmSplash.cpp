#include "frmSplash.h"

#include "ui/HandlerGuard.h"
#include "ui/PanelFrame.h"
#include "ui/ResourcePaths.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QPointer>
#include <QStatusBar>

namespace convodesk::app {

namespace {

constexpr int startUpInterval = 2000;

struct SplashSettings {
    frmSplash::MainWindowLoader loader;
    int interval = startUpInterval;
    QPointer<frmSplash> loaded;
};

SplashSettings& settings() {
    static SplashSettings s;
    return s;
}

QWidget* mainWindow() {
    return settings().loader ? settings().loader() : nullptr;
}

} // namespace

void frmSplash::setMainWindowLoader(MainWindowLoader loader) {
    settings().loader = std::move(loader);
}

void frmSplash::setTimerInterval(int milliseconds) {
    settings().interval = milliseconds;
}

frmSplash* frmSplash::instance() {
    return settings().loaded;
}

frmSplash& frmSplash::load() {
    if (!settings().loaded)
        settings().loaded = new frmSplash;
    return *settings().loaded;
}

frmSplash::frmSplash() : artwork_(QStringLiteral(":/splash/splash.jpg")) {
    setObjectName(QStringLiteral("frmSplash"));
    // A blank, not an empty title: the window system would show the program name instead.
    setWindowTitle(QStringLiteral(" "));
    setWindowIcon(resources::programIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ui::twipsRect(0, 0, 9750, 5745).size());
    ui::paintBackground(*this, Qt::black);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(ui::twipsRect(0, 5490, 9750, 255));
    // A grey bar with a shaded top edge, not the window's black.
    const QPalette standard = QApplication::palette(StatusBar1);
    StatusBar1->setStyleSheet(
        QStringLiteral("QStatusBar { background-color: %1; border-top: 1px solid %2; }")
            .arg(standard.color(QPalette::Window).name(), standard.color(QPalette::Mid).name()));

    centreOnScreen();

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(settings().interval);
    // One hand-over at most: a failed one is not retried behind the operator's back.
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1.start();
}

frmSplash::~frmSplash() = default;

void frmSplash::showAtStartUp() {
    load().show();
}

void frmSplash::showAbout() {
    frmSplash& splash = load();
    splash.Timer1.stop();
    QWidget* main = mainWindow();
    splash.showOver(main);
    if (main)
        main->setEnabled(false);
}

void frmSplash::Timer1_Timer() {
    ui::runHandler([this] {
        mainWindow();
        Timer1.stop();
        hide();
    });
}

void frmSplash::closeEvent(QCloseEvent* event) {
    ui::runHandler([this] { Form_Unload(); });
    event->accept();
}

void frmSplash::Form_Unload() {
    Timer1.stop();
    // Closing the splash before the hand-over brings the main window up all the same.
    if (QWidget* main = mainWindow())
        giveMainWindowBack(main);
    hide();
}

void frmSplash::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(0, 0, artwork_);
}

} // namespace convodesk::app
