// SPDX-License-Identifier: MIT
// The model's settings as typed, read against their limits, and the sweep they make around the design
// frequency.
#include "core/design/arraydesign.h"
#include "core/design/checksettings.h"

#include <QTest>

#include <cmath>

using namespace tarvelin::design;

class TestCheckSettings : public QObject
{
    Q_OBJECT

private slots:
    void sweepIsCentred();
    void settingsReadAgainstTheirLimits_data();
    void settingsReadAgainstTheirLimits();
};

void TestCheckSettings::sweepIsCentred()
{
    CheckSettings settings;
    const std::vector<double> sweep = sweepFrequencies(14.2, settings);
    QCOMPARE(sweep.size(), std::size_t(13));
    QCOMPARE(sweep[6], 14.2);
    QVERIFY(std::fabs(sweep.front() - 13.774) < 1e-9);
    QVERIFY(std::fabs(sweep.back() - 14.626) < 1e-9);
}

// Each setting is read from its text against its limits, and a refusal names the setting and states the
// limits; an empty text is the default.
void TestCheckSettings::settingsReadAgainstTheirLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refused"); // -1: read
    QTest::newRow("defaults") << ""
                              << "" << -1;
    QTest::newRow("thinnest wire") << "wire"
                                   << "0.1" << -1;
    QTest::newRow("wire too thin") << "wire"
                                   << "0.09" << int(CheckSetting::WireDiameter);
    QTest::newRow("wire as a word") << "wire"
                                    << "thick" << int(CheckSetting::WireDiameter);
    QTest::newRow("gauge 30") << "awg"
                              << "30" << int(CheckSetting::Awg);
    QTest::newRow("even segments") << "segments"
                                   << "12" << int(CheckSetting::Segments);
    QTest::newRow("most segments") << "segments"
                                   << "51" << -1;
    QTest::newRow("span of 50 %") << "span"
                                  << "50" << int(CheckSetting::Span);
    QTest::newRow("even points") << "points"
                                 << "4" << int(CheckSetting::Points);
    QTest::newRow("10000 ohms") << "z0"
                                << "10000" << int(CheckSetting::Z0);
    QTest::newRow("75 ohms") << "z0"
                             << "75" << -1;
    QTest::newRow("boom in the ground") << "height"
                                        << "0 m" << int(CheckSetting::GroundHeight);
    QTest::newRow("boom at 1000 m") << "height"
                                    << "1000 m" << int(CheckSetting::GroundHeight);
    QTest::newRow("boom at 50 ft") << "height"
                                   << "50 ft" << -1;
}

void TestCheckSettings::settingsReadAgainstTheirLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(int, refused);
    tarvelin::design::CheckSettingTexts texts;
    const std::string typed = text.toStdString();
    if (field == "wire")
        texts.wireMm = typed;
    else if (field == "awg")
        texts.awg = typed;
    else if (field == "segments")
        texts.segments = typed;
    else if (field == "span")
        texts.span = typed;
    else if (field == "points")
        texts.points = typed;
    else if (field == "z0")
        texts.z0 = typed;
    else if (field == "height")
        texts.groundHeight = typed;
    auto read = readCheckSettings(texts);
    if (refused < 0) {
        QVERIFY(std::holds_alternative<CheckSettings>(read));
        return;
    }
    QVERIFY(std::holds_alternative<tarvelin::design::CheckSettingRefusal>(read));
    const tarvelin::design::CheckSettingRefusal &refusal = std::get<tarvelin::design::CheckSettingRefusal>(read);
    QCOMPARE(int(refusal.setting), refused);
    // The message states the limits it holds the setting to.
    QVERIFY2(refusal.message.find(" to ") != std::string::npos || refusal.message.find("below") != std::string::npos,
             refusal.message.c_str());
}

QTEST_GUILESS_MAIN(TestCheckSettings)
#include "tst_checksettings.moc"
