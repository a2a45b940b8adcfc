#include "modButton.h"

#include "fraMDI.h"
#include "screens/database/frmDBase.h"
#include "screens/home/frmHome.h"
#include "screens/search/frmSearch.h"

#include <type_traits>

namespace convodesk::app {

namespace {

// Shows the screen of class Screen (default-constructible, with Form_Load(main client area)).
template <class Screen> void showScreenOf() {
    fraMDI* main = fraMDI::instance();
    if (!main)
        return;
    main->showScreen(
        QString::fromLatin1(Screen::staticMetaObject.className()).section(QStringLiteral("::"), -1),
        [main]() -> QWidget* {
            if constexpr (std::is_constructible_v<Screen, QWidget*, QWidget*>)
                return new Screen(main);
            else {
                Q_UNUSED(main);
                return new Screen;
            }
        },
        [main](QWidget& form) { static_cast<Screen&>(form).Form_Load(*main->clientArea()); });
}

} // namespace

void ShowHome() {
    showScreenOf<screens::frmHome>();
}

void ShowDatabase() {
    showScreenOf<screens::frmDBase>();
}

void ShowSearch() {
    showScreenOf<screens::frmSearch>();
}

} // namespace convodesk::app
