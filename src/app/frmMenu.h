#pragma once

#include "ui/TabCycle.h"

#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace convodesk::app {

// The menu panel: eight large picture buttons with captions on a silver panel with navy
// edges. Three open a screen; the others are present and do nothing.
class frmMenu : public QWidget {
    Q_OBJECT
public:
    explicit frmMenu(QWidget* parent = nullptr);

    // Centres the panel's window in the main window's client area once, when it is created.
    void Form_Initialize(const QWidget& mainClientArea, QWidget& panelWindow);

    // The controls in Tab order.
    QList<QWidget*> tabOrder() const { return tabCycle_.order(); }

public slots:
    void cmdHome_Click();
    void Command2_Click();
    void cmdSearch_Click();

protected:
    bool focusNextPrevChild(bool next) override;

private:
    QPushButton* addPictureButton(QWidget* container, const char* name, int leftTwips, int topTwips,
                                  const QString& picture);
    void addCaption(const char* name, int leftTwips, int topTwips, const QString& caption);

    QFrame* Frame2 = nullptr;
    QFrame* Frame1 = nullptr;
    QLineEdit* txtSetFocus = nullptr;
    ui::TabCycle tabCycle_;
};

} // namespace convodesk::app
