// SPDX-License-Identifier: MIT
// A quad of several bands: the bands as a builder names them, and where each band's loops stand and meet the
// spreaders, on a spider and on a boom.
#include "core/design/nested.h"

#include <QTest>

#include <cmath>

using namespace tarvelin::design;

class TestNested : public QObject
{
    Q_OBJECT

private slots:
    void bandsAsTyped_data();
    void bandsAsTyped();
    void bandsRefused_data();
    void bandsRefused();
    void spiderArmsCarryEveryBand();
    void spiderFromTheArmsAngle();
    void boomHoldsEachElementInOnePlane();
    void settingsRefused_data();
    void settingsRefused();
};

void TestNested::bandsAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("frequencies");
    QTest::newRow("names") << "20m,15m,10m" << QStringList{"20m", "15m", "10m"}
                           << QStringList{"14.175", "21.225", "28.5"};
    // Lowest first, whatever the order typed; a frequency keeps its own text and names its band.
    QTest::newRow("mixed, out of order") << "10m, 14.2 ,15 M" << QStringList{"20m", "15m", "10m"}
                                         << QStringList{"14.2", "21.225", "28.5"};
    QTest::newRow("with the unit") << "14.05 MHz" << QStringList{"20m"} << QStringList{"14.05 MHz"};
    QTest::newRow("five bands") << "20m,17m,15m,12m,10m" << QStringList{"20m", "17m", "15m", "12m", "10m"}
                                << QStringList{"14.175", "18.118", "21.225", "24.94", "28.5"};
    QTest::newRow("band edges") << "7.0,54" << QStringList{"40m", "6m"} << QStringList{"7.0", "54"};
}

void TestNested::bandsAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, names);
    QFETCH(QStringList, frequencies);
    auto read = readBands(typed.toStdString());
    if (const auto *refusal = std::get_if<std::string>(&read))
        QFAIL(refusal->c_str());
    const std::vector<Band> &bands = std::get<std::vector<Band>>(read);
    QCOMPARE(bands.size(), static_cast<std::size_t>(names.size()));
    for (std::size_t i = 0; i < bands.size(); ++i) {
        QCOMPARE(QString::fromStdString(bands[i].name), names[static_cast<qsizetype>(i)]);
        QCOMPARE(QString::fromStdString(bands[i].frequencyText), frequencies[static_cast<qsizetype>(i)]);
    }
}

void TestNested::bandsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("nothing") << ""
                             << "Give the bands as names or frequencies separated by commas, such as 20m,15m,10m";
    QTest::newRow("an empty entry")
        << "20m,,10m"
        << "Give the bands as names or frequencies separated by commas, such as 20m,15m,10m";
    QTest::newRow("between bands") << "20m,16"
                                   << "16 MHz is in none of the bands a quad of several bands is built for: 40m, 30m, "
                                      "20m, 17m, 15m, 12m, 10m or 6m";
    QTest::newRow("below 40 m") << "80m"
                                << "'80m' is neither a band (40m, 30m, 20m, 17m, 15m, 12m, 10m or 6m) nor a "
                                   "frequency in MHz";
    QTest::newRow("a band twice") << "20m,15m,14.1"
                                  << "20m is given twice: each band has one set of loops";
    QTest::newRow("six bands") << "40m,20m,17m,15m,12m,10m"
                               << "Give at most 5 bands, not 6";
}

void TestNested::bandsRefused()
{
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    auto read = readBands(typed.toStdString());
    QVERIFY(std::holds_alternative<std::string>(read));
    QCOMPARE(QString::fromStdString(std::get<std::string>(read)), refusal);
}

namespace {

NestedGeometry nested(const char *bands, int elements, const NestedSettings &settings)
{
    auto made = nestedGeometry(std::get<std::vector<Band>>(readBands(bands)), elements, settings);
    if (const auto *refusal = std::get_if<std::string>(&made))
        qFatal("refused: %s", refusal->c_str());
    return std::get<NestedGeometry>(made);
}

} // namespace

// 20, 15 and 10 m on a spider at 0.14 wavelength. The 20 m reflector's side, 5.6713 m, puts its corners
// 5.6713 / sqrt(2) = 4.0102 m from the boom's axis; half of 0.14 x 299.792458 / 14.175 = 1.4805 m behind the
// hub, its mark is sqrt(4.0102^2 + 1.4805^2) = 4.2748 m along an arm leaning atan(1.4805 / 4.0102) = 20.26
// degrees back. Every other band's corners lie on the same straight arms, and so stand their own 0.14
// wavelength apart.
void TestNested::spiderArmsCarryEveryBand()
{
    NestedSettings settings;
    settings.layout = NestedLayout::Spider;
    const NestedGeometry spider = nested("20m,15m,10m", 2, settings);
    QCOMPARE(spider.loops.size(), std::size_t(6));
    const NestedLoop &reflector = spider.loop(0, 0);
    QVERIFY(std::fabs(reflector.attachmentMetres - 4.2748) < 5e-4);
    QVERIFY(std::fabs(spider.armAnglesDeg[0] + 20.26) < 0.01);
    QCOMPARE(reflector.stationMetres, 0.0); // the rearmost loop
    QVERIFY(std::fabs(spider.hubStationsMetres[0] - 1.4805) < 5e-4);
    for (std::size_t band = 0; band < spider.bands.size(); ++band) {
        QVERIFY2(std::fabs(spider.spacingWavelengths(band) - 0.14) < 0.002,
                 qPrintable(QString::number(spider.spacingWavelengths(band))));
        for (std::size_t element = 0; element < 2; ++element) {
            const NestedLoop &loop = spider.loop(band, element);
            const double lean =
                std::atan2(loop.stationMetres - spider.hubStationsMetres[element], loop.cornerRadiusMetres) * 180.0 /
                M_PI;
            QVERIFY(std::fabs(lean - spider.armAnglesDeg[element]) < 1e-9);
            QVERIFY(std::fabs(std::hypot(loop.cornerRadiusMetres, loop.offsetMetres) - loop.attachmentMetres) < 1e-9);
        }
    }
    // The shorter loops stand nearer the hub, inside the longer ones.
    QVERIFY(spider.loop(2, 0).stationMetres > spider.loop(1, 0).stationMetres);
    QVERIFY(spider.loop(2, 1).stationMetres < spider.loop(1, 1).stationMetres);
}

// Given the arms' angle instead, the reflector's arms lean that far and the spacing follows from it.
void TestNested::spiderFromTheArmsAngle()
{
    NestedSettings settings;
    settings.layout = NestedLayout::Spider;
    settings.spiderAngleDeg = 25.0;
    const NestedGeometry spider = nested("20m,15m", 2, settings);
    QVERIFY(std::fabs(spider.armAnglesDeg[0] + 25.0) < 1e-9);
    const double expected =
        2 * spider.loop(0, 0).cornerRadiusMetres * std::tan(25.0 * M_PI / 180.0) / (299.792458 / 14.175);
    QVERIFY(std::fabs(spider.spacingWavelengths(0) - expected) < 1e-9);
}

// On a boom each element's loops stand at one station, spaced 0.14 wavelength at the geometric mean of the
// bands, (14.175 x 21.225 x 28.5)^(1/3) = 20.4419 MHz: 0.14 x 299.792458 / 20.4419 = 2.0532 m, less the rounding
// of the window's 20 m spacing to the reflector-to-driver ratio.
void TestNested::boomHoldsEachElementInOnePlane()
{
    const NestedGeometry boom = nested("20m,15m,10m", 3, NestedSettings{});
    QCOMPARE(boom.loops.size(), std::size_t(9));
    for (std::size_t element = 0; element < 3; ++element)
        for (std::size_t band = 0; band < 3; ++band) {
            const NestedLoop &loop = boom.loop(band, element);
            QCOMPARE(loop.stationMetres, boom.hubStationsMetres[element]);
            QCOMPARE(loop.attachmentMetres, loop.cornerRadiusMetres);
        }
    QVERIFY2(std::fabs(boom.hubStationsMetres[1] - 2.0532) < 0.005,
             qPrintable(QString::number(boom.hubStationsMetres[1])));
    QVERIFY(boom.hubStationsMetres[2] > boom.hubStationsMetres[1]);
    QVERIFY(boom.spacingWavelengths(0) < 0.14 && boom.spacingWavelengths(2) > 0.14);
}

void TestNested::settingsRefused_data()
{
    QTest::addColumn<int>("elements");
    QTest::addColumn<int>("layout");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("angle");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("five elements") << 5 << 0 << 0.14 << 0.0
                                   << "A quad of several bands has 2 to 4 elements on every band";
    QTest::newRow("spacing too wide") << 2 << 1 << 0.5 << 0.0 << "The spacing must be 0.05 to 0.3 of a wavelength";
    QTest::newRow("angle on a boom") << 2 << 0 << 0.14 << 20.0
                                     << "The arms' angle is a spider's: on a boom the spreaders stand across it";
    QTest::newRow("arms too flat") << 2 << 1 << 0.14 << 60.0
                                   << "The arms' angle must be 5 to 45 degrees from the plane across the boom";
}

void TestNested::settingsRefused()
{
    QFETCH(int, elements);
    QFETCH(int, layout);
    QFETCH(double, spacing);
    QFETCH(double, angle);
    QFETCH(QString, refusal);
    NestedSettings settings;
    settings.layout = layout == 0 ? NestedLayout::Boom : NestedLayout::Spider;
    settings.spacingWavelengths = spacing;
    if (angle > 0)
        settings.spiderAngleDeg = angle;
    auto made = nestedGeometry(std::get<std::vector<Band>>(readBands("20m,15m")), elements, settings);
    QVERIFY(std::holds_alternative<std::string>(made));
    QCOMPARE(QString::fromStdString(std::get<std::string>(made)), refusal);
}

QTEST_GUILESS_MAIN(TestNested)
#include "tst_nested.moc"
