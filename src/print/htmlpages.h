// SPDX-License-Identifier: MIT
#pragma once

class QFont;
class QPainter;
class QPdfWriter;
class QSizeF;
class QString;

namespace tarvelin {

// Draws an HTML document over as many pages of the writer's paper as it needs, from the current page on,
// with the painter that is open on the writer. Gives the size of a page's printable area in the painter's
// units, for what is drawn on the pages after it.
QSizeF paintHtmlPages(QPdfWriter &writer, QPainter &painter, const QString &html, const QFont &font);

} // namespace tarvelin
