// SPDX-License-Identifier: MIT
#include "gui/print/checkreport.h"

#include "core/document/checktable.h"

#include "gui/print/checkplots.h"
#include "gui/print/htmlpages.h"

#include <QDateTime>
#include <QPainter>
#include <QPdfWriter>

#include <vector>

namespace tarvelin {

QByteArray checkReportPdf(const design::CheckSettings &settings, const check::CheckSummary &summary,
                          const QPageLayout &layout, const QDateTime &when,
                          std::span<const measure::MeasuredSweep> sweeps, const check::Goals &goals)
{
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
    return documentPdf(layout, document::checkDocument(summary, settings, sweeps, goals), when, plotPages);
}

} // namespace tarvelin
