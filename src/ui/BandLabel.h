#pragma once

#include "BandTextFit.h"

#include <QLabel>
#include <QRectF>
#include <memory>
#include <vector>

class QTextLayout;

namespace convodesk::ui {

// A label for the large display bands: plain text, centred both ways, with a line pitch of 1.2
// times the font size whatever the font's own leading. A text too long for the lines the band
// is meant to show is shown smaller, down to a floor, never cut off without a sign (see
// fitBandText). Each line sits in the middle of its pitch by the line's own height, so a line
// drawn with a fallback font of other proportions (another script) sits where the others do.
class BandLabel : public QLabel {
    Q_OBJECT
public:
    explicit BandLabel(QWidget* parent = nullptr);
    ~BandLabel() override;

    // The text keeps the label's font while it takes at most `preferredLines` lines; beyond
    // that it shrinks, at the smallest to `floorPoints`.
    void setFitting(int preferredLines, double floorPoints);

    // What is shown: the font size chosen and the lines (for the operator's checks and tests).
    BandText shownText() const;
    // Top of each line's box, in pixels from the label's top.
    QList<double> lineTops() const;
    // The rectangle the drawn glyphs cover, in the label's pixels (empty without text).
    QRectF inkRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Placed;
    // The lines laid out and placed; the shown text is worked out again only when the text,
    // the font or the size has changed.
    const Placed& placed() const;

    int preferredLines_ = 1;
    double floorPoints_ = 12;
    mutable std::unique_ptr<Placed> placed_;
};

} // namespace convodesk::ui
