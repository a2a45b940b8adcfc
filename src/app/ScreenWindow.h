#pragma once

#include <QMdiSubWindow>
#include <QPointer>

namespace convodesk::app {

// The framed, titled child window a screen is shown in. Closing it unloads the screen: the
// window goes away at once, the screen itself is deleted once no handler of it can still be
// running (a handler that waits processes events, and the close may come from one of them).
class ScreenWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    // Takes `screen` as the window's content; the window's title is the screen's.
    explicit ScreenWindow(QWidget* screen);

    // The size of the window in its own frame when `screen` has its design size.
    QSize designSize() const;

    // Gives the keyboard back to the control of the screen that had it last (Qt hands it to
    // the first control of the screen when the window is restored or maximised), or to the
    // screen itself.
    void restoreKeyboard();

signals:
    // The window was closed (it is still there, on its way out).
    void closed(QMdiSubWindow* window);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPointer<QWidget> lastFocus_;
};

} // namespace convodesk::app
