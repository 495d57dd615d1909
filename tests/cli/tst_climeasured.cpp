// SPDX-License-Identifier: MIT
// tarvelin-calc with the real NEC-2 engine: a sweep of the model measured through a feed line and read at the
// feed point, and insulated wire. Apart from tarvelin-calc's other tests, so they run side by side.
#include "support/runcalc.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <complex>

using namespace tarvelin::test;

class TestCliMeasured : public QObject
{
    Q_OBJECT

private slots:
    void sweepThroughAFeedLine();
    void insulationLowersTheResonance();
};

// The model's sweep, as of an antenna built 1.5 % long and measured through 7 m of 75 ohm line (velocity
// factor 0.82, 1.5 dB per 100 m): read as measured, the verdict asks for the line; declared, the check and
// the sheet read the sweep at the feed point, 1.5 % below the model.
void TestCliMeasured::sweepThroughAFeedLine()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    const Run model = runCalc({"--analyse", "--format", "s1p", "14.2"});
    QCOMPARE(model.exitCode, 0);
    QByteArray built = "# MHz Z RI R 1\n";
    for (const QByteArray &line : lines(model.out)) {
        if (line.startsWith('!') || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        const std::complex<double> reflection(fields[1].toDouble(), fields[2].toDouble());
        const std::complex<double> feed = 50.0 * (1.0 + reflection) / (1.0 - reflection);
        const double mhz = fields[0].toDouble() * 0.985;
        const double alpha = 1.5 / 100.0 * std::sqrt(mhz / 14.2) / (20.0 * std::log10(M_E));
        const double beta = 2.0 * M_PI * mhz * 1e6 / (0.82 * 299792458.0);
        const std::complex<double> t = std::tanh(std::complex<double>(alpha, beta) * 7.0);
        const std::complex<double> z = 75.0 * (feed + 75.0 * t) / (75.0 + feed * t);
        built += QByteArray::number(mhz, 'g', 12) + ' ' + QByteArray::number(z.real(), 'g', 12) + ' ' +
                 QByteArray::number(z.imag(), 'g', 12) + '\n';
    }
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("built.s1p"));
    QFile s1p(file);
    QVERIFY(s1p.open(QIODevice::WriteOnly) && s1p.write(built) == built.size());
    s1p.close();

    const Run asMeasured = runCalc({"--analyse", "--sweep", file, "14.2"});
    QCOMPARE(asMeasured.exitCode, 0);
    QVERIFY2(asMeasured.out.contains("This sweep looks measured through a feed line"), asMeasured.out.constData());

    const QStringList through{"--through", "7m:75/0.82/1.5"};
    const Run read =
        runCalc(QStringList{"--analyse", "--format", "json", "--sweep", file} + through + QStringList{"14.2"});
    QCOMPARE(read.exitCode, 0);
    const QJsonObject check = QJsonDocument::fromJson(read.out).object();
    const QJsonObject measured = check.value(QStringLiteral("measured")).toObject();
    const double shift = measured.value(QStringLiteral("shift_percent")).toDouble();
    QVERIFY2(qAbs(shift + 1.5) <= 0.05, qPrintable(QString::number(shift)));
    const QJsonObject line = measured.value(QStringLiteral("through")).toObject();
    QCOMPARE(line.value(QStringLiteral("length_m")).toDouble(), 7.0);
    QCOMPARE(line.value(QStringLiteral("z0")).toDouble(), 75.0);
    QCOMPARE(line.value(QStringLiteral("vf")).toDouble(), 0.82);
    QCOMPARE(line.value(QStringLiteral("loss_db_per_100m")).toDouble(), 1.5);
    QCOMPARE(line.value(QStringLiteral("match")).toBool(true), false);

    const Run sheet =
        runCalc(QStringList{"--shop", "--format", "json", "--measured-sweep", file} + through + QStringList{"14.2"});
    QCOMPARE(sheet.exitCode, 0);
    const double resonance =
        QJsonDocument::fromJson(sheet.out).object().value(QStringLiteral("measured_mhz")).toDouble();
    QVERIFY(QJsonDocument::fromJson(sheet.out)
                .object()
                .value(QStringLiteral("through"))
                .toString()
                .startsWith(QStringLiteral("7 m of 75 ohm line")));
    QVERIFY2(qAbs(resonance - measured.value(QStringLiteral("resonance_mhz")).toDouble()) < 5e-5, sheet.out.constData());
    // The printed sheet says what its resonance was read through.
    const Run table = runCalc(QStringList{"--shop", "--measured-sweep", file} + through + QStringList{"14.2"});
    QVERIFY2(table.out.contains("measured through 7 m of 75 ohm line"), table.out.constData());
}

// A PVC jacket 0.4 mm thick moves the resonance of 20 m down by the inductance it adds along the wire.
void TestCliMeasured::insulationLowersTheResonance()
{
    if (QStandardPaths::findExecutable(QStringLiteral("nec2c")).isEmpty())
        QSKIP("nec2c is not installed");
    const auto resonance = [](const QStringList &jacket) {
        const Run run = runCalc(QStringList{"--analyse", "--format", "json"} + jacket + QStringList{"14.2"});
        return QJsonDocument::fromJson(run.out).object().value(QStringLiteral("resonance_mhz")).toDouble();
    };
    const double bare = resonance({});
    const double pvc = resonance({"--insulation", "0.4"});
    const double polyethylene = resonance({"--insulation", "0.4", "--permittivity", "2.3"});
    QVERIFY2(qAbs((pvc / bare - 1.0) * 100.0 + 1.48) < 0.02, qPrintable(QString::number(pvc)));
    QVERIFY2(qAbs((polyethylene / bare - 1.0) * 100.0 + 1.18) < 0.02, qPrintable(QString::number(polyethylene)));
}

QTEST_GUILESS_MAIN(TestCliMeasured)
#include "tst_climeasured.moc"
