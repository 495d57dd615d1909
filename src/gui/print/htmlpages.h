// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <functional>

class QFont;
class QPageLayout;
class QPainter;
class QPdfWriter;
class QSizeF;
class QString;

namespace tarvelin {

// What a report draws on its own pages after its text: given the writer (for new pages), the painter, the
// size of a page's printable area in the painter's units and the font the text is set in.
using ReportPages = std::function<void(QPdfWriter &, QPainter &, const QSizeF &, const QFont &)>;

// An anchor (<a name="...">) that marks the start of a report's closing section: a heading, its table and the
// lines after it, kept on one page where they would otherwise break onto a page of their own.
inline constexpr char kKeepWithEnd[] = "keep-with-end";

// A report as a vector PDF in memory on the given paper: its HTML over as many pages as it needs, then the
// pages `drawAfter` adds. Empty when it cannot be drawn.
[[nodiscard]] QByteArray htmlReportPdf(const QPageLayout &layout, const QString &title, const QString &html,
                                       const ReportPages &drawAfter);

} // namespace tarvelin
