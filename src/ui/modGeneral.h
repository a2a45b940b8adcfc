#pragma once

class QObject;
class QWidget;

namespace convodesk::ui {

// Where a centred child goes, in twips, single precision and unrounded (532.5 stays 532.5).
struct TwipsPosition {
    float top = 0;
    float left = 0;
};

// (parent client - child) / 2 for each axis; negative when the child is larger.
TwipsPosition centredPosition(float parentClientWidth, float parentClientHeight, float childWidth,
                              float childHeight);

// Centres `child` in the client area `parentClient` (for the main window: its MDI area).
// The exact twips position is kept on the child (see placedTwips) and the widget is moved to
// the nearest pixels; the child's size never changes and nothing re-centres it later.
void CenterForm(const QWidget& parentClient, QWidget& child);
// The same for a screen's outer panel; its position is inside the screen's own form, which
// covers the main window's client area when shown maximised.
void CenterFrame(const QWidget& parentClient, QWidget& frame);

// The twips position the last centring gave `widget` (0, 0 if it was never centred).
TwipsPosition placedTwips(const QWidget& widget);

// Returns after `seconds` have passed on a monotonic clock (so a wait across midnight ends on
// time), processing window events meanwhile: handlers may run nested inside the wait. Returns
// at once, processing nothing, for 0, a negative duration or NaN.
void WaitSeconds(double seconds);

// Deletes `object` once no timed wait is running. A window closed by an event handled inside
// a wait may belong to the handler that waits; it must outlive that handler.
void deleteOutsideWaits(QObject* object);

} // namespace convodesk::ui
