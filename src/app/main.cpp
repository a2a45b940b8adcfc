#include "fraMDI.h"
#include "frmSplash.h"
#include "ui/AppFonts.h"

#include <QApplication>
#include <QFont>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Qt aborts when it finds no display to open; say what is missing instead. A platform chosen
// by QT_QPA_PLATFORM or -platform (offscreen for the tests) needs no display.
bool displayAvailable(int argc, char* argv[]) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!displayAvailable(argc, argv)) {
        std::fputs("convodesk needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set).\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(CONVODESK_DESKTOP_ID));
    QApplication::setApplicationName(QStringLiteral("convodesk"));
    QApplication::setApplicationVersion(QStringLiteral(CONVODESK_VERSION));
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
