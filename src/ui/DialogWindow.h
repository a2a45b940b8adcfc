#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

namespace convodesk::ui {

// A separate fixed-size tool window (narrow title bar, close box only) that is shown while the
// main window is disabled. It has no QWidget parent (it would be disabled with the main
// window), is kept above the main window through the window system's transient parent, takes
// the activation back when the window manager hands it to the disabled main window, and
// comes back when it is minimised.
class DialogWindow : public QWidget {
    Q_OBJECT
public:
    explicit DialogWindow(QWidget* parent = nullptr);

    // Shows the dialog (without making it modal) in front of `mainWindow` and gives it the
    // keyboard. The caller disables the main window afterwards.
    void showOver(QWidget* mainWindow);
    // Enables `mainWindow` again, activates it and gives the keyboard back to the control that
    // had it when the dialog was shown over it. (Disabling a window moves its focus on to some
    // other control, which in the main window can bring the menu panel in front of the screen
    // the user was on.)
    void giveMainWindowBack(QWidget* mainWindow);

    // Centres the whole window, frame and title bar included, on the screen. The window
    // system tells the frame's size only once the window is shown, and may place the window
    // itself while it takes it over: for a short while after it is first shown, the window
    // goes back to the centre whenever it is found elsewhere.
    void centreOnScreen();

protected:
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeActivationBack();
    void placeCentred();
    void keepCentredWhileSettling();

    QPointer<QWidget> mainWindow_;
    QPointer<QWidget> focusBefore_;
    bool centred_ = false;
    bool settleOnShow_ = false;
    QElapsedTimer settling_;
    int corrections_ = 0;
};

} // namespace convodesk::ui
