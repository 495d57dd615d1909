// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

class QWidget;

namespace tarvelin {

// What a printout needs of a window: the window itself, for the window printout, and its height, which a
// printout shortens to leave out what is not meant for paper.
class PrintableWindow
{
public:
    virtual ~PrintableWindow() = default;

    [[nodiscard]] virtual QWidget &printedWindow() = 0;
    virtual void setOuterHeightTwips(int outerHeightTwips) = 0;
};

// The main window's print layout also hides, shows, recolours and captions labels, reached by their names.
class MainWindowPrintControls : public PrintableWindow
{
public:
    virtual void setLabelVisible(std::string_view name, bool visible) = 0;
    virtual void setLabelForeColor(std::string_view name, int index, std::uint32_t bgr) = 0;
    virtual void setLabelCaption(std::string_view name, const QString &caption) = 0;
    [[nodiscard]] virtual QString frequencyBoxText() const = 0;
};

} // namespace tarvelin
