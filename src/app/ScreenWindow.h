#pragma once

#include <QMdiSubWindow>

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

signals:
    // The window was closed (it is still there, on its way out).
    void closed(QMdiSubWindow* window);

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace convodesk::app
