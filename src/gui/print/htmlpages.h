// SPDX-License-Identifier: MIT
#pragma once

#include "core/format/document.h"

#include <QByteArray>

#include <functional>

class QDateTime;
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

// A document as a vector PDF in memory on the given paper: its pages, under the program's name and `when` it was
// printed, as many as it needs, then the pages `drawAfter` adds. Empty when it cannot be drawn.
[[nodiscard]] QByteArray documentPdf(const QPageLayout &layout, const format::Document &document, const QDateTime &when,
                                     const ReportPages &drawAfter);

} // namespace tarvelin
