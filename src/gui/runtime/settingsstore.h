// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QSettings>
#include "core/design/feed.h"

#include <QString>

namespace tarvelin {

// The Antenna Check's settings as last used, each within its limits.
// What a window's sweeps were last declared measured through, as its fields showed it.
struct ThroughSettings
{
    bool line = false;
    QString length = QStringLiteral("10 m"); // as typed
    double z0Ohms = 50.0;
    double velocityFactor = 0.66;
    double lossDbPer100m = 0.0;
    bool match = false;
    QString cable; // from the table; none for a line typed by its figures
};

struct CheckWindowSettings
{
    QString frequency; // as typed
    QString bands;     // a quad of several bands, as typed; empty for the frequency's design
    double wireMm = 0.0;
    int awg = 0; // 0: the wire is given by its diameter
    int segments = 0;
    double spanPercent = 0.0;
    int points = 0;
    double z0Ohms = 0.0;
    bool copper = true;
    bool overGround = false;
    QString groundHeight;
    double tuneBandPercent = 0.0;
    double insulationMm = 0.0; // bare wire
    double permittivity = 0.0;
    int elements = 7;
    double goalSwr = 1.5;
    double goalFrontToBackDb = 20.0;
    bool moveStations = false;
    QString boom; // as typed
    design::Match match;
    ThroughSettings through;
};

// The Shop Sheet's settings as last used: the step, the lengths as typed, and a measured resonance with the
// design label it was measured for.
struct ShopWindowSettings
{
    QString frequency; // as typed
    int step = 0;
    QString allowance;
    QString hubOffset;
    QString measured;
    QString measuredFor;
    int elements = 7;
    int measuredElements = 7; // of the design the measurement is for
    double lineZ0Ohms = 50.0; // the feed line a sweep's SWR is read against
    design::Match match;
    ThroughSettings through;
};

// Everything Tarvelin keeps between runs, in the desktop's settings file under the organisation and program
// names: each key once, its default and its limits taken from the core's tables. A value a hand-edited file
// or another version left outside its limits reads as the default.
class SettingsStore
{
public:
    [[nodiscard]] CheckWindowSettings checkWindow() const;
    void setCheckWindow(const CheckWindowSettings &settings);
    // What the sweeps were measured through, kept as soon as it changes.
    void setCheckThrough(const ThroughSettings &through);

    [[nodiscard]] ShopWindowSettings shopWindow() const;
    void setShopWindow(const ShopWindowSettings &settings);
    void setShopThrough(const ThroughSettings &through);

    // A window's size and place, under its name.
    [[nodiscard]] QByteArray geometry(const QString &window) const;
    void setGeometry(const QString &window, const QByteArray &geometry);

    // The folder the last file was saved in, for the next save dialog; the home folder at first.
    [[nodiscard]] QString saveFolder() const;
    void setSaveFolder(const QString &folder);

private:
    QSettings m_settings;
};

} // namespace tarvelin
