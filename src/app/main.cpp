#include "AppFonts.h"
#include "fraMDI.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("convodesk"));
    QApplication::setApplicationVersion(QStringLiteral("1.00.0011"));
    convodesk::ui::registerProgramFonts();
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));

    convodesk::app::fraMDI mainWindow;
    mainWindow.showAndLoad();
    return QApplication::exec();
}
