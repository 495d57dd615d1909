// SPDX-License-Identifier: MIT
#pragma once

#include "runtime/printer.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <vector>

// Stands in for the printer in tests: a device name to report (none for "no printer available"), and each
// printed page kept as an image of the window at the moment of printing, drawn by the same code as the
// real page. A reason to fail makes every printout fail with it.
class CapturingPrinter final : public tarvelin::PrinterService
{
public:
    std::optional<std::string> deviceName() override
    {
        ++deviceNameReads;
        return name;
    }

    std::optional<std::string> printWindow(QWidget &window) override
    {
        QImage page(window.size(), QImage::Format_ARGB32);
        page.fill(Qt::magenta); // anything the window does not cover shows up
        {
            QPainter painter(&page);
            tarvelin::renderWindow(painter, window);
        }
        pages.push_back(page);
        return failure;
    }

    std::optional<std::string> name = std::string("Office Laser");
    std::optional<std::string> failure;
    std::vector<QImage> pages;
    int deviceNameReads = 0;
};
