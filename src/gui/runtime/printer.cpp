// SPDX-License-Identifier: MIT
#include "gui/runtime/printer.h"

#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QWidget>

namespace tarvelin {

namespace {

// Device-independent pixels are 15 twips, 96 to the inch; the page is drawn finely enough that the printer's
// own resolution decides the sharpness.
constexpr double kPixelsPerInch = 96.0;
constexpr int kPageResolution = 1200;

} // namespace

QPageLayout localPaperLayout()
{
    const bool usPaper = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(usPaper ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Point);
}

bool writeWindowPdf(QIODevice &device, QWidget &window, const QPageLayout &layout)
{
    QPdfWriter writer(&device);
    writer.setPageLayout(layout);
    writer.setResolution(kPageResolution);
    writer.setTitle(window.windowTitle());
    writer.setCreator(QStringLiteral("Tarvelin"));
    QPainter painter(&writer);
    if (!painter.isActive())
        return false;
    const double scale = kPageResolution / kPixelsPerInch;
    painter.scale(scale, scale);
    renderWindow(painter, window);
    return true;
}

void renderWindow(QPainter &painter, QWidget &window)
{
    window.render(&painter, QPoint(0, 0), QRegion(window.rect()),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

} // namespace tarvelin
