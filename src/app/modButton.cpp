#include "modButton.h"

#include "fraMDI.h"
#include "home/frmHome.h"

namespace convodesk::app {

namespace {

// Shows the screen of class Screen (default-constructible, with Form_Load(main client area)).
template <class Screen> void showScreenOf() {
    fraMDI* main = fraMDI::instance();
    if (!main)
        return;
    main->showScreen(
        QString::fromLatin1(Screen::staticMetaObject.className()).section(QStringLiteral("::"), -1),
        [] { return new Screen; },
        [main](QWidget& form) { static_cast<Screen&>(form).Form_Load(*main->clientArea()); });
}

} // namespace

void ShowHome() {
    showScreenOf<screens::frmHome>();
}

void ShowDatabase() {
    // The Database screen is not part of the program yet.
}

void ShowSearch() {
    // The Search screen is not part of the program yet.
}

} // namespace convodesk::app
