// SPDX-License-Identifier: MIT
#include "runtime/cupsprinter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QWidget>

#include <cups/cups.h>

namespace tarvelin {

namespace {

// Device-independent pixels are 15 twips, 96 to the inch; the page is drawn finely enough that the printer's
// own resolution decides the sharpness.
constexpr double kPixelsPerInch = 96.0;
constexpr int kPageResolution = 1200;

} // namespace

std::optional<std::string> CupsPrinterService::deviceName()
{
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty())
        return std::nullopt;
    return name.toStdString();
}

std::optional<std::string> CupsPrinterService::printWindow(QWidget &window)
{
    const std::optional<std::string> queue = deviceName();
    if (!queue)
        return std::string("no printer is available");

    // The queue's paper and printable area.
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QString::fromStdString(*queue));
    const QPageLayout layout = printer.pageLayout();

    QTemporaryFile page(QStringLiteral("tarvelin-XXXXXX.pdf"));
    if (!page.open())
        return "cannot write the page: " + page.errorString().toStdString();
    {
        QPdfWriter writer(&page);
        writer.setPageLayout(layout);
        writer.setResolution(kPageResolution);
        writer.setTitle(window.windowTitle());
        writer.setCreator(QStringLiteral("Tarvelin"));
        QPainter painter(&writer);
        if (!painter.isActive())
            return std::string("cannot draw the page");
        const double scale = kPageResolution / kPixelsPerInch;
        painter.scale(scale, scale);
        renderWindow(painter, window);
    }
    page.close();

    const int job = cupsPrintFile(queue->c_str(), page.fileName().toLocal8Bit().constData(),
                                  window.windowTitle().toUtf8().constData(), 0, nullptr);
    if (job == 0)
        return std::string(cupsLastErrorString());
    return std::nullopt;
}

} // namespace tarvelin
