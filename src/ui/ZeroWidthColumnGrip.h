#pragma once

#include <QObject>

class QHeaderView;

namespace convodesk::ui {

// Makes the divider of a zero-width column easy to grab: a press from just left of its line
// to a few pixels right of it drags that column open (and shut again), also when the line is
// at the right end of the header with no room behind it. Elsewhere the header works as usual.
class ZeroWidthColumnGrip : public QObject {
    Q_OBJECT
public:
    // `lastColumn` is the last column the grip serves (the ones after it are not the list's).
    ZeroWidthColumnGrip(QHeaderView& header, int lastColumn);

    // The zero-width column whose divider is grabbed at `x` (header viewport pixels), or -1.
    int columnAt(int x) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHeaderView& header_;
    QObject* viewport_;
    int lastColumn_;
    int dragged_ = -1;
    int pressX_ = 0;
};

} // namespace convodesk::ui
