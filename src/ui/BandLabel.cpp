#include "BandLabel.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

namespace convodesk::ui {

struct BandLabel::Placed {
    QString text;
    QFont font;
    QSize size;
    BandText shown;
    std::vector<std::unique_ptr<QTextLayout>> lines;
    QList<double> tops;
    QRectF ink;
};

namespace {

// The rectangle the glyphs' outlines cover (a run's own rectangle is its font's line box).
QRectF inkOf(const QTextLayout& layout) {
    QRectF ink;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
            const QRectF glyph = font.boundingRect(glyphs[i]);
            if (!glyph.isEmpty())
                ink |= glyph.translated(positions[i]);
        }
    }
    return ink.translated(layout.position());
}

} // namespace

BandLabel::BandLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignCenter);
}

BandLabel::~BandLabel() = default;

void BandLabel::setFitting(int preferredLines, double floorPoints) {
    preferredLines_ = std::max(1, preferredLines);
    floorPoints_ = floorPoints;
    placed_.reset();
    update();
}

const BandLabel::Placed& BandLabel::placed() const {
    if (placed_ && placed_->text == text() && placed_->font == font() && placed_->size == size())
        return *placed_;
    auto p = std::make_unique<Placed>();
    p->text = text();
    p->font = font();
    p->size = size();
    p->shown = fitBandText(p->text, p->font, floorPoints_, preferredLines_, QSizeF(size()));
    const double pitch = bandLinePitch(p->shown.font);
    const double blockTop = (height() - pitch * p->shown.lines.size()) / 2.0;
    for (const QString& lineText : p->shown.lines) {
        auto layout = std::make_unique<QTextLayout>(lineText, p->shown.font);
        QTextOption option(Qt::AlignHCenter);
        option.setWrapMode(QTextOption::NoWrap);
        layout->setTextOption(option);
        layout->beginLayout();
        QTextLine line = layout->createLine();
        double top = blockTop + pitch * p->tops.size();
        if (line.isValid()) {
            line.setLineWidth(width());
            top += (pitch - (line.ascent() + line.descent())) / 2.0;
        }
        layout->endLayout();
        layout->setPosition(QPointF(0, top));
        p->tops.append(top);
        p->ink |= inkOf(*layout);
        p->lines.push_back(std::move(layout));
    }
    // Glyphs that reach beyond their line's box (a fallback font's deep descenders or tall
    // marks) would be cut at the label's edge: then the drawn glyphs themselves are centred.
    if (!p->ink.isEmpty() && !QRectF(rect()).contains(p->ink)) {
        const double shift = (height() - p->ink.height()) / 2.0 - p->ink.top();
        if (shift != 0) {
            for (qsizetype i = 0; i < p->tops.size(); ++i) {
                p->tops[i] += shift;
                p->lines[i]->setPosition(QPointF(0, p->tops[i]));
            }
            p->ink.translate(0, shift);
        }
    }
    placed_ = std::move(p);
    return *placed_;
}

BandText BandLabel::shownText() const {
    return placed().shown;
}

QList<double> BandLabel::lineTops() const {
    return placed().tops;
}

QRectF BandLabel::inkRect() const {
    return placed().ink;
}

void BandLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    for (const std::unique_ptr<QTextLayout>& line : placed().lines)
        line->draw(&painter, QPointF(0, 0));
}

} // namespace convodesk::ui
