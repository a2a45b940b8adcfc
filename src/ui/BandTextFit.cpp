#include "BandTextFit.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace convodesk::ui {

namespace {

constexpr double linePitchPerPixelSize = 1.2;
constexpr double pointStep = 1.0;
// Rounding in the pixel sizes must not cost a line.
constexpr double heightSlack = 0.5;

struct WrappedLine {
    qsizetype start = 0;
    QString text;
};

// Breaks `text` into lines of at most `width` pixels, at word boundaries where it can and
// anywhere inside a word longer than a line.
QList<WrappedLine> wrap(const QString& text, const QFont& font, double width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<WrappedLine> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        WrappedLine wrapped;
        wrapped.start = line.textStart();
        wrapped.text = text.mid(line.textStart(), line.textLength());
        while (!wrapped.text.isEmpty() && wrapped.text.back().isSpace())
            wrapped.text.chop(1);
        lines.append(wrapped);
    }
    layout.endLayout();
    return lines;
}

QStringList textsOf(const QList<WrappedLine>& lines) {
    QStringList texts;
    for (const WrappedLine& line : lines)
        texts.append(line.text);
    return texts;
}

int linesThatFit(double height, double pitch) {
    return std::max(1, static_cast<int>(std::floor((height + heightSlack) / pitch)));
}

} // namespace

double bandLinePitch(const QFont& font) {
    const double pixelSize = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
    return pixelSize * linePitchPerPixelSize;
}

BandText fitBandText(const QString& text, const QFont& base, double floorPoints, int preferredLines,
                     const QSizeF& box) {
    BandText fitted;
    fitted.font = base;
    if (text.isEmpty() || box.width() <= 0)
        return fitted;
    const double largest = base.pointSizeF() > 0 ? base.pointSizeF() : 12.0;
    const double smallest = std::min(floorPoints, largest);
    QList<WrappedLine> lines;
    for (double points = largest;; points = std::max(smallest, points - pointStep)) {
        fitted.font.setPointSizeF(points);
        lines = wrap(text, fitted.font, box.width());
        const int fitting =
            std::min<int>(preferredLines, linesThatFit(box.height(), bandLinePitch(fitted.font)));
        if (lines.size() <= fitting) {
            fitted.lines = textsOf(lines);
            return fitted;
        }
        if (points <= smallest)
            break;
    }
    // At the floor: as many lines as the box holds, the last one cut short with a sign.
    const int room = linesThatFit(box.height(), bandLinePitch(fitted.font));
    if (lines.size() > room) {
        const QString rest = text.mid(lines[room - 1].start).trimmed();
        lines.resize(room - 1);
        fitted.lines = textsOf(lines);
        fitted.lines.append(QFontMetricsF(fitted.font).elidedText(rest, Qt::ElideRight, box.width()));
        fitted.elided = true;
    } else {
        fitted.lines = textsOf(lines);
    }
    return fitted;
}

} // namespace convodesk::ui
