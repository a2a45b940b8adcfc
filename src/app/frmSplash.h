#pragma once

#include "ui/DialogWindow.h"

#include <QTimer>
#include <functional>

class QStatusBar;

namespace convodesk::app {

// The splash window the program starts with, which is also the About box. At start-up its
// timer hands over to the main window once; as the About box it is shown with the timer off
// while the main window is disabled, and closing it gives the main window back.
class frmSplash : public ui::DialogWindow {
    Q_OBJECT
public:
    // Returns the main window, creating and loading it first if it is not there yet.
    using MainWindowLoader = std::function<QWidget*()>;
    static void setMainWindowLoader(MainWindowLoader loader);
    // The timer interval of windows created from now on (2000 ms unless a test changes it).
    static void setTimerInterval(int milliseconds);

    // The loaded splash window, or null.
    static frmSplash* instance();
    // The loaded splash window, created (with its timer running) if there is none.
    static frmSplash& load();

    // Start-up: create the splash and show it centred on the screen.
    static void showAtStartUp();
    // The About command: timer off, shown, then the main window disabled.
    static void showAbout();

    ~frmSplash() override;

    bool timerEnabled() const { return Timer1.isActive(); }

public slots:
    void Timer1_Timer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmSplash();
    void Form_Unload();

    QTimer Timer1;
    QPixmap artwork_;
    QStatusBar* StatusBar1 = nullptr;
};

} // namespace convodesk::app
