#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>

class QPainter;

namespace convodesk::ui {

// The part of a one-line text that a box of a given width can show, laid out from a starting
// character: never the whole text, so the cost of a layout does not grow with the text.
// Positions are indexes into the whole text.
class VisibleTextLine {
public:
    VisibleTextLine(const QString& text, qsizetype start, const QFont& font, double width);

    qsizetype start() const { return start_; }
    // One past the last character laid out (the text may go on).
    qsizetype end() const { return end_; }
    // The x of the caret before `position` (clamped to the laid-out part), from the start.
    double xOf(qsizetype position) const;
    // The caret position nearest to `x`, inside the laid-out part.
    qsizetype positionAt(double x) const;
    // Whether the caret at `position` lies inside the box's width.
    bool shows(qsizetype position) const;
    // Caret positions next to `position` inside the laid-out part (whole characters).
    qsizetype nextPosition(qsizetype position) const;
    qsizetype previousPosition(qsizetype position) const;

    // Draws the part at `origin` (left end of the baseline's line box), the range
    // [selectionStart, selectionEnd) highlighted.
    void draw(QPainter& painter, const QPointF& origin, qsizetype selectionStart, qsizetype selectionEnd,
              const QColor& highlight, const QColor& highlightedText) const;

    // The first character to show so that the caret at `position` is at the box's right edge
    // (or as near to it as whole characters allow); 0 when everything before fits.
    static qsizetype startShowingEndAt(const QString& text, qsizetype position, const QFont& font,
                                       double width);
    // How many characters a part of the box's width is laid out with: enough to fill it with
    // the narrowest characters.
    static qsizetype span(double width);

private:
    qsizetype start_;
    qsizetype end_;
    double width_;
    QTextLayout layout_;
};

} // namespace convodesk::ui
