#pragma once

#include <QColor>
#include <QRect>

class QAbstractButton;
class QFrame;
class QLabel;
class QWidget;

namespace convodesk::ui {

// Fills the widget's background with a plain colour.
void paintBackground(QWidget& widget, const QColor& colour);

// A borderless panel with a background colour at a pixel rectangle inside `parent`.
QFrame* addPanel(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour);

// A label with a transparent background that shows its text as given (never as markup).
QLabel* addPlainLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text);

// A white picture button with a thin grey edge, as the panels use them.
void makePictureButton(QAbstractButton& button);

// Enter and Return press the focused push button of `window`, as Space does (Qt does this only
// inside dialogs). Call once the window's buttons exist.
void enterPressesButtons(QWidget& window);

} // namespace convodesk::ui
