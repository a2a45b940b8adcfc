#pragma once

#include <QFont>
#include <QSizeF>
#include <QStringList>

namespace convodesk::ui {

// How a text is shown on a display band: the font size it gets and the lines it takes.
struct BandText {
    QFont font;
    QStringList lines;
    bool elided = false;
};

// The distance between the tops of two lines on a band: 1.2 times the font's pixel size,
// whatever the font's own leading.
double bandLinePitch(const QFont& font);

// Fits `text` into `box`: at the size of `base` when it takes at most `preferredLines` lines
// that fit the box's height; otherwise at the largest size, a point at a time down to
// `floorPoints`, at which it does. Past the floor the text takes as many lines as the box
// holds, and the last of them ends in "…" if the text goes on.
BandText fitBandText(const QString& text, const QFont& base, double floorPoints, int preferredLines,
                     const QSizeF& box);

} // namespace convodesk::ui
