// SPDX-License-Identifier: MIT
#include "gui/print/checkreport.h"

#include "core/design/designlengths.h"

#include "core/document/checktable.h"

#include "gui/print/checkplots.h"
#include "gui/print/htmlpages.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <vector>

namespace tarvelin {

QByteArray checkReportPdf(const std::string &frequencyText, const design::CheckSettings &settings,
                          const check::CheckSummary &summary, const QPageLayout &layout, const QDateTime &when,
                          std::span<const measure::MeasuredSweep> sweeps, const check::Goals &goals)
{
    const measure::MeasuredSweep *measured = sweeps.empty() ? nullptr : &sweeps.back();
    QString html =
        QStringLiteral("<h2>Tarvelin antenna check: %1</h2>")
            .arg(QString::fromStdString(design::designTitle(frequencyText, summary.elements)).toHtmlEscaped());
    html += QStringLiteral("<p>%1. Modelled with the NEC-2 engine nec2c: wire %2 mm, %3 segments per side, %4, %5; "
                           "sweep \u00b1%6 % in %7 points; SWR against %8 \u03a9. Modelled %9.</p>")
                .arg(QLocale().toString(when, QLocale::LongFormat).toHtmlEscaped(),
                     QString::number(settings.wireDiameterMm, 'g', 4), QString::number(settings.segments),
                     settings.lossless ? QStringLiteral("lossless") : QStringLiteral("copper"),
                     settings.groundHeightMetres
                         ? QStringLiteral("boom %1 m over average ground").arg(*settings.groundHeightMetres, 0, 'g', 4)
                         : QStringLiteral("free space"),
                     QString::number(settings.spanPercent, 'g', 4), QString::number(settings.points),
                     QString::number(settings.z0Ohms, 'g', 4), QString::fromStdString(summary.ran).toHtmlEscaped());
    html += QStringLiteral("<p><b>%1</b></p>")
                .arg(QString::fromStdString(document::verdictHeadline(summary, measured, goals)).toHtmlEscaped());
    html +=
        QString::fromStdString(format::htmlTable(document::verdictTable(summary, settings.z0Ohms, measured, goals)));
    for (const std::string &warning : check::verdictWarnings(summary))
        html += QStringLiteral("<p><b>%1</b></p>").arg(QString::fromStdString(warning).toHtmlEscaped());
    std::vector<std::string> said = measured ? measure::measuredSentences(*measured) : std::vector<std::string>();
    for (std::string &sentence : measure::turnsSentences(sweeps))
        said.push_back(std::move(sentence));
    for (const std::string &sentence : said)
        html += QStringLiteral("<p><b>%1</b></p>").arg(QString::fromStdString(sentence).toHtmlEscaped());
    html += QStringLiteral("<p>%1</p>")
                .arg(QString::fromStdString(document::feedAdvice(&summary, settings)).toHtmlEscaped());
    html += QStringLiteral("<p></p>");
    html += QString::fromStdString(format::htmlTable(document::checkTable(summary, frequencyText)));

    // Two plots to a page.
    const auto plotPages = [&summary, sweeps](QPdfWriter &writer, QPainter &painter, const QSizeF &page,
                                              const QFont &font) {
        std::vector<CheckPlot> plots{CheckPlot::Swr, CheckPlot::Impedance, CheckPlot::GainAndFrontToBack,
                                     CheckPlot::Azimuth};
        if (!summary.elevationPattern.empty())
            plots.push_back(CheckPlot::Elevation);
        for (std::size_t i = 0; i < plots.size(); ++i) {
            if (i % 2 == 0)
                writer.newPage();
            const double half = page.height() / 2;
            paintCheckPlot(painter, QRectF(0, static_cast<double>(i % 2) * half, page.width(), half * 0.95), plots[i],
                           summary, font, Qt::black, sweeps);
        }
    };
    return htmlReportPdf(layout,
                         QStringLiteral("Tarvelin antenna check, %1")
                             .arg(QString::fromStdString(design::designTitle(frequencyText, summary.elements))),
                         html, plotPages);
}

} // namespace tarvelin
