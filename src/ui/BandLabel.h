#pragma once

#include <QLabel>

namespace convodesk::ui {

// A label for the large display bands: plain text, centred, wrapped at word boundaries, with a
// line pitch of 1.2 times the font size whatever the font's own leading, so that two lines of
// the band's font fit a band sized for them (fonts with tall accents space lines widely).
class BandLabel : public QLabel {
    Q_OBJECT
public:
    explicit BandLabel(QWidget* parent = nullptr);

    // Top of each laid-out line, in pixels from the label's top (for tests).
    QList<double> lineTops() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace convodesk::ui
