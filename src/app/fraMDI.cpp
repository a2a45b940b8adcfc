#include "fraMDI.h"

#include "HandlerGuard.h"
#include "ResourcePaths.h"
#include "frmMenu.h"
#include "frmSplash.h"
#include "modButton.h"
#include "modGeneral.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace convodesk::app {

namespace {

fraMDI* theMainWindow = nullptr;

const QColor clientBackground(128, 128, 128);

// Children without a frame add no controls to the menu bar and their title does not join
// the main window's title.
constexpr Qt::WindowFlags childFlags = Qt::SubWindow | Qt::FramelessWindowHint;

} // namespace

fraMDI::fraMDI(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fraMDI"));
    setWindowTitle(QStringLiteral("VELORAND Malaysia Convocation System (Kelmor Branch)"));
    setWindowIcon(resources::programIcon());
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("mdiClient"));
    mdi_->setBackground(clientBackground);
    mdi_->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(mdi_);
    buildMenus();
    if (!theMainWindow)
        theMainWindow = this;
}

fraMDI::~fraMDI() {
    if (theMainWindow == this)
        theMainWindow = nullptr;
}

fraMDI* fraMDI::instance() {
    return theMainWindow;
}

QWidget* fraMDI::clientArea() const {
    return mdi_->viewport();
}

frmMenu* fraMDI::menuPanel() const {
    return menuWindow_ ? qobject_cast<frmMenu*>(menuWindow_->widget()) : nullptr;
}

void fraMDI::buildMenus() {
    menuBar()->setNativeMenuBar(false);

    QMenu* file = addMenu("mnuFile", QStringLiteral("&File"));
    addEntry(file, "mnuExit", QStringLiteral("E&xit"));

    QAction* home = addEntry(menuBar(), "mnuHome", QStringLiteral("Ho&me"));
    connect(home, &QAction::triggered, this, &fraMDI::mnuHome_Click);

    QMenu* database = addMenu("mnuDB", QStringLiteral("&Database"));
    addEntry(database, "mnuGMDB", QStringLiteral("Connect to VELORAND Database"));
    QAction* access = addEntry(database, "mnuAccess", QStringLiteral("View Tassel Database: MS Access"));
    connect(access, &QAction::triggered, this, &fraMDI::mnuAccess_Click);
    addEntry(database, "mnuManageData", QStringLiteral("Manage Data: Add/Edit/Delete"));

    QAction* search = addEntry(menuBar(), "mnuSearch", QStringLiteral("&Search"));
    connect(search, &QAction::triggered, this, &fraMDI::mnuSearch_Click);
    addEntry(menuBar(), "mnuCustomize", QStringLiteral("&Customize"));
    addEntry(menuBar(), "mnuRecord", QStringLiteral("&Recorder"));

    QMenu* print = addMenu("mnuPrint", QStringLiteral("&Print"));
    addEntry(print, "mnuBarcode", QStringLiteral("Generate Barcode Ticket"));
    addEntry(print, "mnuGradList", QStringLiteral("Print Graduate List"));

    QMenu* help = addMenu("mnuHelp", QStringLiteral("&Help"));
    addEntry(help, "mnuTechSupport", QStringLiteral("Technical Support"));
    QAction* about = addEntry(help, "mnuAbout", QStringLiteral("&About VELORAND Convocation System..."));
    connect(about, &QAction::triggered, this, &fraMDI::mnuAbout_Click);
}

QMenu* fraMDI::addMenu(const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* fraMDI::addEntry(QWidget* owner, const char* name, const QString& caption) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    owner->addAction(action);
    return action;
}

void fraMDI::showAndLoad() {
    // Without a window manager "maximised" is only a flag: give the window the screen first.
    if (QScreen* s = screen())
        setGeometry(s->availableGeometry());
    showMaximized();
    activateWindow();
    // The panel is centred in the client area as it is when created: let the window system
    // settle the maximised size first (bounded, for systems that never expose the window).
    QElapsedTimer clock;
    clock.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    QCoreApplication::processEvents();
    MDIForm_Load();
}

void fraMDI::MDIForm_Load() {
    ui::runHandler([this] {
        if (menuWindow_)
            return;
        auto* panel = new frmMenu;
        menuWindow_ = mdi_->addSubWindow(panel, childFlags);
        menuWindow_->setFixedSize(panel->size());
        panel->Form_Initialize(*clientArea(), *menuWindow_);
        menuWindow_->show();
        panel->setFocus(Qt::OtherFocusReason);
    });
}

QWidget* fraMDI::showScreen(const QString& name, const std::function<QWidget*()>& create,
                            const std::function<void(QWidget&)>& load) {
    QPointer<QMdiSubWindow>& sub = screens_[name];
    if (!sub) {
        QWidget* form = create();
        sub = mdi_->addSubWindow(form, childFlags);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->setGeometry(clientArea()->rect());
        load(*form);
    }
    sub->showMaximized();
    sub->raise();
    mdi_->setActiveSubWindow(sub);
    sub->widget()->setFocus(Qt::OtherFocusReason);
    return sub->widget();
}

QWidget* fraMDI::openScreen(const QString& name) const {
    const QPointer<QMdiSubWindow> sub = screens_.value(name);
    return sub ? sub->widget() : nullptr;
}

void fraMDI::mnuHome_Click() {
    ui::runHandler(ShowHome);
}

void fraMDI::mnuAccess_Click() {
    ui::runHandler(ShowDatabase);
}

void fraMDI::mnuSearch_Click() {
    ui::runHandler(ShowSearch);
}

void fraMDI::mnuAbout_Click() {
    ui::runHandler(frmSplash::showAbout);
}

void fraMDI::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        keepMaximised();
}

void fraMDI::keepMaximised() {
    const Qt::WindowStates state = windowState();
    if (!(state & Qt::WindowMinimized) && (state & Qt::WindowMaximized))
        return;
    // Not from inside the state notification itself.
    QTimer::singleShot(0, this, [this] {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        show();
    });
}

void fraMDI::closeEvent(QCloseEvent* event) {
    mdi_->closeAllSubWindows();
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace convodesk::app
