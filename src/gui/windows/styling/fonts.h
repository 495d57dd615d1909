// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

#include <thread>

namespace tarvelin {

// The three faces the windows are drawn in, by role.
enum class FontRole
{
    Control,  // "Tahoma" 9.75 pt bold: every caption, cell and button
    Credits,  // "Small Fonts" 6.75 pt regular: the two credits lines
    Backdrop, // "MS Sans Serif" 9.75 pt bold: the grid backdrop, which never shows text
    Default,  // the window's own font, for a label that never shows text
};

// Reads the system's font configuration, and adds the bundled faces below to it, on a worker thread from
// construction on, so that the work overlaps Qt's connection to the display instead of delaying the first
// window; the first font lookup would otherwise do it on the way to the first paint. Made before the
// QApplication, waited for before the fonts are loaded.
class FontConfigurationWarmUp
{
public:
    FontConfigurationWarmUp();
    ~FontConfigurationWarmUp();
    FontConfigurationWarmUp(const FontConfigurationWarmUp &) = delete;
    FontConfigurationWarmUp &operator=(const FontConfigurationWarmUp &) = delete;

    void wait();

private:
    std::thread m_reader;
};

// Registers the free faces of those names shipped with Debian's fonts-wine, where they are installed and no
// face of that family is known yet, so the windows look as drawn; after the warm-up there is nothing left to
// do. Where they are missing, Qt falls back to the nearest installed face.
void loadBundledFonts();

// The font of a role, sized in device-independent pixels (points at 96 dpi) so that text keeps its place in
// the twips layout whatever dpi the screen reports. Made after loadBundledFonts, a font of a bundled family
// that is there names no other family; Qt still finds a stand-in for any character the face lacks.
[[nodiscard]] QFont fontFor(FontRole role);

} // namespace tarvelin
