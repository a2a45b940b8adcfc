#include "TabContainer.h"

#include "PanelFrame.h"

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

namespace convodesk::ui {

TabContainer::TabContainer(QWidget* parent) : QTabWidget(parent) {}

QWidget* TabContainer::addPage(const QString& caption) {
    auto* page = new QWidget;
    paintBackground(*page, palette().color(QPalette::Window));
    addTab(page, caption);
    return page;
}

QPoint TabContainer::pageOrigin() const {
    // The same rectangle the container gives its pages when it lays them out.
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
}

} // namespace convodesk::ui
