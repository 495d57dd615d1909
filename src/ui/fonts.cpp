// SPDX-License-Identifier: MIT
#include "ui/fonts.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>

#include <fontconfig/fontconfig.h>

namespace tarvelin {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

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

FontConfigurationWarmUp::FontConfigurationWarmUp() : m_reader([] { FcInit(); }) {}

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
    const QDir wineFonts(QStringLiteral("/usr/share/wine/fonts"));
    for (const char *file : {"tahoma.ttf", "tahomabd.ttf", "small_fonts.ttf", "ms_sans_serif.ttf"}) {
        const QString path = wineFonts.filePath(QLatin1StringView(file));
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
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
