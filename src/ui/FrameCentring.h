#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace convodesk::ui {

// Keeps a screen's outer panel centred in the screen's form whenever the form changes size
// (maximised, restored, resized by the user), once its load has centred it: the panel is never
// left where it sat at another size, cut off at one side.
class FrameCentring : public QObject {
    Q_OBJECT
public:
    // From now on `frame` follows the size of `form` (again and again: one watcher per frame).
    static void keep(QWidget& form, QWidget& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Watches `form` for as long as `frame` lives (the object belongs to `frame`).
    FrameCentring(QWidget& form, QWidget& frame);

    QPointer<QWidget> form_;
    QWidget& frame_;
};

} // namespace convodesk::ui
