#pragma once

#include "ScreenWindow.h"

#include <QHash>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <functional>

class QMdiArea;
class QMenu;

namespace convodesk::app {

class frmMenu;

// The main window: a multiple-document frame with the menu bar. It stays maximised, holds the
// menu panel and the screens as child windows (one instance each), and closing it ends the
// program.
class fraMDI : public QMainWindow {
    Q_OBJECT
public:
    explicit fraMDI(QWidget* parent = nullptr);
    ~fraMDI() override;

    // The one main window of the program (null before it is created).
    static fraMDI* instance();

    // Shows the window maximised over the whole screen, active, then loads the menu panel.
    void showAndLoad();

    // The client area the children are laid out in.
    QMdiArea* mdiArea() const { return mdi_; }
    QWidget* clientArea() const;
    frmMenu* menuPanel() const;

    // Shows the one instance of a screen in a framed, titled child window: created by `create`,
    // loaded by `load` and shown maximised when it is not open, brought to the front otherwise,
    // then given the focus. A failure in `load` leaves the call after the screen is shown, before
    // the focus is given. Closing the screen's window unloads it; the next call creates it anew.
    QWidget* showScreen(const QString& name, const std::function<QWidget*()>& create,
                        const std::function<void(QWidget&)>& load);
    // The open screen of that name, or null.
    QWidget* openScreen(const QString& name) const;

public slots:
    // Closes the active screen (never the menu panel).
    void closeActiveScreen();

public slots:
    void MDIForm_Load();
    void mnuHome_Click();
    void mnuAccess_Click();
    void mnuSearch_Click();
    void mnuAbout_Click();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QMenu* addMenu(const char* name, const QString& caption);
    QAction* addEntry(QWidget* owner, const char* name, const QString& caption);
    void keepMaximised();
    void bringToFront(QMdiSubWindow& sub, bool maximised);
    void showMainTitleUnlessMerged();
    // The window that becomes active when `leaving` goes: the screen used last, else the panel.
    QMdiSubWindow* lastUsedWindow(const QMdiSubWindow* leaving) const;
    void activateTopWindow(QMdiSubWindow* closing);
    void giveKeyboardAway(QMdiSubWindow* minimised);
    void screenStateChanged(Qt::WindowStates before, Qt::WindowStates now);
    QList<QMdiSubWindow*> otherScreens(const QMdiSubWindow* screen) const;

    QMdiArea* mdi_ = nullptr;
    QPointer<QMdiSubWindow> menuWindow_;
    QHash<QString, QPointer<ScreenWindow>> screens_;
    bool closing_ = false;
};

} // namespace convodesk::app
