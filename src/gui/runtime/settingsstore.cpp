// SPDX-License-Identifier: MIT
#include "gui/runtime/settingsstore.h"

#include "core/design/designlengths.h"
#include "core/design/checksettings.h"
#include "core/design/feedrun.h"
#include "core/tune/tuner.h"
#include "core/shop/shopsettings.h"

#include <QDir>

namespace tarvelin {

namespace {

// The keys, each named once.
namespace key {
const QString kWireMm = QStringLiteral("antennaCheck/wireMm");
const QString kAwg = QStringLiteral("antennaCheck/awg");
const QString kSegments = QStringLiteral("antennaCheck/segments");
const QString kSpan = QStringLiteral("antennaCheck/span");
const QString kPoints = QStringLiteral("antennaCheck/points");
const QString kZ0 = QStringLiteral("antennaCheck/z0");
const QString kCopper = QStringLiteral("antennaCheck/copper");
const QString kOverGround = QStringLiteral("antennaCheck/overGround");
const QString kHeight = QStringLiteral("antennaCheck/height");
const QString kTuneBand = QStringLiteral("antennaCheck/tuneBand");
const QString kInsulation = QStringLiteral("antennaCheck/insulationMm");
const QString kPermittivity = QStringLiteral("antennaCheck/permittivity");
const QString kCheckElements = QStringLiteral("antennaCheck/elements");
const QString kCheckFrequency = QStringLiteral("antennaCheck/frequency");
const QString kCheckBands = QStringLiteral("antennaCheck/bands");
const QString kShopFrequency = QStringLiteral("shopSheet/frequency");
const QString kGoalSwr = QStringLiteral("antennaCheck/goalSwr");
const QString kGoalFb = QStringLiteral("antennaCheck/goalFb");
const QString kMoveStations = QStringLiteral("antennaCheck/moveStations");
const QString kBoom = QStringLiteral("antennaCheck/boom");
const QString kCheckMatch = QStringLiteral("antennaCheck/match");
const QString kShopMatch = QStringLiteral("shopSheet/match");
const QString kShopElements = QStringLiteral("shopSheet/elements");
const QString kMeasuredElements = QStringLiteral("shopSheet/measuredElements");
const QString kShopLine = QStringLiteral("shopSheet/z0");
const QString kStep = QStringLiteral("shopSheet/step");
const QString kAllowance = QStringLiteral("shopSheet/allowance");
const QString kHubOffset = QStringLiteral("shopSheet/hubOffset");
const QString kMeasured = QStringLiteral("shopSheet/measured");
const QString kMeasuredFor = QStringLiteral("shopSheet/measuredFor");
const QString kSaveFolder = QStringLiteral("files/saveFolder");
} // namespace key

double storedNumber(const QSettings &settings, const QString &name, double fallback, double lowest, double highest)
{
    bool number = false;
    const double value = settings.value(name).toDouble(&number);
    return number && value >= lowest && value <= highest ? value : fallback;
}

// A count that must be odd (segments, points), so that the feed and the design frequency fall in the middle.
int storedOdd(const QSettings &settings, const QString &name, int fallback, int lowest, int highest)
{
    bool number = false;
    const int value = settings.value(name).toInt(&number);
    return number && value >= lowest && value <= highest && value % 2 == 1 ? value : fallback;
}

int storedWhole(const QSettings &settings, const QString &name, int fallback, int lowest, int highest)
{
    bool number = false;
    const int value = settings.value(name).toInt(&number);
    return number && value >= lowest && value <= highest ? value : fallback;
}

// A match as kept: its kind by name, a section's line as "z0 vf", or as " vf cable" where it is cut from a cable
// of the table (whose name may hold a blank); a value no reader takes is a direct feed.
design::Match storedMatch(const QSettings &settings, const QString &name)
{
    const QStringList parts = settings.value(name).toString().split(QLatin1Char(' '));
    const auto read =
        design::readMatch({parts.value(0).toStdString(), parts.value(1).toStdString(), parts.value(2).toStdString(),
                           parts.mid(3).join(QLatin1Char(' ')).toStdString()});
    return std::holds_alternative<design::Match>(read) ? std::get<design::Match>(read) : design::Match{};
}

QString matchText(const design::Match &match)
{
    QString text = QString::fromLatin1(design::matchKindName(match.kind));
    if (match.kind == design::MatchKind::QuarterWave)
        text += match.line.empty()
                    ? QStringLiteral(" %1 %2").arg(match.z0Ohms, 0, 'g', 17).arg(match.velocityFactor, 0, 'g', 17)
                    : QStringLiteral("  %1 %2")
                          .arg(match.velocityFactor, 0, 'g', 17)
                          .arg(QString::fromStdString(match.line));
    return text;
}

bool storedFlag(const QSettings &settings, const QString &name, bool fallback)
{
    const QVariant value = settings.value(name);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString();
    if (text == QStringLiteral("true") || text == QStringLiteral("false"))
        return text == QStringLiteral("true");
    return fallback;
}

// Under `group`: "antennaCheck/through…" or "shopSheet/through…".
ThroughSettings storedThrough(const QSettings &settings, const QString &group)
{
    const ThroughSettings defaults;
    ThroughSettings read;
    read.line = storedFlag(settings, group + QStringLiteral("/throughLine"), false);
    const QString length = settings.value(group + QStringLiteral("/throughLength")).toString();
    read.length = length.isEmpty() ? defaults.length : length;
    read.z0Ohms = storedNumber(settings, group + QStringLiteral("/throughZ0"), defaults.z0Ohms,
                               design::limits::kLowestRunZ0Ohms, design::limits::kHighestRunZ0Ohms);
    read.velocityFactor =
        storedNumber(settings, group + QStringLiteral("/throughVf"), defaults.velocityFactor,
                     design::limits::kLowestRunVelocityFactor, design::limits::kHighestRunVelocityFactor);
    read.lossDbPer100m = storedNumber(settings, group + QStringLiteral("/throughLoss"), defaults.lossDbPer100m, 0.0,
                                      design::limits::kHighestRunLossDbPer100m);
    read.match = storedFlag(settings, group + QStringLiteral("/throughMatch"), false);
    read.cable = settings.value(group + QStringLiteral("/throughCable")).toString();
    return read;
}

void storeThrough(QSettings &settings, const QString &group, const ThroughSettings &through)
{
    settings.setValue(group + QStringLiteral("/throughLine"), through.line);
    settings.setValue(group + QStringLiteral("/throughLength"), through.length);
    settings.setValue(group + QStringLiteral("/throughZ0"), through.z0Ohms);
    settings.setValue(group + QStringLiteral("/throughVf"), through.velocityFactor);
    settings.setValue(group + QStringLiteral("/throughLoss"), through.lossDbPer100m);
    settings.setValue(group + QStringLiteral("/throughMatch"), through.match);
    settings.setValue(group + QStringLiteral("/throughCable"), through.cable);
}

} // namespace

CheckWindowSettings SettingsStore::checkWindow() const
{
    const design::CheckSettings defaults;
    CheckWindowSettings read;
    read.wireMm = storedNumber(m_settings, key::kWireMm, defaults.wireDiameterMm, design::limits::kLowestWireMm,
                               design::limits::kHighestWireMm);
    const int awg = static_cast<int>(
        storedNumber(m_settings, key::kAwg, 0, design::limits::kLowestAwg, design::limits::kHighestAwg));
    read.awg = awg;
    read.segments = storedOdd(m_settings, key::kSegments, defaults.segments, design::limits::kFewestSegments,
                              design::limits::kMostSegments);
    read.spanPercent = storedNumber(m_settings, key::kSpan, defaults.spanPercent, design::limits::kNarrowestSpanPercent,
                                    design::limits::kWidestSpanPercent);
    read.points = storedOdd(m_settings, key::kPoints, defaults.points, design::limits::kFewestPoints,
                            design::limits::kMostPoints);
    // The lines the window offers.
    const double z0 = storedNumber(m_settings, key::kZ0, defaults.z0Ohms, design::limits::kLowestZ0Ohms,
                                   design::limits::kHighestZ0Ohms);
    read.z0Ohms = z0 == 50.0 || z0 == 75.0 ? z0 : defaults.z0Ohms;
    read.copper = storedFlag(m_settings, key::kCopper, !defaults.lossless);
    read.overGround = storedFlag(m_settings, key::kOverGround, false);
    read.groundHeight = m_settings.value(key::kHeight).toString();
    read.frequency = m_settings.value(key::kCheckFrequency).toString();
    read.bands = m_settings.value(key::kCheckBands).toString();
    read.tuneBandPercent = storedNumber(m_settings, key::kTuneBand, tune::TuneSettings{}.bandPercent,
                                        tune::limits::kLowestBandPercent, tune::limits::kHighestBandPercent);
    read.elements = storedWhole(m_settings, key::kCheckElements, design::kMostElements, design::kFewestElements,
                                design::kMostElements);
    const tune::TuneSettings tune;
    read.goalSwr = storedNumber(m_settings, key::kGoalSwr, tune.maxSwr, tune::limits::kLowestGoalSwr,
                                tune::limits::kHighestGoalSwr);
    read.goalFrontToBackDb =
        storedNumber(m_settings, key::kGoalFb, tune.minFrontToBackDb, tune::limits::kLowestGoalFrontToBackDb,
                     tune::limits::kHighestGoalFrontToBackDb);
    read.moveStations = storedFlag(m_settings, key::kMoveStations, false);
    read.boom = m_settings.value(key::kBoom).toString();
    read.match = storedMatch(m_settings, key::kCheckMatch);
    read.through = storedThrough(m_settings, QStringLiteral("antennaCheck"));
    read.insulationMm =
        storedNumber(m_settings, key::kInsulation, defaults.insulationMm, 0.0, design::limits::kThickestInsulationMm);
    read.permittivity = storedNumber(m_settings, key::kPermittivity, defaults.permittivity,
                                     design::limits::kLowestPermittivity, design::limits::kHighestPermittivity);
    return read;
}

void SettingsStore::setCheckWindow(const CheckWindowSettings &settings)
{
    m_settings.setValue(key::kWireMm, settings.wireMm);
    m_settings.setValue(key::kAwg, settings.awg);
    m_settings.setValue(key::kSegments, settings.segments);
    m_settings.setValue(key::kSpan, settings.spanPercent);
    m_settings.setValue(key::kPoints, settings.points);
    m_settings.setValue(key::kZ0, settings.z0Ohms);
    m_settings.setValue(key::kCopper, settings.copper);
    m_settings.setValue(key::kOverGround, settings.overGround);
    m_settings.setValue(key::kHeight, settings.groundHeight);
    m_settings.setValue(key::kCheckFrequency, settings.frequency);
    m_settings.setValue(key::kCheckBands, settings.bands);
    m_settings.setValue(key::kTuneBand, settings.tuneBandPercent);
    m_settings.setValue(key::kInsulation, settings.insulationMm);
    m_settings.setValue(key::kPermittivity, settings.permittivity);
    m_settings.setValue(key::kCheckElements, settings.elements);
    m_settings.setValue(key::kGoalSwr, settings.goalSwr);
    m_settings.setValue(key::kGoalFb, settings.goalFrontToBackDb);
    m_settings.setValue(key::kMoveStations, settings.moveStations);
    m_settings.setValue(key::kBoom, settings.boom);
    m_settings.setValue(key::kCheckMatch, matchText(settings.match));
    setCheckThrough(settings.through);
}

void SettingsStore::setCheckThrough(const ThroughSettings &through)
{
    storeThrough(m_settings, QStringLiteral("antennaCheck"), through);
}

ShopWindowSettings SettingsStore::shopWindow() const
{
    ShopWindowSettings read;
    const int step = m_settings.value(key::kStep).toInt();
    read.step = shop::isFractionStep(step) ? step : shop::ShopSettings{}.step;
    read.allowance = m_settings.value(key::kAllowance).toString();
    read.hubOffset = m_settings.value(key::kHubOffset).toString();
    read.frequency = m_settings.value(key::kShopFrequency).toString();
    read.elements = storedWhole(m_settings, key::kShopElements, design::kMostElements, design::kFewestElements,
                                design::kMostElements);
    read.measuredElements = storedWhole(m_settings, key::kMeasuredElements, design::kMostElements,
                                        design::kFewestElements, design::kMostElements);
    // The lines the window offers.
    const double line = storedNumber(m_settings, key::kShopLine, 50.0, 50.0, 75.0);
    read.lineZ0Ohms = line == 75.0 ? 75.0 : 50.0;
    read.match = storedMatch(m_settings, key::kShopMatch);
    read.through = storedThrough(m_settings, QStringLiteral("shopSheet"));
    // A measured resonance belongs to the design it was measured on.
    read.measuredFor = m_settings.value(key::kMeasuredFor).toString();
    if (!read.measuredFor.isEmpty())
        read.measured = m_settings.value(key::kMeasured).toString();
    return read;
}

void SettingsStore::setShopWindow(const ShopWindowSettings &settings)
{
    const bool measured = !settings.measured.trimmed().isEmpty();
    m_settings.setValue(key::kStep, settings.step);
    m_settings.setValue(key::kAllowance, settings.allowance);
    m_settings.setValue(key::kHubOffset, settings.hubOffset);
    m_settings.setValue(key::kShopFrequency, settings.frequency);
    m_settings.setValue(key::kShopElements, settings.elements);
    m_settings.setValue(key::kMeasuredElements, measured ? settings.measuredElements : design::kMostElements);
    m_settings.setValue(key::kShopLine, settings.lineZ0Ohms);
    m_settings.setValue(key::kShopMatch, matchText(settings.match));
    setShopThrough(settings.through);
    m_settings.setValue(key::kMeasured, measured ? settings.measured : QString());
    m_settings.setValue(key::kMeasuredFor, measured ? settings.measuredFor : QString());
}

void SettingsStore::setShopThrough(const ThroughSettings &through)
{
    storeThrough(m_settings, QStringLiteral("shopSheet"), through);
}

QByteArray SettingsStore::geometry(const QString &window) const
{
    return m_settings.value(window + QStringLiteral("/geometry")).toByteArray();
}

void SettingsStore::setGeometry(const QString &window, const QByteArray &geometry)
{
    m_settings.setValue(window + QStringLiteral("/geometry"), geometry);
}

QString SettingsStore::saveFolder() const
{
    const QString folder = m_settings.value(key::kSaveFolder).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void SettingsStore::setSaveFolder(const QString &folder)
{
    m_settings.setValue(key::kSaveFolder, folder);
}

} // namespace tarvelin
