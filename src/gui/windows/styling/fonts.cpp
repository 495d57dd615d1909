// SPDX-License-Identifier: MIT
#include "gui/windows/styling/fonts.h"

#include <QApplication>
#include <QFontDatabase>

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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

// The bundled families Qt knows, as loadBundledFonts last found them; read and written on the GUI thread.
QStringList knownBundledFamilies;

QFont makeFont(const QString &family, const QStringList &fallbacks, double points, QFont::Weight weight)
{
    QFont font;
    // A bundled face that is there needs no stand-ins named up front: naming them has fontconfig sort every
    // installed face when the font is first used, and should a character ever be missing from the face, Qt
    // still asks fontconfig for one then.
    font.setFamilies(knownBundledFamilies.contains(family) ? QStringList{family} : QStringList{family} + fallbacks);
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
          for (const BundledFace &face : kBundledFaces) {
              if (!installed(face))
                  continue;
              const std::string path = bundledFacePath(face);
              FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8 *>(path.c_str()));
          }
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
    // One look at the list of families answers that for every face; asking for each family by name would
    // have fontconfig resolve the name as an alias first, which costs more than the whole list.
    QStringList families = QFontDatabase::families();
    const auto known = [&families](const BundledFace &face) {
        return families.contains(QLatin1String(face.family), Qt::CaseInsensitive);
    };
    bool added = false;
    for (const BundledFace &face : kBundledFaces) {
        if (installed(face) && !known(face)) {
            QFontDatabase::addApplicationFont(QString::fromStdString(bundledFacePath(face)));
            added = true;
        }
    }
    if (added)
        families = QFontDatabase::families();
    knownBundledFamilies.clear();
    for (const BundledFace &face : kBundledFaces)
        if (known(face) && !knownBundledFamilies.contains(QLatin1String(face.family)))
            knownBundledFamilies.append(QString::fromLatin1(face.family));
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
