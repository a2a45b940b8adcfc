#pragma once

#include "ui/DialogWindow.h"

class QPushButton;

namespace convodesk::screens {

// The Add/Edit dialog: one "Add/Update" button and no fields. While it is shown the main
// window is disabled; its button parks it (hidden, kept where it was), its close box destroys
// it, and both give the main window back.
class frmAddEdit : public ui::DialogWindow {
    Q_OBJECT
public:
    // The one dialog of the program, or null when it is not loaded.
    static frmAddEdit* instance();
    // Shows the dialog, creating it (centred on the screen) when it is not loaded, then
    // disables `mainWindow`.
    static void open(QWidget* mainWindow);

    ~frmAddEdit() override;

public slots:
    void cmdUpdate_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frmAddEdit();
    void Form_Unload();
    void enableMainWindow();

    QPointer<QWidget> mainWindow_;
    QPushButton* cmdUpdate = nullptr;
};

} // namespace convodesk::screens
