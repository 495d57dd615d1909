// SPDX-License-Identifier: MIT
// The shop sheet worked out from the window's texts, checked against lengths worked out by hand from the
// worked examples of the grid, and the settings it refuses.
#include "core/document/checktable.h"
#include "core/design/checksettings.h"
#include "core/design/designlengths.h"
#include "core/shop/sheetsource.h"
#include "core/shop/shopsheet.h"
#include "core/format/jsonwriter.h"
#include "core/shop/shopsheettext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace tarvelin;
using namespace tarvelin::shop;

namespace {

ShopSheet sheetFor(const char *frequency, const ShopSettings &settings)
{
    auto made = makeShopSheet(frequency, settings);
    if (const auto *refusal = std::get_if<ShopRefusal>(&made))
        qFatal("refused: %s", refusal->message.c_str());
    return std::get<ShopSheet>(made);
}

QString text(const ShopSheet &sheet, HalfThousandths length)
{
    return QString::fromStdString(feetInchesText(length, sheet.settings.step));
}

} // namespace

class TestShopSheet : public QObject
{
    Q_OBJECT

private slots:
    void twentyMetres();
    void tenMetres();
    void lastStationIsTheBoom_data();
    void lastStationIsTheBoom();
    void refusals();
    void trimsAgreeBySides_data();
    void trimsAgreeBySides();
    void measuredAtTheDesignTrimsNothing_data();
    void measuredAtTheDesignTrimsNothing();
    void frequencyRange_data();
    void frequencyRange();
    void jsonKeys();
    void tunedLoops();
    void measurementBelongsToItsArray();
    void quarterWaveSectionIsCut();
    void feedAdviceAsTheCheckGivesIt_data();
    void feedAdviceAsTheCheckGivesIt();
    void sweepsInTurnTrimTheLoopsAsLastTrimmed();
    void sweepsInTurnTakeWhatWasReallyCut();
};

// 14.2 MHz, allowance 2.5 in, hub offset 1 in, measured at 14.05 MHz. From the grid of 14.2 MHz:
void TestShopSheet::twentyMetres()
{
    const ShopSheet sheet = sheetFor("14.2", {16, 2500, 1000, 14.05});
    const ElementCuts &reflector = sheet.elements[0];
    QCOMPARE(text(sheet, reflector.loop), "74' 3-9/16\"");           // 891.549
    QCOMPARE(text(sheet, reflector.cut), "74' 6-1/16\"");            // 894.049: 6.049 x 16 = 96.8
    QCOMPARE(millimetresText(reflector.cut), "22708.8");             // 894.049 x 25.4 = 22708.8446
    QCOMPARE(text(sheet, reflector.side), "18' 6-7/8\"");            // 222.887
    QCOMPARE(text(sheet, reflector.cornerMarks[0]), "9' 4-11/16\""); // 1.25 + 111.4435 = 112.6935
    QCOMPARE(text(sheet, reflector.cornerMarks[3]), "65' 1-3/8\"");  // 1.25 + 7 x 111.4435 = 781.3545
    QCOMPARE(text(sheet, reflector.arm), "13' 0-5/8\"");             // 157.605 - 1 = 156.605
    QCOMPARE(millimetresText(reflector.arm), "3977.8");              // 3977.767
    QCOMPARE(text(sheet, reflector.spreader), "26' 3-3/16\"");       // 315.21
    QCOMPARE(text(sheet, sheet.elements[1].station), "13' 2\"");     // 157.986: 1.986 x 16 = 31.8
    QCOMPARE(text(sheet, sheet.elements[6].arm), "10' 11-1/4\"");    // 132.253 - 1 = 131.253
    // Wire: the seven loops add up to 5741.292, with 7 x 2.5 for the joins 5758.792 in.
    QCOMPARE(text(sheet, sheet.wireTotal), "479' 10-13/16\"");
    QCOMPARE(metresText(sheet.wireTotal), "146.273");
    QCOMPARE(sheet.armsByLength.size(), std::size_t(7));
    QCOMPARE(sheet.armsByLength.at(fromThousandths(156605)), 4);
    // Built for 14.2, resonating at 14.05: cut as for 14.2 x 14.2 / 14.05 = 14.351601423487542 MHz, whose
    // reflector is 12660 / 14.3516... = 882.1315 -> 882.132 in, 9.417 in shorter than built.
    QCOMPARE(QString::fromStdString(sheet.correctedFrequencyText), "14.352");
    QCOMPARE(text(sheet, reflector.trim->change), "-9-7/16\"");
    QCOMPARE(millimetresText(reflector.trim->change), "-239.2");
    // A quarter from each side: 9.417 / 4 = 2.354 in, 37.7 sixteenths, so 2-3/8 a side and 9-1/2 in all.
    QCOMPARE(trimAction(reflector.trim->change, 16), "shorten 9-1/2\" (2-3/8\" a side)");
    // The trimmed loop's side 882.132 / 4 = 220.533 (72.5 sixteenths past 18'), its first mark 1.25 +
    // 110.2665 = 111.5165 (56.3 past 9'), and the arms meet it at 220.533 / sqrt 2 - 1 = 154.940 from the hub.
    QCOMPARE(text(sheet, reflector.trim->side), "18' 4-9/16\"");
    QCOMPARE(text(sheet, reflector.trim->cornerMarks[0]), "9' 3-1/2\"");
    QCOMPARE(text(sheet, reflector.trim->arm), "12' 10-15/16\"");
}

// 28.5 MHz in thirty-seconds, allowance 60 mm (2.362 in), hub offset 25 mm (0.984 in), measured at 28.9 MHz.
void TestShopSheet::tenMetres()
{
    const ShopSheet sheet = sheetFor("28.5", {32, 2362, 984, 28.9});
    const ElementCuts &reflector = sheet.elements[0];
    QCOMPARE(text(sheet, reflector.cut), "37' 2-9/16\"");            // 446.573: 2.573 x 32 = 82.3
    QCOMPARE(text(sheet, reflector.cornerMarks[0]), "4' 8-23/32\""); // 1.181 + 55.5265 = 56.7075
    QCOMPARE(text(sheet, sheet.elements[6].arm), "5' 4-29/32\"");    // 65.895 - 0.984 = 64.911
    QCOMPARE(text(sheet, sheet.boomLength), "33' 6-1/4\"");          // 78.716 + 5 x 64.705 = 402.241
    // Resonating at 28.9 MHz, above the design, the loops came out short: the design for 28.5 x 28.5 / 28.9
    // = 28.1055 MHz has a reflector of 12660 / 28.1055 = 450.445 in, 6.234 in longer than built.
    QCOMPARE(text(sheet, reflector.trim->change), "6-7/32\""); // 6.234 x 32 = 199.5
    QCOMPARE(millimetresText(reflector.trim->change), "158.3");
    // 6.234 / 4 = 1.5585 a side, 49.9 thirty-seconds: 1-9/16 a side, 6-1/4 in all.
    QCOMPARE(trimAction(reflector.trim->change, 32), "lengthen 6-1/4\" (1-9/16\" a side)");
}

void TestShopSheet::lastStationIsTheBoom_data()
{
    QTest::addColumn<QString>("frequency");
    for (const char *frequency : {"1.8", "3.7", "7.1", "14.2", "21.2", "28.5", "50.1", "144.2"})
        QTest::newRow(frequency) << QString::fromLatin1(frequency);
}

// The boom stations add up the spacings the window shows; the last is the window's own boom total.
void TestShopSheet::lastStationIsTheBoom()
{
    QFETCH(QString, frequency);
    const ShopSheet sheet = sheetFor(frequency.toLatin1().constData(), {});
    QCOMPARE(sheet.elements.back().station, sheet.boomLength);
    QCOMPARE(std::optional<std::int64_t>(sheet.boomLength / 2), format::thousandthsOf(sheet.windowBoomInches));
    QCOMPARE(sheet.elements.front().station, 0);
}

void TestShopSheet::refusals()
{
    const auto refusalOf = [](const char *frequency, const ShopSettings &settings) {
        auto made = makeShopSheet(frequency, settings);
        const auto *refusal = std::get_if<ShopRefusal>(&made);
        return refusal ? QString::fromStdString(refusal->message) : QString();
    };
    QVERIFY(refusalOf("14.2", {12, 0, 0, {}}).startsWith("The fraction step"));
    QVERIFY(refusalOf("14.2", {16, -1, 0, {}}).startsWith("The wire allowance"));
    // The shortest spreader half at 14.2 MHz is Director 5's 132.253 in: as long, or longer, is refused.
    QVERIFY(refusalOf("14.2", {16, 0, 132253, {}}).startsWith("The hub offset"));
    QVERIFY(refusalOf("14.2", {16, 0, 132252, {}}).isEmpty());
    QVERIFY(refusalOf("14.2", {16, 0, -1, {}}).startsWith("The hub offset"));
    QVERIFY(refusalOf("14.2", {16, 0, 0, 0.0}).startsWith("The measured resonance"));
    QVERIFY(refusalOf("14.2", {16, 0, 0, -14.0}).startsWith("The measured resonance"));
    // Further than 10 % from the design is no trim; 14.2 x 0.9 = 12.78.
    QVERIFY(refusalOf("14.2", {16, 0, 0, 12.77}).startsWith("The measured resonance"));
    QVERIFY(refusalOf("14.2", {16, 0, 0, 12.79}).isEmpty());
    QCOMPARE(refusalOf("abc", {}), "Enter the centre frequency in MHz, such as 14.2.");
    // A predicted resonance is held to the same 10 %, and kept at full precision.
    QCOMPARE(std::get<double>(predictedResonance(12.7804, 14.2)), 12.7804);
    QVERIFY(std::holds_alternative<ShopRefusal>(predictedResonance(12.7796, 14.2)));
    QVERIFY(std::holds_alternative<ShopRefusal>(predictedResonance(std::nullopt, 14.2)));
}

void TestShopSheet::trimsAgreeBySides_data()
{
    QTest::addColumn<qint64>("changeThousandths");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("action");
    // 20.375 / 4 = 5.094 a side, 81.5 sixteenths: 5-1/8 a side, and four of those are 20-1/2, not 20-3/8.
    QTest::newRow("shorten, sixteenths") << qint64(-20375) << 16 << "shorten 20-1/2\" (5-1/8\" a side)";
    QTest::newRow("lengthen, eighths") << qint64(20375) << 8 << "lengthen 20-1/2\" (5-1/8\" a side)";
    // 0.1 / 4 = 0.025 a side, 1.6 sixty-fourths: 1/32 a side, 1/8 in all.
    QTest::newRow("a tenth of an inch") << qint64(100) << 64 << "lengthen 1/8\" (1/32\" a side)";
    QTest::newRow("less than half a step a side") << qint64(-30) << 16 << "leave as cut";
}

// A loop is trimmed a side at a time: the loop's trim is four times the side's, to the step.
void TestShopSheet::trimsAgreeBySides()
{
    QFETCH(qint64, changeThousandths);
    QFETCH(int, step);
    QFETCH(QString, action);
    QCOMPARE(QString::fromStdString(trimAction(fromThousandths(changeThousandths), step)), action);
}

void TestShopSheet::measuredAtTheDesignTrimsNothing_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("label");
    // Frequencies whose resonance, rounded to the kHz, would ask for trims of up to 2 inches.
    QTest::newRow("160 m") << "1.8125"
                           << "1.8125";
    QTest::newRow("80 m") << "3.7875"
                          << "3.7875";
    QTest::newRow("80 m, a half kHz") << "3.5005"
                                      << "3.5005";
    QTest::newRow("20 m") << "14.2"
                          << "14.200";
    QTest::newRow("below 1 MHz") << "0.0123"
                                 << "0.012300";
}

// The array measured to resonate exactly at its design frequency needs no trim, whatever the frequency: a
// measurement is read at full precision, as the design frequency is, typed with its unit or without.
void TestShopSheet::measuredAtTheDesignTrimsNothing()
{
    QFETCH(QString, frequency);
    QFETCH(QString, label);
    for (const QString &typed : {frequency, frequency + " MHz"}) {
        ShopSettingTexts texts;
        texts.measured = typed.toStdString();
        const auto read = readShopSettings(texts);
        QVERIFY2(std::holds_alternative<ShopSettings>(read), qPrintable(typed));
        const ShopSheet sheet = sheetFor(frequency.toLatin1().constData(), std::get<ShopSettings>(read));
        QCOMPARE(QString::fromStdString(sheet.correctedFrequencyText), label);
        for (const ElementCuts &cuts : sheet.elements) {
            QVERIFY(cuts.trim);
            QCOMPARE(cuts.trim->change, HalfThousandths(0));
            QCOMPARE(QString::fromStdString(trimAction(cuts.trim->change, 16)), QStringLiteral("leave as cut"));
        }
    }
}

// A frequency whose lengths do not fit the sheet's arithmetic is refused by name, never written as a loop
// of 0" beside a side of thousands of feet, or a negative wire total. At the ends of the range every length
// is a positive length of the sheet.
void TestShopSheet::frequencyRange_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("named");
    QTest::newRow("1e-9") << "1e-9"
                          << "1e-09 MHz";
    QTest::newRow("2.4e-9") << "2.4e-9"
                            << "2.4e-09 MHz";
    QTest::newRow("3e7") << "3e7"
                         << "30000000 MHz";
    QTest::newRow("1.7e308") << "1.7e308"
                             << "1.7e+308 MHz";
    QTest::newRow("lowest") << "0.01" << QString();
    QTest::newRow("highest") << "100000" << QString();
}

void TestShopSheet::frequencyRange()
{
    QFETCH(QString, frequency);
    QFETCH(QString, named);
    auto made = makeShopSheet(frequency.toStdString(), {});
    if (!named.isEmpty()) {
        QVERIFY(std::holds_alternative<ShopRefusal>(made));
        const QString message = QString::fromStdString(std::get<ShopRefusal>(made).message);
        QVERIFY2(message.startsWith(named) && message.endsWith("0.01 to 100000 MHz."), qPrintable(message));
        return;
    }
    QVERIFY(std::holds_alternative<ShopSheet>(made));
    const ShopSheet &sheet = std::get<ShopSheet>(made);
    for (const ElementCuts &cuts : sheet.elements) {
        QVERIFY(cuts.loop > 0 && cuts.side > 0 && cuts.arm > 0 && cuts.station >= 0);
        QVERIFY(!text(sheet, cuts.loop).startsWith('-'));
    }
    QVERIFY(sheet.wireTotal > sheet.elements[0].loop);
}

namespace {

QJsonObject jsonOf(const ShopSheet &sheet)
{
    std::string text;
    format::JsonWriter json(text);
    writeShopSheetJson(json, sheet);
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

} // namespace

// The keys scripts rely on.
void TestShopSheet::jsonKeys()
{
    const ShopSheet sheet = sheetFor("14.2", {16, 0, 0, 14.05});
    const QJsonObject object = jsonOf(sheet);
    QCOMPARE(object.value("frequency").toString(), "14.2");
    QCOMPARE(object.value("step").toInt(), 16);
    const QJsonObject reflector = object.value("loops").toArray().at(0).toObject();
    QCOMPARE(reflector.value("element").toString(), "Reflector");
    QCOMPARE(reflector.value("loop").toString(), "74' 3-9/16\"");
    QCOMPARE(reflector.value("loop_mm").toDouble(), 22645.3); // a number, as every length in mm is
    QCOMPARE(reflector.value("corner_marks").toArray().size(), 4);
    QCOMPARE(object.value("spreaders").toArray().size(), 7);
    QCOMPARE(object.value("spreaders").toArray().at(0).toObject().value("count").toInt(), 4);
    const QJsonArray stations = object.value("boom").toObject().value("stations").toArray();
    QCOMPARE(stations.at(0).toObject().value("station").toString(), "0\"");
    QVERIFY(stations.at(0).toObject().value("station_mm").isDouble());
    QCOMPARE(stations.at(0).toObject().value("station_mm").toDouble(), 0.0);
    QCOMPARE(object.value("boom").toObject().value("length").toString(), "67' 3-5/16\"");
    QCOMPARE(object.value("materials").toObject().value("spreader_arms").toInt(), 28);
    QCOMPARE(object.value("trims").toArray().size(), 7);
    QVERIFY(!jsonOf(sheetFor("14.2", {})).contains("trims"));
}

// A tuned design scales each loop, its side and its spreaders, and keeps the stations.
void TestShopSheet::tunedLoops()
{
    std::vector<double> factors(calc::kElementRowCount, 1.0);
    factors[0] = 0.98;
    auto made = makeTunedShopSheet("14.2", {}, {factors, {}});
    QVERIFY(std::holds_alternative<ShopSheet>(made));
    const ShopSheet &tuned = std::get<ShopSheet>(made);
    const ShopSheet specified = sheetFor("14.2", {});
    // 891.549 x 0.98 = 873.718: 9.718 in past 72', 11.5 sixteenths; its side 218.430 (0.43 x 16 = 6.9).
    QCOMPARE(text(tuned, tuned.elements[0].loop), "72' 9-11/16\"");
    QCOMPARE(text(tuned, tuned.elements[0].side), "18' 2-7/16\"");
    QCOMPARE(tuned.elements[0].spreader, 2 * tuned.elements[0].arm);
    QCOMPARE(tuned.elements[1].loop, specified.elements[1].loop);
    QCOMPARE(tuned.boomLength, specified.boomLength);

    // Built and measured, a tuned design is trimmed from its own loops: each the corrected design's loop times
    // its factor, to the thousandth; the driven loop, whose factor is 1, as the specified one.
    auto measured = makeTunedShopSheet("14.2", {16, 0, 0, 14.0}, {factors, {}});
    QVERIFY(std::holds_alternative<ShopSheet>(measured));
    const ShopSheet &trimmed = std::get<ShopSheet>(measured);
    const ShopSheet trimmedSpecified = sheetFor("14.2", {16, 0, 0, 14.0});
    const auto trimmedLoop = [](const ElementCuts &cuts) { return cuts.loop + cuts.trim->change; };
    const double expected = 0.98 * static_cast<double>(trimmedLoop(trimmedSpecified.elements[0]));
    QVERIFY2(std::fabs(static_cast<double>(trimmedLoop(trimmed.elements[0])) - expected) <= 2.0,
             qPrintable(QString::number(trimmedLoop(trimmed.elements[0]))));
    QCOMPARE(trimmed.elements[1].trim->change, trimmedSpecified.elements[1].trim->change);
}

// A three-element quad's measured resonance trims that array alone: the five-element array of the same
// frequency has no trims, the measurement waits aside and comes back with the three elements, and it is the
// one kept between runs, for the array it was taken of.
void TestShopSheet::measurementBelongsToItsArray()
{
    SheetSource source;
    const auto trims = [&source](int elements, const std::string &measured) {
        const auto made = source.sheet("14.2", elements, {}, measured);
        const auto *sheet = std::get_if<ShopSheet>(&made);
        return sheet && sheet->elements.size() == static_cast<std::size_t>(elements) &&
               sheet->elements.front().trim.has_value();
    };
    (void)source.commit(14.2, 3, "");
    source.measuredEdited(14.2, 3, "14.05");
    QVERIFY(trims(3, "14.05"));
    QVERIFY(!trims(5, "14.05")); // typed, not yet committed: no trims for another array

    const SheetSource::Change away = source.commit(14.2, 5, "14.05");
    QCOMPARE(away.measuredText, std::optional<std::string>(""));
    QCOMPARE(away.notes.size(), std::size_t(1));
    QVERIFY2(away.notes[0].find("is for the design at 14.200 MHz, three elements: it is set aside") !=
                 std::string::npos,
             away.notes[0].c_str());
    QVERIFY(!trims(5, ""));
    const std::optional<SheetSource::Kept> kept = source.kept("");
    QVERIFY(kept && kept->measured == "14.05" && kept->elements == 3);

    const SheetSource::Change back = source.commit(14.2, 3, "");
    QCOMPARE(back.measuredText, std::optional<std::string>("14.05"));
    QVERIFY(trims(3, "14.05"));
}

// A builder trims by a first sweep (13.9 MHz) and sweeps again: the second sweep (14.14 MHz) trims the loops
// as the first sheet's trims left them, and 80 % of the move to 14.2 MHz that trim aimed at showed up. From
// Sweep twice gives the same sheet; a typed value starts afresh.
void TestShopSheet::sweepsInTurnTrimTheLoopsAsLastTrimmed()
{
    ShopSettings first;
    first.measuredMHz = 13.9;
    const ShopSheet before = sheetFor("14.2", first);
    ShopSettings second;
    second.measuredMHz = 14.14;
    second.inTurn = {{"first.s1p", 13.9, std::nullopt}, {"second.s1p", 14.14, std::nullopt}};
    const ShopSheet after = sheetFor("14.2", second);
    QVERIFY(after.settings.earlierTrim);
    QCOMPARE(after.settings.earlierTrim->measuredMHz, 13.9);
    QCOMPARE(after.settings.earlierTrim->how, EarlierTrim::Cut::Advised);
    QVERIFY(std::fabs(after.settings.earlierTrim->cutForMHz - 14.2 * 14.2 / 13.9) < 1e-9);
    QVERIFY(after.lastTrimShowedPercent);
    QVERIFY(std::fabs(*after.lastTrimShowedPercent - 80.0) < 1e-6);
    QVERIFY(!after.loopFactors); // trimmed, not tuned
    for (std::size_t i = 0; i < after.elements.size(); ++i) {
        // The loops now are the first sheet's loops trimmed as it said, to a thousandth of an inch...
        const HalfThousandths trimmed = before.elements[i].loop + before.elements[i].trim->change;
        QVERIFY2(std::llabs(after.elements[i].loop - trimmed) <= 2, qPrintable(QString::number(i)));
        // ...and take the rest of the way: 14.14 / 14.2 of their length.
        const double rest = static_cast<double>(after.elements[i].loop) * (14.14 / 14.2 - 1.0);
        QVERIFY2(std::fabs(static_cast<double>(after.elements[i].trim->change) - rest) <= 4.0,
                 qPrintable(QString::number(i)));
    }
    QVERIFY2(trimsNote(after).find("80 % of what") != std::string::npos, trimsNote(after).c_str());
    QVERIFY2(trimsNote(after).find("if the whole trim advised then was cut") != std::string::npos,
             trimsNote(after).c_str());

    SheetSource source;
    (void)source.commit(14.2, 7, "");
    source.measuredFromSweep(14.2, 7, "first.s1p", "", "13.9");
    source.measuredFromSweep(14.2, 7, "second.s1p", "13.9", "14.14");
    QVERIFY(source.sweptInTurn());
    const auto fromSweeps = source.sheet("14.2", 7, {}, "14.14");
    QVERIFY(std::holds_alternative<ShopSheet>(fromSweeps));
    QCOMPARE(std::get<ShopSheet>(fromSweeps).elements[1].trim->change, after.elements[1].trim->change);
    source.measuredEdited(14.2, 7, "14.14");
    const auto typed = source.sheet("14.2", 7, {}, "14.14");
    QVERIFY(!std::get<ShopSheet>(typed).settings.earlierTrim);
}

// A cautious builder cuts only 0.5 % of the driven loop and sweeps again, 0.5 % higher: said so, all of that
// cut showed up, and the loops are trimmed from the lengths really cut, not from the whole trim advised; not
// said, the sheet takes the advised trim and says so. The same sweep again, or sweeps that never move, add up
// no trims; a sweep of another band among them is refused by name.
void TestShopSheet::sweepsInTurnTakeWhatWasReallyCut()
{
    ShopSettings first;
    first.measuredMHz = 13.5;
    const ShopSheet before = sheetFor("14.2", first);
    const double driven = static_cast<double>(before.elements[1].loop) / 2000.0;
    const double cut = driven * 0.005;
    ShopSettings second;
    second.measuredMHz = 13.5 / 0.995;
    second.inTurn = {{"first.s1p", 13.5, std::nullopt}, {"second.s1p", 13.5 / 0.995, cut}};
    const ShopSheet after = sheetFor("14.2", second);
    QCOMPARE(after.settings.earlierTrim->how, EarlierTrim::Cut::Given);
    QVERIFY(std::fabs(*after.lastTrimShowedPercent - 100.0) < 1e-6);
    for (std::size_t i = 0; i < after.elements.size(); ++i) {
        const double now = static_cast<double>(before.elements[i].loop) * 0.995;
        QVERIFY2(std::fabs(static_cast<double>(after.elements[i].loop) - now) <= 2.0, qPrintable(QString::number(i)));
        // The rest of the way from 13.568 MHz to 14.2, from the loops as cut.
        const double rest = now * (13.5 / 0.995 / 14.2 - 1.0);
        QVERIFY2(std::fabs(static_cast<double>(after.elements[i].trim->change) - rest) <= 4.0,
                 qPrintable(QString::number(i)));
    }
    // Taken as the whole advised trim instead, the same sweep shows 10 % and would leave the loops some 40"
    // short of the design's.
    second.inTurn.back().cutInches.reset();
    const ShopSheet assumed = sheetFor("14.2", second);
    QVERIFY(std::fabs(*assumed.lastTrimShowedPercent - 100.0 * (13.5 / 0.995 - 13.5) / (14.2 - 13.5)) < 1e-6);

    ShopSettings again;
    again.measuredMHz = 13.0;
    again.inTurn = {{"a.s1p", 13.0, std::nullopt}, {"a.s1p", 13.0, std::nullopt}, {"b.s1p", 13.0, std::nullopt}};
    const ShopSheet unmoved = sheetFor("14.2", again);
    QCOMPARE(unmoved.settings.earlierTrim->how, EarlierTrim::Cut::None);
    QCOMPARE(unmoved.settings.earlierTrim->cutForMHz, 14.2);
    QCOMPARE(unmoved.correctedFrequencyText, std::string("15.511")); // 14.2 x 14.2 / 13.0, as one sweep gives

    ShopSettings otherBand;
    otherBand.measuredMHz = 14.0;
    otherBand.inTurn = {{"forty.s1p", 7.05, std::nullopt}, {"twenty.s1p", 14.0, std::nullopt}};
    const auto refused = makeShopSheet("14.2", otherBand);
    QVERIFY(std::holds_alternative<ShopRefusal>(refused));
    QVERIFY2(std::get<ShopRefusal>(refused).message.find("The resonance of forty.s1p, at 7.0500 MHz") == 0,
             std::get<ShopRefusal>(refused).message.c_str());
}

// A quarter-wave section of 75 ohm line of velocity factor 0.66 for 28.5 MHz: a quarter wavelength times the
// velocity factor, to a thirty-second of an inch, in every form the sheet takes; a direct feed cuts none.
void TestShopSheet::quarterWaveSectionIsCut()
{
    ShopSettings settings;
    settings.step = 32;
    const auto match = design::readMatch({"quarter-wave", "75", "0.66", {}});
    QVERIFY(std::holds_alternative<design::Match>(match));
    settings.match = std::get<design::Match>(match);
    const ShopSheet sheet = sheetFor("28.5", settings);
    QVERIFY(sheet.section);
    const double expectedInches = 0.66 * 299.792458 / (4 * 28.5) / 0.0254;
    QVERIFY(std::fabs(static_cast<double>(*sheet.section) / 2000.0 - expectedInches) <= 1.0 / 64);
    QVERIFY2(format::documentText(shopSheetDocument(sheet)).find("Matching section: a quarter wave of 75 \u03a9 line (velocity factor 0.66) "
                                        "from the feed point to the feed line, cut 5' 8-11/32\"") != std::string::npos,
             format::documentText(shopSheetDocument(sheet)).c_str());
    // Cut as a loop is: on the loops' table and in the CSV after the loops, and among the materials.
    const tarvelin::format::ResultTable csv = shopCsvTable(sheet);
    const std::vector<tarvelin::format::TableCell> &last = csv.rows.back();
    QCOMPARE(last[1].text, std::string("Matching section"));
    QCOMPARE(last[3].number, std::optional(static_cast<double>(*sheet.section * 127) / 10000.0));
    QCOMPARE(shopTables(sheet).loops.rows.back().front().text, std::string("Matching section"));
    QVERIFY2(shopFooter(sheet).section.find("5' 8-11/32\"") == 0, shopFooter(sheet).section.c_str());
    QVERIFY(jsonOf(sheet).value("materials").toObject().value("section_mm").isDouble());
    QVERIFY(!sheetFor("28.5", {}).section);
    QVERIFY(std::holds_alternative<design::MatchRefusal>(design::readMatch({"direct", "75", "", {}})));
    QVERIFY(std::holds_alternative<design::MatchRefusal>(design::readMatch({"quarter-wave", "75", "1.2", {}})));
}

void TestShopSheet::feedAdviceAsTheCheckGivesIt_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("balun");
    QTest::newRow("direct") << "direct"
                            << "1:1 current (choke) balun at the feed point";
    QTest::newRow("4:1 balun") << "balun4"
                               << "4:1 balun at the feed point";
    QTest::newRow("quarter-wave section") << "quarter-wave"
                                          << "1:1 current (choke) balun at the feed point";
}

// The sheet tells the builder how to feed and measure the array in the words the check does, for every match:
// one says to measure at the feed point and the other on the line at a 4:1 balun no more.
void TestShopSheet::feedAdviceAsTheCheckGivesIt()
{
    QFETCH(QString, kind);
    QFETCH(QString, balun);
    const bool section = kind == QStringLiteral("quarter-wave");
    const auto match = design::readMatch({kind.toStdString(), section ? "75" : "", section ? "0.66" : "", {}});
    QVERIFY(std::holds_alternative<design::Match>(match));
    ShopSettings settings;
    settings.match = std::get<design::Match>(match);
    const std::string sheetSays = shopFooter(sheetFor("14.2", settings)).feed;
    tarvelin::design::CheckSettings check;
    check.match = settings.match;
    const std::string checkSays = tarvelin::document::feedAdvice(nullptr, check);
    QCOMPARE(checkSays, sheetSays);
    QVERIFY2(QString::fromStdString(sheetSays).contains(balun), sheetSays.c_str());
}

QTEST_GUILESS_MAIN(TestShopSheet)
#include "tst_shopsheet.moc"
