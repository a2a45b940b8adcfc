#include "fraMDI.h"

#include "ScreenWindow.h"
#include "frmMenu.h"
#include "frmSplash.h"
#include "modButton.h"
#include "ui/HandlerGuard.h"
#include "ui/ResourcePaths.h"
#include "ui/modGeneral.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

namespace convodesk::app {

namespace {

fraMDI* theMainWindow = nullptr;

const QColor clientBackground(128, 128, 128);

// The menu panel has no frame: it adds no controls to the menu bar and its (empty) title never
// joins the main window's. The screens are framed and titled: shown maximised, their controls
// sit in the menu bar and the title reads "main title - [screen title]".
const QString mainTitle = QStringLiteral("VELORAND Malaysia Convocation System (Kelmor Branch)");

constexpr Qt::WindowFlags panelFlags = Qt::SubWindow | Qt::FramelessWindowHint;

} // namespace

fraMDI::fraMDI(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fraMDI"));
    setWindowTitle(mainTitle);
    setWindowIcon(resources::programIcon());
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("mdiClient"));
    mdi_->setBackground(clientBackground);
    mdi_->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &fraMDI::showMainTitleUnlessMerged);
    buildMenus();
    // Ctrl+F4, the usual key of multiple-document programs, and the platform's close key
    // close the active screen.
    QList<QKeySequence> closeKeys{QKeySequence(Qt::CTRL | Qt::Key_F4)};
    for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Close))
        if (!closeKeys.contains(keys))
            closeKeys << keys;
    for (const QKeySequence& keys : closeKeys)
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &fraMDI::closeActiveScreen);
    if (!theMainWindow)
        theMainWindow = this;
}

fraMDI::~fraMDI() {
    // The children go after this object has stopped being a main window: no more calls here.
    mdi_->disconnect(this);
    for (const QPointer<ScreenWindow>& sub : screens_)
        if (sub)
            sub->disconnect(this);
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
        menuWindow_ = mdi_->addSubWindow(panel, panelFlags);
        // The panel stays: no system menu, so Ctrl+F4 (which closes the active screen) or
        // Ctrl+W do not close it.
        menuWindow_->setSystemMenu(nullptr);
        menuWindow_->setFixedSize(panel->size());
        panel->Form_Initialize(*clientArea(), *menuWindow_);
        menuWindow_->show();
        panel->setFocus(Qt::OtherFocusReason);
    });
}

QWidget* fraMDI::showScreen(const QString& name, const std::function<QWidget*()>& create,
                            const std::function<void(QWidget&)>& load) {
    QPointer<ScreenWindow>& sub = screens_[name];
    if (!sub || !sub->widget()) {
        auto* window = new ScreenWindow(create());
        sub = window;
        window->setWindowIcon(windowIcon());
        mdi_->addSubWindow(window);
        connect(window, &QMdiSubWindow::windowStateChanged, this, &fraMDI::screenStateChanged);
        connect(window, &ScreenWindow::closed, this, &fraMDI::activateTopWindow);
        // Restoring shows the screen in its own frame at its design size.
        window->resize(window->designSize());
        QWidget& form = *window->widget();
        try {
            load(form);
        } catch (...) {
            // The screen is shown all the same, as its load left it; the focus step is skipped.
            bringToFront(*window, true);
            throw;
        }
        bringToFront(*window, true);
    } else {
        // An open screen comes to the front as it is, maximised if the others in view are; a
        // minimised one comes back maximised unless the others in view are not.
        bool othersMaximised = false;
        bool othersRestored = false;
        for (const QMdiSubWindow* other : otherScreens(sub)) {
            if (other->isMinimized())
                continue;
            othersMaximised = othersMaximised || other->isMaximized();
            othersRestored = othersRestored || !other->isMaximized();
        }
        bringToFront(*sub, sub->isMinimized() ? !othersRestored : othersMaximised);
    }
    sub->widget()->setFocus(Qt::OtherFocusReason);
    return sub->widget();
}

void fraMDI::bringToFront(QMdiSubWindow& sub, bool maximised) {
    if (maximised)
        sub.showMaximized();
    else if (sub.isMinimized())
        sub.showNormal();
    else
        sub.show();
    sub.raise();
    mdi_->setActiveSubWindow(&sub);
}

QWidget* fraMDI::openScreen(const QString& name) const {
    const QPointer<ScreenWindow> sub = screens_.value(name);
    return sub ? sub->widget() : nullptr;
}

QMdiSubWindow* fraMDI::lastUsedWindow(const QMdiSubWindow* leaving) const {
    // As multiple-document programs do: the screen used last before the one that goes (closed
    // or minimised) becomes active; with no screen left in view, the panel.
    const QList<QMdiSubWindow*> used = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = used.rbegin(); it != used.rend(); ++it)
        if (*it != leaving && *it != menuWindow_ && (*it)->isVisible() && !(*it)->isMinimized() &&
            (*it)->widget())
            return *it;
    return menuWindow_ && mdi_->subWindowList().contains(menuWindow_) ? menuWindow_.data() : nullptr;
}

void fraMDI::activateTopWindow(QMdiSubWindow* closing) {
    // While the main window closes, its children go one by one: nothing is left to activate.
    if (closing_)
        return;
    // Qt would hand the keyboard on to the next control, often the panel's.
    if (QMdiSubWindow* next = lastUsedWindow(closing)) {
        next->raise();
        mdi_->setActiveSubWindow(next);
    }
    showMainTitleUnlessMerged();
}

void fraMDI::giveKeyboardAway(QMdiSubWindow* minimised) {
    // Qt makes another window active but leaves the keyboard in the minimised one: a scan
    // would be typed into a window nobody sees. The window that is active now gets it, as
    // showing its screen would give it.
    if (closing_ || !minimised || !minimised->isMinimized())
        return;
    QMdiSubWindow* next = mdi_->activeSubWindow();
    if (!next || next == minimised || next->isMinimized())
        next = lastUsedWindow(minimised);
    if (!next)
        return;
    if (next != mdi_->activeSubWindow()) {
        next->raise();
        mdi_->setActiveSubWindow(next);
    }
    if (QWidget* content = next->widget())
        content->setFocus(Qt::OtherFocusReason);
    showMainTitleUnlessMerged();
}

void fraMDI::screenStateChanged(Qt::WindowStates before, Qt::WindowStates now) {
    auto* screen = qobject_cast<QMdiSubWindow*>(sender());
    const bool active = screen && screen == mdi_->activeSubWindow();
    // Screens are maximised together, as in multiple-document programs: restoring one restores
    // the others (a maximised screen left under it would keep its title in the main window's).
    const bool restored =
        (before & Qt::WindowMaximized) && !(now & (Qt::WindowMaximized | Qt::WindowMinimized));
    if (restored) {
        for (QMdiSubWindow* other : otherScreens(screen))
            if (other->isMaximized())
                other->showNormal();
        if (active && mdi_->activeSubWindow() != screen) {
            screen->raise();
            mdi_->setActiveSubWindow(screen);
        }
    }
    const bool sizeChanged = (before ^ now) & (Qt::WindowMaximized | Qt::WindowMinimized);
    if (sizeChanged && !(now & Qt::WindowMinimized) && active) {
        // After Qt has finished the change (and moved the keyboard to the first control).
        QTimer::singleShot(0, this, [window = QPointer<ScreenWindow>(qobject_cast<ScreenWindow*>(screen))] {
            if (window && window->mdiArea() && window->mdiArea()->activeSubWindow() == window)
                window->restoreKeyboard();
        });
    }
    if ((now & Qt::WindowMinimized) && !(before & Qt::WindowMinimized)) {
        // After Qt has finished the minimising (and chosen the window it activates).
        QTimer::singleShot(0, this,
                           [this, window = QPointer<QMdiSubWindow>(screen)] { giveKeyboardAway(window); });
    }
    showMainTitleUnlessMerged();
}

QList<QMdiSubWindow*> fraMDI::otherScreens(const QMdiSubWindow* screen) const {
    QList<QMdiSubWindow*> others;
    for (const QPointer<ScreenWindow>& sub : screens_)
        if (sub && sub != screen && sub->widget() && sub->isVisible())
            others << sub;
    return others;
}

void fraMDI::closeActiveScreen() {
    QMdiSubWindow* active = mdi_->activeSubWindow();
    if (active && active != menuWindow_)
        active->close();
}

void fraMDI::showMainTitleUnlessMerged() {
    // Qt merges the title of an active maximised screen into the main window's, but leaves
    // the merged title behind when that screen is restored or another window becomes active.
    QMdiSubWindow* active = mdi_->activeSubWindow();
    if (active && active != menuWindow_ && active->isMaximized())
        return;
    if (windowTitle() != mainTitle)
        setWindowTitle(mainTitle);
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
    closing_ = true;
    mdi_->closeAllSubWindows();
    event->accept();
    QCoreApplication::exit(0);
}

} // namespace convodesk::app
