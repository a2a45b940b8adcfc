#include "frmAddEdit.h"

#include "ui/HandlerGuard.h"
#include "ui/PanelFrame.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QPushButton>

namespace convodesk::screens {

namespace {

QPointer<frmAddEdit>& loaded() {
    static QPointer<frmAddEdit> dialog;
    return dialog;
}

} // namespace

frmAddEdit::frmAddEdit() {
    setObjectName(QStringLiteral("frmAddEdit"));
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ui::twipsRect(0, 0, 8895, 5070).size());
    ui::paintBackground(*this, QColor(128, 128, 128));

    cmdUpdate = new QPushButton(QStringLiteral("Add/Update"), this);
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    cmdUpdate->setGeometry(ui::twipsRect(3600, 4200, 1695, 495));
    setFocusProxy(cmdUpdate);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmAddEdit::cmdUpdate_Click);
    ui::enterPressesButtons(*this);

    // Centred on the screen each time it is loaded.
    centreOnScreen();
}

frmAddEdit::~frmAddEdit() = default;

frmAddEdit* frmAddEdit::instance() {
    return loaded();
}

void frmAddEdit::open(QWidget* mainWindow) {
    if (!loaded())
        loaded() = new frmAddEdit;
    frmAddEdit* dialog = loaded();
    dialog->mainWindow_ = mainWindow;
    dialog->showOver(mainWindow);
    if (mainWindow)
        mainWindow->setEnabled(false);
}

void frmAddEdit::cmdUpdate_Click() {
    ui::runHandler([this] {
        hide();
        enableMainWindow();
    });
}

void frmAddEdit::closeEvent(QCloseEvent* event) {
    ui::runHandler([this] { Form_Unload(); });
    event->accept();
}

void frmAddEdit::Form_Unload() {
    enableMainWindow();
}

void frmAddEdit::enableMainWindow() {
    if (!mainWindow_)
        return;
    giveMainWindowBack(mainWindow_);
}

} // namespace convodesk::screens
