// SPDX-License-Identifier: MIT
// A quad of several bands end to end with the real engine: tuned band by band, saved, cut, and the cut list
// modelled again by a deck of its own built from the sheet's JSON alone.
#include "support/runcalc.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

using namespace tarvelin::test;

namespace {

// The two-element 20/15/10 m spider at 0.14 wavelength, idle drivers closed, tuned for F/B.
const QStringList kReference{"--bands", "20m,15m,10m", "--elements",  "2",  "--layout", "spider",
                             "--spacing", "0.14",     "--shape",     "square", "--idle", "short",
                             "--goal-fb", "20",       "--z0",        "75"};

struct Figures
{
    double mhz = 0.0;
    std::complex<double> feedOhms;
    double frontToBackDb = 0.0;
};

double swrOn(std::complex<double> z, double z0)
{
    const double reflection = std::abs((z - z0) / (z + z0));
    return (1.0 + reflection) / (1.0 - reflection);
}

// One band of the sheet's quad, its driver fed and every other closed, at its design frequency and half a
// per cent either side: square loops with their corners on X spreaders, each where the sheet's loop_mm and
// station_mm put it, bare 2.05 mm copper, segmented a little finer than a twentieth of a wavelength.
std::vector<Figures> modelBand(const QJsonObject &sheet, int fed)
{
    const QJsonArray bands = sheet[QStringLiteral("bands")].toArray();
    const double highestMHz = bands.last().toObject()[QStringLiteral("frequency_mhz")].toDouble() * 1.005;
    const double longest = 299.792458 / highestMHz / 21.0;
    std::string deck = "CM model from the sheet\nCE\n";
    int tag = 0;
    int feedTag = 0;
    int feedSegment = 0;
    for (int b = 0; b < bands.size(); ++b) {
        const QJsonArray loops = bands[b].toObject()[QStringLiteral("loops")].toArray();
        for (int e = 0; e < loops.size(); ++e) {
            const QJsonObject loop = loops[e].toObject();
            const double half = loop[QStringLiteral("loop_mm")].toDouble() / 4000.0 / 2.0;
            const double x = loop[QStringLiteral("station_mm")].toDouble() / 1000.0;
            int segments = static_cast<int>(std::ceil(2 * half / longest));
            segments += segments % 2 == 0 ? 1 : 0;
            const double corners[5][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}, {-half, -half}};
            for (int side = 0; side < 4; ++side) {
                char card[200];
                std::snprintf(card, sizeof card, "GW %d %d %.6f %.6f %.6f %.6f %.6f %.6f 0.001025\n", ++tag,
                              segments, x, corners[side][0], corners[side][1], x, corners[side + 1][0],
                              corners[side + 1][1]);
                deck += card;
                if (b == fed && e == 1 && side == 0) {
                    feedTag = tag;
                    feedSegment = segments / 2 + 1;
                }
            }
        }
    }
    const double f0 = bands[fed].toObject()[QStringLiteral("frequency_mhz")].toDouble();
    char cards[300];
    std::snprintf(cards, sizeof cards,
                  "GE 0\nLD 5 0 0 0 5.8E7\nEX 0 %d %d 0 1.0 0.0\nFR 0 3 0 0 %.6f %.6f\nRP 0 1 2 1000 90 0 0 180\nEN\n",
                  feedTag, feedSegment, f0 * 0.995, f0 * 0.005);
    deck += cards;

    QTemporaryDir folder;
    QFile input(folder.filePath(QStringLiteral("sheet.nec")));
    if (!input.open(QIODevice::WriteOnly) || input.write(deck.data(), static_cast<qint64>(deck.size())) < 0)
        return {};
    input.close();
    QProcess engine;
    engine.start(QStringLiteral("nec2c"), {QStringLiteral("-i"), input.fileName(), QStringLiteral("-o"),
                                           folder.filePath(QStringLiteral("sheet.out"))});
    if (!engine.waitForFinished(120000) || engine.exitCode() != 0)
        return {};
    QFile output(folder.filePath(QStringLiteral("sheet.out")));
    if (!output.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> text = lines(output.readAll());
    std::vector<Figures> figures;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto fields = [&text](qsizetype line) { return text[line].simplified().split(' '); };
        if (text[i].contains("ANTENNA INPUT PARAMETERS")) {
            const QList<QByteArray> f = fields(i + 3);
            figures.push_back({f0 * (0.995 + 0.005 * static_cast<double>(figures.size())),
                               {f[6].toDouble(), f[7].toDouble()}, 0.0});
        }
        if (text[i].contains("RADIATION PATTERNS") && !figures.empty())
            figures.back().frontToBackDb = fields(i + 5)[4].toDouble() - fields(i + 6)[4].toDouble();
    }
    return figures;
}

} // namespace

class TestCliBands : public QObject
{
    Q_OBJECT

private slots:
    void referenceQuad();
    void oneSweepAcrossTheBands();
};

// The tune meets its goals on every band, on any number of engines alike; the saved design cuts the sheet the
// tune gives; and a model of the sheet's own lengths holds F/B 20 dB and SWR 2 on 75 ohms across each band.
void TestCliBands::referenceQuad()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("quad.json"));
    const Run tuned = runCalc(QStringList{"--tune", "--format", "json", "--processes", "1", "--save", saved} +
                              kReference);
    QCOMPARE(tuned.exitCode, 0);
    const Run shared = runCalc(QStringList{"--tune", "--format", "json", "--processes", "3"} + kReference);
    QCOMPARE(shared.out, tuned.out);
    const QJsonObject tune = QJsonDocument::fromJson(tuned.out).object();
    QCOMPARE(tune[QStringLiteral("ended")].toString(), QStringLiteral("converged"));
    for (const QJsonValue band : tune[QStringLiteral("bands")].toArray()) {
        const QJsonObject after = band.toObject()[QStringLiteral("after")].toObject();
        QVERIFY(after[QStringLiteral("min_fb_db")].toDouble() >= 20.0);
        QVERIFY(after[QStringLiteral("worst_swr")].toDouble() <= 2.0);
    }

    const Run sheet = runCalc({"--shop", "--format", "json", "--tuned", saved});
    QCOMPARE(sheet.exitCode, 0);
    const Run tunedAnew = runCalc(QStringList{"--shop", "--format", "json", "--tune"} + kReference);
    QCOMPARE(tunedAnew.out, sheet.out);

    // The saved quad checked: each band resonant at its design frequency, as the tune left it, on its own line.
    const Run checked = runCalc({"--analyse", "--format", "json", "--tuned", saved});
    QCOMPARE(checked.exitCode, 0);
    for (const QJsonValue value : QJsonDocument::fromJson(checked.out).object()[QStringLiteral("bands")].toArray()) {
        const QJsonObject band = value.toObject();
        const double resonance = band[QStringLiteral("check")].toObject()[QStringLiteral("resonance_mhz")].toDouble();
        QVERIFY2(std::fabs(resonance / band[QStringLiteral("frequency_mhz")].toDouble() - 1.0) < 0.001,
                 qPrintable(QString::number(resonance)));
    }

    const QJsonObject cut = QJsonDocument::fromJson(sheet.out).object();
    QVERIFY(cut[QStringLiteral("tuned")].toBool());
    for (int band = 0; band < 3; ++band) {
        const std::vector<Figures> figures = modelBand(cut, band);
        QCOMPARE(figures.size(), std::size_t{3});
        for (const Figures &at : figures) {
            QVERIFY2(at.frontToBackDb >= 20.0,
                     qPrintable(QStringLiteral("F/B %1 dB at %2 MHz").arg(at.frontToBackDb).arg(at.mhz)));
            QVERIFY2(swrOn(at.feedOhms, 75.0) <= 2.0,
                     qPrintable(QStringLiteral("SWR %1 at %2 MHz").arg(swrOn(at.feedOhms, 75.0)).arg(at.mhz)));
        }
    }
}

// One analyser's sweep from 13 to 30 MHz with a dip in each band is read band by band, each dip within its
// band's window against that band's model; a sweep that reaches one band only says so for the others.
void TestCliBands::oneSweepAcrossTheBands()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    const auto write = [](const QString &path, double fromMHz, double toMHz) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        QByteArray text = "! three dips\n# MHz Z RI R 50\n";
        for (double mhz = fromMHz; mhz <= toMHz + 1e-9; mhz += 0.01) {
            const double dip = std::fabs(mhz - 14.10) < std::fabs(mhz - 21.30) ? 14.10 : 21.30;
            const std::complex<double> z(60.0, 1000.0 * (mhz - dip) / dip);
            text += QByteArray::number(mhz, 'f', 4) + ' ' + QByteArray::number(z.real() / 50, 'f', 6) + ' ' +
                    QByteArray::number(z.imag() / 50, 'f', 6) + '\n';
        }
        return file.write(text) == text.size();
    };
    QTemporaryDir folder;
    const QString across = folder.filePath(QStringLiteral("across.s1p"));
    QVERIFY(write(across, 13.0, 30.0));
    const QStringList quad{"--analyse", "--format", "json", "--bands", "20m,15m", "--layout", "spider", "--points", "5"};
    const Run run = runCalc(quad + QStringList{"--sweep", across});
    QCOMPARE(run.exitCode, 0);
    const QJsonArray bands = QJsonDocument::fromJson(run.out).object()[QStringLiteral("bands")].toArray();
    QCOMPARE(bands.size(), 2);
    for (const auto &[band, dip] : {std::pair{0, 14.10}, std::pair{1, 21.30}}) {
        const QJsonObject measured =
            bands[band].toObject()[QStringLiteral("check")].toObject()[QStringLiteral("measured")].toObject();
        QVERIFY2(std::fabs(measured[QStringLiteral("min_swr_mhz")].toDouble() - dip) < 0.005,
                 qPrintable(QString::number(measured[QStringLiteral("min_swr_mhz")].toDouble())));
    }

    const QString twenty = folder.filePath(QStringLiteral("twenty.s1p"));
    QVERIFY(write(twenty, 13.5, 14.8));
    const Run partial = runCalc(quad + QStringList{"--sweep", twenty});
    QCOMPARE(partial.exitCode, 0);
    QVERIFY2(partial.err.contains("warning: 15m: ") && partial.err.contains("twenty.s1p holds too few frequencies"),
             partial.err.constData());
    QVERIFY(!partial.err.contains("20m:"));
}

QTEST_GUILESS_MAIN(TestCliBands)
#include "tst_clibands.moc"
