#pragma once

#include <QTabWidget>

namespace convodesk::ui {

// A tabbed container whose pages have the container's own background colour, and whose
// controls are laid out relative to the whole container (tab strip included), as the
// screens' layouts give them.
class TabContainer : public QTabWidget {
    Q_OBJECT
public:
    explicit TabContainer(QWidget* parent = nullptr);

    // Adds a page filled with the container's background colour.
    QWidget* addPage(const QString& caption);
    // Where the pages start inside the container, as the style lays it out.
    QPoint pageOrigin() const;
    // A rectangle given relative to the container, as a page's own coordinates.
    QRect onPage(const QRect& inContainer) const { return inContainer.translated(-pageOrigin()); }
};

} // namespace convodesk::ui
