#include "AppFonts.h"
#include "fraMDI.h"
#include "frmSplash.h"

#include <QApplication>
#include <QFont>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("convodesk"));
    QApplication::setApplicationVersion(QStringLiteral("1.00.0011"));
    convodesk::ui::registerProgramFonts();
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));

    // The splash hands over to the main window, which is created on first use.
    std::unique_ptr<convodesk::app::fraMDI> mainWindow;
    convodesk::app::frmSplash::setMainWindowLoader([&mainWindow]() -> QWidget* {
        if (!mainWindow) {
            mainWindow = std::make_unique<convodesk::app::fraMDI>();
            mainWindow->showAndLoad();
        }
        return mainWindow.get();
    });
    convodesk::app::frmSplash::showAtStartUp();
    const int code = QApplication::exec();
    delete convodesk::app::frmSplash::instance();
    return code;
}
