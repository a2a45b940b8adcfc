#include "PanelFrame.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace convodesk::ui {

void paintBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

QFrame* addPanel(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setGeometry(geometry);
    paintBackground(*panel, colour);
    return panel;
}

QLabel* addPlainLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setGeometry(geometry);
    return label;
}

void makePictureButton(QAbstractButton& button) {
    button.setStyleSheet(
        QStringLiteral("QAbstractButton { background-color: white; border: 1px solid #808080; }"
                       "QAbstractButton:pressed, QAbstractButton:checked "
                       "{ background-color: #e8e8e8; border: 1px solid #404040; }"
                       "QAbstractButton:focus { border: 1px dotted #000000; }"));
}

void enterPressesButtons(QWidget& window) {
    for (QPushButton* button : window.findChildren<QPushButton*>())
        button->setAutoDefault(true);
}

} // namespace convodesk::ui
