// SPDX-License-Identifier: MIT
#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>

namespace tarvelin {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

// The free faces of Debian's fonts-wine, by file, with the family each one gives.
struct BundledFace
{
    const char *file;
    const char *family;
};
constexpr char kBundledFacesFolder[] = "/usr/share/wine/fonts/";
constexpr std::array<BundledFace, 4> kBundledFaces{{{"tahoma.ttf", "Tahoma"},
                                                    {"tahomabd.ttf", "Tahoma"},
                                                    {"small_fonts.ttf", "Small Fonts"},
                                                    {"ms_sans_serif.ttf", "MS Sans Serif"}}};

std::string bundledFacePath(const BundledFace &face)
{
    return std::string(kBundledFacesFolder) + face.file;
}

bool installed(const BundledFace &face)
{
    return ::access(bundledFacePath(face).c_str(), R_OK) == 0;
}

// Set by the warm-up once every installed bundled face is in fontconfig's own list of application fonts.
std::atomic<bool> bundledFacesInFontconfig{false};

QFont makeFont(const QString &family, const QStringList &fallbacks, double points, QFont::Weight weight)
{
    QFont font;
    font.setFamilies(QStringList{family} + fallbacks);
    font.setPixelSize(qRound(points * kPixelsPerPoint));
    font.setWeight(weight);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace

FontConfigurationWarmUp::FontConfigurationWarmUp()
    : m_reader([] {
          FcInit();
          // The bundled faces join fontconfig's application fonts here, so that Qt's first look at the
          // installed fonts finds them with the others and the main thread has no font files to read.
          bool added = true;
          for (const BundledFace &face : kBundledFaces) {
              if (!installed(face))
                  continue;
              const std::string path = bundledFacePath(face);
              added &= FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8 *>(path.c_str())) == FcTrue;
          }
          bundledFacesInFontconfig = added;
      })
{
}

FontConfigurationWarmUp::~FontConfigurationWarmUp()
{
    wait();
}

void FontConfigurationWarmUp::wait()
{
    if (m_reader.joinable())
        m_reader.join();
}

void loadBundledFonts()
{
    // After the warm-up the faces are already known, unless Qt read the list of fonts before they joined.
    const auto known = [](const BundledFace &face) {
        return !installed(face) || QFontDatabase::hasFamily(QString::fromLatin1(face.family));
    };
    if (bundledFacesInFontconfig && std::all_of(kBundledFaces.begin(), kBundledFaces.end(), known))
        return;
    for (const BundledFace &face : kBundledFaces)
        if (installed(face))
            QFontDatabase::addApplicationFont(QString::fromStdString(bundledFacePath(face)));
}

QFont fontFor(FontRole role)
{
    static const QStringList sansFallbacks{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                           QStringLiteral("sans-serif")};
    switch (role) {
    case FontRole::Control:
        return makeFont(QStringLiteral("Tahoma"), sansFallbacks, 9.75, QFont::Bold);
    case FontRole::Credits: {
        // "Small Fonts" is a bitmap face: drawn at its own size it is crisp, stretched over a high-dpi
        // screen its letters fall apart, so there the nearest smooth face stands in.
        const QString smallFonts = QStringLiteral("Small Fonts");
        const bool crisp =
            qFuzzyCompare(qApp->devicePixelRatio(), 1.0) || QFontDatabase::isSmoothlyScalable(smallFonts);
        return makeFont(crisp ? smallFonts : sansFallbacks.front(), sansFallbacks, 6.75, QFont::Normal);
    }
    case FontRole::Backdrop:
        return makeFont(QStringLiteral("MS Sans Serif"), sansFallbacks, 9.75, QFont::Bold);
    case FontRole::Default:
        break;
    }
    return QApplication::font();
}

} // namespace tarvelin
