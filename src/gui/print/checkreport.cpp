// SPDX-License-Identifier: MIT
#include "gui/print/checkreport.h"

#include "core/nec/checktable.h"

#include "gui/print/checkplots.h"
#include "gui/print/htmlpages.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace tarvelin {

namespace {

QString number(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("\u221e");
}

} // namespace

QString checkSummaryText(const nec::CheckSummary &summary, double z0Ohms)
{
    QString text = summary.resonanceMHz ? QStringLiteral("Resonance %1 MHz.").arg(number(*summary.resonanceMHz, 3))
                                        : QStringLiteral("The reactance does not cross zero in the sweep.");
    text += QStringLiteral(" Lowest SWR %1 at %2 MHz (%3 \u03a9 line).")
                .arg(number(summary.minSwr, 2), number(summary.minSwrMHz, 3), number(z0Ohms, 0));
    text += summary.swr2MHz ? QStringLiteral(" 2:1 SWR from %1 to %2 MHz.")
                                  .arg(number(summary.swr2MHz->first, 3), number(summary.swr2MHz->second, 3))
                            : QStringLiteral(" The 2:1 SWR band does not lie wholly in the sweep.");
    if (summary.efficiencyPercent)
        text += QStringLiteral(" Efficiency %1 %.").arg(number(*summary.efficiencyPercent, 1));
    return text;
}

QByteArray checkReportPdf(const std::string &frequencyText, const nec::CheckSettings &settings,
                          const nec::CheckSummary &summary, const QPageLayout &layout, const QDateTime &when)
{
    QString html = QStringLiteral("<h2>Tarvelin antenna check: %1 MHz</h2>")
                       .arg(QString::fromStdString(frequencyText).toHtmlEscaped());
    html += QStringLiteral("<p>%1. Modelled with the NEC-2 engine nec2c: wire %2 mm, %3 segments per side, %4, %5; "
                           "sweep \u00b1%6 % in %7 points; SWR against %8 \u03a9.</p>")
                .arg(QLocale().toString(when, QLocale::LongFormat).toHtmlEscaped(),
                     QString::number(settings.wireDiameterMm, 'g', 4), QString::number(settings.segments),
                     settings.lossless ? QStringLiteral("lossless") : QStringLiteral("copper"),
                     settings.groundHeightMetres
                         ? QStringLiteral("boom %1 m over average ground").arg(*settings.groundHeightMetres, 0, 'g', 4)
                         : QStringLiteral("free space"),
                     QString::number(settings.spanPercent, 'g', 4), QString::number(settings.points),
                     QString::number(settings.z0Ohms, 'g', 4));
    html += QStringLiteral("<p><b>%1</b></p>").arg(checkSummaryText(summary, settings.z0Ohms).toHtmlEscaped());
    html += QString::fromStdString(htmlTable(nec::checkTable(summary, frequencyText)));

    // Two plots to a page.
    const auto plotPages = [&summary](QPdfWriter &writer, QPainter &painter, const QSizeF &page, const QFont &font) {
        const std::array<CheckPlot, 4> plots{CheckPlot::Swr, CheckPlot::Impedance, CheckPlot::GainAndFrontToBack,
                                             CheckPlot::Azimuth};
        for (std::size_t i = 0; i < plots.size(); ++i) {
            if (i % 2 == 0)
                writer.newPage();
            const double half = page.height() / 2;
            paintCheckPlot(painter, QRectF(0, static_cast<double>(i % 2) * half, page.width(), half * 0.95), plots[i],
                           summary, font, Qt::black);
        }
    };
    return htmlReportPdf(layout,
                         QStringLiteral("Tarvelin antenna check, %1 MHz").arg(QString::fromStdString(frequencyText)),
                         html, plotPages);
}

} // namespace tarvelin
