// SPDX-License-Identifier: MIT
// The table of cables held to the makers' figures it was made from, a builder's names for them, the loss
// between the printed frequencies, and a section or a run of line named by its cable.
#include "core/design/coaxtable.h"
#include "core/design/feed.h"
#include "core/design/feedrun.h"

#include <QFile>
#include <QTest>

#include <cmath>

using namespace tarvelin;

class TestCoaxTable : public QObject
{
    Q_OBJECT

private slots:
    void tableHoldsTheFile();
    void namesAsBuildersTypeThem_data();
    void namesAsBuildersTypeThem();
    void lossBetweenThePrintedFigures();
    void sectionCutFromACable();
    void runOfACable();
};

// Every row of the file is in the table, exactly as printed, and the table holds nothing else.
void TestCoaxTable::tableHoldsTheFile()
{
    QFile file(QStringLiteral(TARVELIN_COAX_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.first().section(QLatin1Char(','), 0, 5),
             QStringLiteral("name,z0_ohm,vf,freq_mhz,loss_db_per_100ft,loss_db_per_100m"));
    std::size_t rows = 0;
    for (const QString &line : lines.mid(1)) {
        const QStringList field = line.split(QLatin1Char(','));
        const design::CoaxCable *cable = design::findCoaxCable(field[0].toStdString());
        QVERIFY2(cable, qPrintable(field[0]));
        QCOMPARE(QString::fromUtf8(cable->name.data(), static_cast<qsizetype>(cable->name.size())), field[0]);
        QCOMPARE(cable->z0Ohms, field[1].toDouble());
        QCOMPARE(cable->velocityFactor, field[2].toDouble());
        QVERIFY2(field[6].startsWith(
                     QString::fromUtf8(cable->makerPart.data(), static_cast<qsizetype>(cable->makerPart.size()))
                         .section(QLatin1Char(' '), 0, 1)),
                 qPrintable(line));
        const double mhz = field[3].toDouble();
        const auto point = std::find_if(cable->points.begin(), cable->points.end(),
                                        [mhz](const design::CoaxPoint &p) { return p.mhz == mhz; });
        QVERIFY2(point != cable->points.end(), qPrintable(line));
        QCOMPARE(point->lossDbPer100ft, field[4].toDouble());
        // At a printed frequency, the maker's figure itself, per 100 m as the file gives it to four decimals
        // (which it rounds up once where the fifth is 4: RG-58's 74.80315 as 74.8032).
        QVERIFY2(std::fabs(design::coaxLossDbPer100m(*cable, mhz) - field[5].toDouble()) <= 1.5e-4, qPrintable(line));
        ++rows;
    }
    std::size_t points = 0;
    for (const design::CoaxCable &cable : design::coaxCables())
        points += cable.points.size();
    QCOMPARE(points, rows);
    QCOMPARE(design::coaxCables().size(), std::size_t(9));
}

void TestCoaxTable::namesAsBuildersTypeThem_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cable"); // none for a name the table does not hold
    QTest::newRow("as listed") << "RG-58"
                               << "RG-58";
    QTest::newRow("any case") << "rg-8x"
                              << "RG-8X";
    QTest::newRow("with /U") << "RG-58/U"
                             << "RG-58";
    QTest::newRow("with /u and blanks") << "  rg-11/u "
                                        << "RG-11";
    QTest::newRow("two words") << "RG-11 FOAM"
                               << "RG-11 foam";
    QTest::newRow("another variant") << "RG-58A" << QString();
    QTest::newRow("a slash alone") << "/U" << QString();
    QTest::newRow("nothing") << "" << QString();
}

void TestCoaxTable::namesAsBuildersTypeThem()
{
    QFETCH(QString, typed);
    QFETCH(QString, cable);
    const design::CoaxCable *found = design::findCoaxCable(typed.toStdString());
    QCOMPARE(found ? QString::fromUtf8(found->name.data(), static_cast<qsizetype>(found->name.size())) : QString(),
             cable);
}

// Between the printed frequencies the loss follows k1·√f + k2·f: for LMR-400, whose maker publishes that form
// (k1 0.12229, k2 0.00026 in dB per 100 ft), the fit to its points keeps within 3 % of the maker's own; and
// every cable's loss rises with frequency between its printed points.
void TestCoaxTable::lossBetweenThePrintedFigures()
{
    const design::CoaxCable *lmr = design::findCoaxCable("LMR-400");
    QVERIFY(lmr);
    for (const double mhz : {14.2, 28.5, 144.0, 432.0, 1296.0}) {
        const double maker = (0.12229 * std::sqrt(mhz) + 0.00026 * mhz) / 0.3048;
        QVERIFY2(std::fabs(design::coaxLossDbPer100m(*lmr, mhz) / maker - 1.0) < 0.03,
                 qPrintable(QString::number(mhz)));
    }
    for (const design::CoaxCable &cable : design::coaxCables()) {
        const design::CoaxLossFit fit = design::coaxLossFit(cable);
        QVERIFY(fit.k1 >= 0.0 && fit.k2 >= 0.0);
        double before = 0.0;
        for (double mhz = 1.5; mhz < 3000.0; mhz *= 1.7) {
            const double loss = design::coaxLossDbPer100m(cable, mhz);
            QVERIFY2(loss > before, qPrintable(QString::fromUtf8(cable.name.data()) + QString::number(mhz)));
            before = loss;
        }
    }
    // RG-58 on 20 m lies between its printed 10 and 50 MHz figures, 1.5 and 3.7 dB per 100 ft.
    const double rg58 = design::coaxLossDbPer100m(*design::findCoaxCable("RG-58"), 14.2) * 0.3048;
    QVERIFY2(rg58 > 1.5 && rg58 < 3.7, qPrintable(QString::number(rg58)));
}

// A section named by its cable takes the cable's impedance and nominal velocity factor, or the factor the
// builder measured; an unknown cable, or a cable with an impedance too, is refused.
void TestCoaxTable::sectionCutFromACable()
{
    const auto read = [](const char *vf, const char *line, const char *z0 = "") {
        return design::readMatch({"quarter-wave", z0, vf, line});
    };
    const auto nominal = read("", "rg-11/u");
    QVERIFY(std::holds_alternative<design::Match>(nominal));
    QCOMPARE(std::get<design::Match>(nominal).z0Ohms, 75.0);
    QCOMPARE(std::get<design::Match>(nominal).velocityFactor, 0.66);
    QCOMPARE(std::get<design::Match>(nominal).line, std::string("RG-11"));
    QVERIFY(design::nominalVelocityFactor(std::get<design::Match>(nominal)));
    const auto measured = read("0.655", "RG-11");
    QVERIFY(std::holds_alternative<design::Match>(measured));
    QCOMPARE(std::get<design::Match>(measured).velocityFactor, 0.655);
    QVERIFY(!design::nominalVelocityFactor(std::get<design::Match>(measured)));
    QCOMPARE(std::get<design::MatchRefusal>(read("", "RG-12")).setting, design::MatchRefusal::Setting::Line);
    QCOMPARE(std::get<design::MatchRefusal>(read("", "RG-11", "50")).setting, design::MatchRefusal::Setting::Z0);
    // A section with no line at all is asked for its line, not told its impedance is out of range.
    const auto none = read("", "");
    QCOMPARE(std::get<design::MatchRefusal>(none).setting, design::MatchRefusal::Setting::Line);
    QVERIFY(std::get<design::MatchRefusal>(none).message.find("needs its line") != std::string::npos);
}

// A run of a named cable: its impedance and velocity factor from the table, its loss the cable's own at each
// frequency; its length with its unit, since a bare number could be metres or feet.
void TestCoaxTable::runOfACable()
{
    const auto run = design::readFeedRun("30m:RG-58/U");
    QVERIFY(std::holds_alternative<design::FeedRun>(run));
    const design::FeedRun &rg58 = std::get<design::FeedRun>(run);
    QCOMPARE(rg58.metres, 30.0);
    QCOMPARE(rg58.z0Ohms, 50.0);
    QCOMPARE(rg58.velocityFactor, 0.66);
    QCOMPARE(rg58.lossDbPer100mAt(50.0, 14.2), 3.7 / 0.3048);
    QCOMPARE(design::feedRunText(rg58), std::string("30 m of RG-58 (50 ohm, velocity factor 0.66 nominal)"));
    QVERIFY(std::holds_alternative<std::string>(design::readFeedRun("30m:RG-99")));
    const auto bare = design::readFeedRun("7:75/0.82/1.5");
    QVERIFY(std::holds_alternative<std::string>(bare));
    QVERIFY(std::get<std::string>(bare).find("needs its unit") != std::string::npos);
    QCOMPARE(std::get<design::FeedRun>(design::readFeedRun("23ft:75/0.82/1.5")).metres, 7.0104);

    // A line losing more than 10 dB one way hides the dip: 300 m of RG-58 on 20 m (some 17 dB) is warned of,
    // 30 m (under 2 dB) is not.
    QVERIFY(!design::lossyRunWarning(rg58, 14.2));
    design::FeedRun long58 = rg58;
    long58.metres = 300.0;
    const std::optional<std::string> warned = design::lossyRunWarning(long58, 14.2);
    QVERIFY(warned);
    QVERIFY2(warned->find("The line loses 17.") == 0, warned->c_str());
}

QTEST_GUILESS_MAIN(TestCoaxTable)
#include "tst_coaxtable.moc"
