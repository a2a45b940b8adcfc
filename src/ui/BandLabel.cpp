#include "BandLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace convodesk::ui {

namespace {

constexpr double linePitchPerPixelSize = 1.2;

// Lays the text out in `layout` and returns the lines' tops. The lines are shifted up by half
// of what the font's own line height exceeds the pitch, so the block stays centred on its pitch.
QList<double> layOut(QTextLayout& layout, const QFont& font, double width) {
    const QFontMetricsF metrics(font);
    const double pixelSize = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
    const double pitch = pixelSize * linePitchPerPixelSize;
    const double firstTop = -std::max(0.0, metrics.height() - pitch) / 2.0;
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setFont(font);
    layout.setTextOption(option);
    QList<double> tops;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        const double top = firstTop + pitch * tops.size();
        line.setLineWidth(width);
        line.setPosition(QPointF(0, top));
        tops.append(top);
    }
    layout.endLayout();
    return tops;
}

} // namespace

BandLabel::BandLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

QList<double> BandLabel::lineTops() const {
    QTextLayout layout(text());
    return layOut(layout, font(), width());
}

void BandLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    QTextLayout layout(text());
    layOut(layout, font(), width());
    layout.draw(&painter, QPointF(0, 0));
}

} // namespace convodesk::ui
