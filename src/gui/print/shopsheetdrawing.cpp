// SPDX-License-Identifier: MIT
#include "gui/print/shopsheetdrawing.h"

#include "core/shop/shopsheettext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <array>

namespace tarvelin {

namespace {

QString lengthText(const shop::ShopSheet &sheet, shop::HalfThousandths length)
{
    return QString::fromStdString(shop::feetInchesText(length, sheet.settings.step));
}

// A short label for each element along the boom.
QString shortName(calc::ElementRow row)
{
    switch (row) {
    case calc::ElementRow::Reflector:
        return QStringLiteral("R");
    case calc::ElementRow::Driven:
        return QStringLiteral("DE");
    default:
        return QStringLiteral("D%1").arg(calc::rowIndex(row) - 1);
    }
}

const QString kLoopTitle = QStringLiteral("Driven element, front view");
const QString kTrimmedLoopTitle = QStringLiteral("Driven element as trimmed, front view");
const QString kBoomTitle = QStringLiteral("Boom, side view: stations from the reflector");
const QString kFeedText = QStringLiteral("feed point, cut ends");

// The texts of the drawing that depend on the sheet.
struct Texts
{
    QString loopTitle;
    std::array<QString, 4> corners; // round the loop from the cut end, bottom right first
    QString side;
    QString arm;
    std::vector<QString> names;
    std::vector<QString> stations;
    QString boom;
    QString section; // under the feed point, where the sheet cuts a matching section; else empty
};

Texts textsOf(const shop::ShopSheet &sheet)
{
    const shop::ElementCuts &driven = sheet.elements[calc::rowIndex(calc::ElementRow::Driven)];
    // A trimmed sheet draws the loop as it is to be after its trim: its side, marks and arms.
    const auto &trim = driven.trim;
    Texts texts;
    texts.loopTitle = trim ? kTrimmedLoopTitle : kLoopTitle;
    for (std::size_t k = 0; k < texts.corners.size(); ++k)
        texts.corners[k] = QStringLiteral("%1: %2").arg(k + 1).arg(
            lengthText(sheet, trim ? trim->cornerMarks[k] : driven.cornerMarks[k]));
    texts.side = QStringLiteral("side %1").arg(lengthText(sheet, trim ? trim->side : driven.side));
    texts.arm = QStringLiteral("arm %1").arg(lengthText(sheet, trim ? trim->arm : driven.arm));
    for (const shop::ElementCuts &cuts : sheet.elements) {
        texts.names.push_back(shortName(cuts.element));
        texts.stations.push_back(lengthText(sheet, cuts.station));
    }
    texts.boom = QStringLiteral("boom %1").arg(lengthText(sheet, sheet.boomLength));
    if (sheet.section)
        texts.section = QStringLiteral("matching section %1 to the feed line").arg(lengthText(sheet, *sheet.section));
    return texts;
}

// Labels centred on points along a line go into rows: each into the first row where it clears the label
// before it, so neighbours that are close along the boom stack instead of overlapping.
std::vector<int> stackInRows(const std::vector<double> &centres, const std::vector<double> &widths, double gap,
                             int &rowCount)
{
    std::vector<double> rightEdges;
    std::vector<int> rows;
    for (std::size_t i = 0; i < centres.size(); ++i) {
        const double left = centres[i] - widths[i] / 2;
        std::size_t row = 0;
        while (row < rightEdges.size() && rightEdges[row] + gap > left)
            ++row;
        if (row == rightEdges.size())
            rightEdges.push_back(0.0);
        rightEdges[row] = centres[i] + widths[i] / 2;
        rows.push_back(static_cast<int>(row));
    }
    rowCount = static_cast<int>(rightEdges.size());
    return rows;
}

// The boom's side view across a width: where the stations fall, which row each label takes, how tall it is.
struct BoomPlan
{
    double left = 0.0;
    double right = 0.0;
    std::vector<double> x;
    std::vector<double> nameWidths, stationWidths;
    std::vector<int> nameRows, stationRows;
    int nameRowCount = 0;
    int stationRowCount = 0;

    [[nodiscard]] double height(double line) const { return (3.9 + nameRowCount + stationRowCount) * line; }
};

BoomPlan planBoom(double left, double width, const shop::ShopSheet &sheet, const Texts &texts,
                  const QFontMetricsF &metrics, double pixel)
{
    BoomPlan plan;
    double widest = 0.0;
    for (std::size_t i = 0; i < texts.stations.size(); ++i) {
        plan.nameWidths.push_back(labelWidth(metrics, pixel, texts.names[i]));
        plan.stationWidths.push_back(labelWidth(metrics, pixel, texts.stations[i]));
        widest = std::max({widest, plan.nameWidths.back(), plan.stationWidths.back()});
    }
    plan.left = left + widest / 2;
    plan.right = std::max(plan.left + 1.0, left + width - widest / 2);
    const double boom = static_cast<double>(std::max<shop::HalfThousandths>(sheet.boomLength, 1));
    for (const shop::ElementCuts &cuts : sheet.elements)
        plan.x.push_back(plan.left + (plan.right - plan.left) * static_cast<double>(cuts.station) / boom);
    const double gap = metrics.horizontalAdvance(QLatin1Char(' '));
    plan.nameRows = stackInRows(plan.x, plan.nameWidths, gap, plan.nameRowCount);
    plan.stationRows = stackInRows(plan.x, plan.stationWidths, gap, plan.stationRowCount);
    return plan;
}

// The loop's corner labels stand beside its corners, so the square leaves room for the widest on each side.
struct LoopWidths
{
    double left = 0.0;  // corners 3 and 4
    double right = 0.0; // corners 1 and 2
    double minimumSide = 0.0;
};

LoopWidths loopWidths(const Texts &texts, const QFontMetricsF &metrics, double pixel)
{
    const auto width = [&](const QString &text) { return labelWidth(metrics, pixel, text); };
    const double gap = 6 * pixel;
    LoopWidths widths;
    widths.right = std::max(width(texts.corners[0]), width(texts.corners[1])) + gap;
    widths.left = std::max(width(texts.corners[2]), width(texts.corners[3])) + gap;
    // The arm's label sits inside the square, between the spreaders above the centre: the square is wide enough
    // for it where they are closest, at its foot, and tall enough for it above that.
    widths.minimumSide = std::max(width(texts.arm) + 4 * gap + 2 * metrics.height(), 3.6 * metrics.height());
    return widths;
}

constexpr double kLoopExtraLines = 4.6; // title, the side's label, corner labels and the feed point's label
constexpr double kLoopBoomGap = 0.8;

// The lines above and below the square: a line more for the matching section under the feed point.
double loopExtraLines(const Texts &texts)
{
    return kLoopExtraLines + (texts.section.isEmpty() ? 0.0 : 1.0);
}

} // namespace

ShopDrawingLayout layoutShopDrawing(const QRectF &area, const shop::ShopSheet &sheet, const QFontMetricsF &metrics,
                                    double pixel)
{
    const Texts texts = textsOf(sheet);
    const double line = metrics.height();
    const auto width = [&](const QString &text) { return labelWidth(metrics, pixel, text); };
    const auto centred = [&](const QString &text, double centreX, double top) {
        return centredLabel(metrics, pixel, text, centreX, top);
    };
    ShopDrawingLayout layout;

    // The boom, at the bottom of the area.
    const BoomPlan boom = planBoom(area.left(), area.width(), sheet, texts, metrics, pixel);
    const double boomTop = area.bottom() - boom.height(line);
    layout.labels.push_back(centred(kBoomTitle, area.center().x(), boomTop));
    const double namesTop = boomTop + 1.3 * line;
    layout.tickHalf = 0.4 * line;
    layout.boomY = namesTop + boom.nameRowCount * line + 0.2 * line + layout.tickHalf;
    layout.boomLeft = boom.left;
    layout.boomRight = boom.right;
    layout.stations = boom.x;
    const double stationsTop = layout.boomY + layout.tickHalf + 0.2 * line;
    for (std::size_t i = 0; i < boom.x.size(); ++i) {
        // Names stack upwards from the boom, stations downwards.
        const double nameTop = namesTop + (boom.nameRowCount - 1 - boom.nameRows[i]) * line;
        layout.labels.push_back(centred(texts.names[i], boom.x[i], nameTop));
        layout.labels.push_back(centred(texts.stations[i], boom.x[i], stationsTop + boom.stationRows[i] * line));
    }
    layout.labels.push_back(centred(texts.boom, area.center().x(), stationsTop + (boom.stationRowCount + 0.3) * line));

    // The driven loop above it.
    const LoopWidths widths = loopWidths(texts, metrics, pixel);
    const double loopTop = area.top();
    const double loopBottom = boomTop - kLoopBoomGap * line;
    const double side = std::max(
        0.0, std::min(area.width() - widths.left - widths.right, loopBottom - loopTop - loopExtraLines(texts) * line));
    const double groupLeft = area.center().x() - (widths.left + side + widths.right) / 2;
    layout.square = QRectF(groupLeft + widths.left, loopTop + 3.0 * line, side, side);
    const QRectF &square = layout.square;
    layout.labels.push_back(centred(texts.loopTitle, area.center().x(), loopTop));
    layout.labels.push_back(centred(texts.side, square.center().x(), loopTop + 1.3 * line));
    // Between the upper spreaders, which run at 45 degrees: the label's foot stands half its width and a gap
    // above the centre, where they are that far apart.
    const double armFoot = square.center().y() - width(texts.arm) / 2 - 6 * pixel;
    layout.labels.push_back(centred(texts.arm, square.center().x(), armFoot - line));
    layout.feed = QPointF(square.center().x(), square.bottom());
    layout.labels.push_back(centred(kFeedText, layout.feed.x(), square.bottom() + 0.6 * line));
    if (!texts.section.isEmpty())
        layout.labels.push_back(centred(texts.section, layout.feed.x(), square.bottom() + 1.6 * line));
    // Corner marks along the wire from the cut end: on round the loop, bottom right first, each beside its
    // corner and level with it.
    const double gap = 6 * pixel;
    const std::array<QPointF, 4> corners{square.bottomRight(), square.topRight(), square.topLeft(),
                                         square.bottomLeft()};
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const bool right = k < 2;
        const double w = width(texts.corners[k]);
        const double x = right ? corners[k].x() + gap : corners[k].x() - gap - w;
        layout.labels.push_back(DrawingLabel{QRectF(x, corners[k].y() - line / 2, w, line), texts.corners[k],
                                             (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, false});
    }
    return layout;
}

QSizeF shopDrawingMinimumSize(const shop::ShopSheet &sheet, const QFontMetricsF &metrics, double pixel)
{
    const Texts texts = textsOf(sheet);
    const double line = metrics.height();
    const LoopWidths widths = loopWidths(texts, metrics, pixel);
    double width = widths.left + widths.minimumSide + widths.right;
    for (const QString &text : {texts.loopTitle, kBoomTitle, kFeedText, texts.side, texts.boom, texts.section})
        width = std::max(width, labelWidth(metrics, pixel, text));
    // The boom stacks its labels deepest where it is narrowest.
    const BoomPlan boom = planBoom(0.0, width, sheet, texts, metrics, pixel);
    return {width, (loopExtraLines(texts) + kLoopBoomGap) * line + widths.minimumSide + boom.height(line)};
}

QString shopDrawingDescription(const shop::ShopSheet &sheet)
{
    const Texts texts = textsOf(sheet);
    QStringList stations;
    for (std::size_t i = 0; i < texts.names.size(); ++i)
        stations << QStringLiteral("%1 at %2").arg(texts.names[i], texts.stations[i]);
    return QStringLiteral("%1: %2, %3; corner marks from the cut end at the feed point: %4%5. "
                          "Boom, side view, %6; stations from the reflector: %7.")
        .arg(texts.loopTitle, texts.side, texts.arm,
             QStringList(texts.corners.begin(), texts.corners.end()).join(QStringLiteral(", ")),
             texts.section.isEmpty() ? QString() : QStringLiteral("; ") + texts.section, texts.boom,
             stations.join(QStringLiteral(", ")));
}

void paintShopDrawing(QPainter &painter, const QRectF &area, const shop::ShopSheet &sheet, const QFont &font,
                      const QColor &ink)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    const double px = devicePixel(painter);
    const ShopDrawingLayout layout = layoutShopDrawing(area, sheet, QFontMetricsF(font, painter.device()), px);
    const QRectF &square = layout.square;

    painter.setPen(QPen(ink, 2 * px));
    painter.drawRect(square);
    painter.setPen(QPen(ink, px, Qt::DashLine));
    painter.drawLine(square.topLeft(), square.bottomRight());
    painter.drawLine(square.topRight(), square.bottomLeft());
    // The feed point, and the cut ends of the wire with it, in the middle of the bottom side.
    painter.setPen(QPen(ink, px));
    painter.setBrush(ink);
    painter.drawEllipse(layout.feed, 4 * px, 4 * px);
    painter.setBrush(Qt::NoBrush);

    painter.drawLine(QPointF(layout.boomLeft, layout.boomY), QPointF(layout.boomRight, layout.boomY));
    for (const double x : layout.stations)
        painter.drawLine(QPointF(x, layout.boomY - layout.tickHalf), QPointF(x, layout.boomY + layout.tickHalf));

    for (const DrawingLabel &label : layout.labels) {
        if (label.overLine)
            painter.fillRect(label.box, painter.background());
        painter.drawText(label.box, static_cast<int>(label.alignment), label.text);
    }
    painter.restore();
}

} // namespace tarvelin
