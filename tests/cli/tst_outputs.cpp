// SPDX-License-Identifier: MIT
// What tarvelin-calc writes for a table of designs, held byte for byte to what it wrote when the table was
// made: every sheet, deck, check, tune and tuned file, for two to seven elements, each match, a declared line,
// sweeps in turn and a tuned design. Work on how a design is built and cut must leave every one of them as it
// is; a change that means to change one says so by writing the file again, in the same commit.
//
// TARVELIN_WRITE_EXPECTED=1 writes the expected files from this build instead of comparing with them.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <utility>

namespace {

const QString kFolder = QStringLiteral(TARVELIN_OUTPUTS_DIR);

// The figures that change from run to run: how long a run took.
QByteArray withoutTimes(QByteArray text)
{
    static const QRegularExpression seconds(QStringLiteral(R"(("seconds": )[0-9.e+-]+)"));
    static const QRegularExpression tookIn(QStringLiteral(R"(( designs tried in )[0-9.]+ s)"));
    QString read = QString::fromUtf8(text);
    read.replace(seconds, QStringLiteral(R"(\1*)"));
    read.replace(tookIn, QStringLiteral(R"(\1* s)"));
    return read.toUtf8();
}

// One run as a file: its standard output, then its standard error and exit status, and the tuned design it
// saved, where it saved one.
QByteArray runOf(const QStringList &arguments, const QTemporaryDir &saved)
{
    QStringList given = arguments;
    given.replaceInStrings(QStringLiteral("$SAVED"), saved.filePath(QStringLiteral("tuned.json")));
    QProcess calc;
    calc.setWorkingDirectory(kFolder); // the sweeps and the tuned design by their names alone
    calc.start(QStringLiteral(TARVELIN_CALC_PATH), given);
    if (!calc.waitForFinished(120000) || calc.exitStatus() != QProcess::NormalExit)
        return "the run did not end\n";
    QByteArray run = calc.readAllStandardOutput();
    const QByteArray err = calc.readAllStandardError();
    if (!err.isEmpty())
        run += "--- standard error\n" + err;
    run += "--- exit " + QByteArray::number(calc.exitCode()) + '\n';
    QFile tuned(saved.filePath(QStringLiteral("tuned.json")));
    if (tuned.open(QIODevice::ReadOnly))
        run += "--- saved\n" + tuned.readAll();
    return withoutTimes(run.replace(saved.path().toUtf8(), "$SAVED_FOLDER"));
}

QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

class TestOutputs : public QObject
{
    Q_OBJECT

private slots:
    void staysAsItWas_data();
    void staysAsItWas();
};

void TestOutputs::staysAsItWas_data()
{
    QTest::addColumn<QStringList>("arguments");
    const auto add = [](const QString &name, const QStringList &arguments) {
        QTest::newRow(qPrintable(name)) << arguments;
    };
    const std::array<std::pair<const char *, const char *>, 4> matches{{
        {"direct", ""},
        {"balun4", "--match balun4"},
        {"section", "--match quarter-wave --match-z0 75 --match-vf 0.66"},
        {"rg11", "--match quarter-wave --match-line RG-11 --match-vf 0.65"},
    }};
    add(QStringLiteral("grid"), words("7.1 14.2 146"));
    add(QStringLiteral("grid-json"), words("--format json 1.83 28.5"));
    // Every array with every match: its sheet, and its deck where the deck differs by more than its loops.
    for (int elements = 2; elements <= 7; ++elements)
        for (const auto &[name, match] : matches) {
            const QStringList array = {QStringLiteral("--elements"), QString::number(elements)};
            add(QStringLiteral("shop-%1-%2").arg(elements).arg(QLatin1String(name)),
                words("--shop --format json") + array + words(match) + words("3.55 14.2"));
            if (elements == 3 || elements == 7 || QLatin1String(name) == QLatin1String("direct"))
                add(QStringLiteral("nec-%1-%2").arg(elements).arg(QLatin1String(name)),
                    words("--nec") + array + words(match) + words("14.2"));
        }
    add(QStringLiteral("shop-table"), words("--shop 14.2"));
    add(QStringLiteral("shop-csv-settings"),
        words("--shop --format csv --elements 5 --match quarter-wave --match-line RG-11 --step 32 --allowance 2in "
              "--hub-offset 1-1/2 14.2"));
    add(QStringLiteral("shop-measured"), words("--shop --elements 4 --step 64 --measured 14.05 14.2"));
    add(QStringLiteral("shop-sweep"), words("--shop --format json --elements 3 --measured-sweep trim1.s1p 14.2"));
    add(QStringLiteral("shop-sweep-through"),
        words("--shop --elements 3 --match quarter-wave --match-line RG-11 --measured-sweep trim1.s1p "
              "--through 10m:RG-58 --through-match 14.2"));
    add(QStringLiteral("shop-sweeps-in-turn"),
        words("--shop --elements 3 --measured-sweep trim1.s1p --measured-sweep trim2.s1p --measured-sweep trim3.s1p "
              "--cut advised --cut 3in 14.2"));
    add(QStringLiteral("shop-sweeps-in-turn-json"),
        words("--shop --format json --elements 3 --measured-sweep trim1.s1p --measured-sweep trim2.s1p 14.2"));
    add(QStringLiteral("shop-tuned"), words("--shop --tuned tuned.json"));
    add(QStringLiteral("shop-tuned-json-sweep"),
        words("--shop --format json --tuned tuned.json --measured-sweep trim1.s1p"));
    add(QStringLiteral("nec-tuned"), words("--nec --tuned tuned.json --span 2 --points 5"));
    add(QStringLiteral("nec-bands-spider"),
        words("--nec --bands 20m,15m,10m --elements 2 --layout spider --spacing 0.14 --shape square --points 3"));
    add(QStringLiteral("analyse-bands-spider-json"),
        words("--analyse --format json --processes 2 --bands 20m,15m,10m --elements 2 --layout spider --idle short "
              "--z0 75 --span 5 --points 7"));
    add(QStringLiteral("analyse-bands-idle-lines"),
        words("--analyse --processes 2 --bands 20m,15m,10m --layout spider --idle line:3.5m:50/0.66/0:open --points 5 "
              "--span 1 --goal-fb 15"));
    add(QStringLiteral("shop-bands-spider"),
        words("--shop --bands 20m,15m,10m --layout spider --allowance 2 --hub-offset 1-1/2 --match 15m=balun4 "
              "--match 20m=quarter-wave:RG-11"));
    add(QStringLiteral("shop-bands-boom-diamond-json"),
        words("--shop --format json --bands 20m,17m,15m,12m,10m --elements 3 --shape diamond --step 32"));
    add(QStringLiteral("shop-bands-csv"), words("--shop --format csv --bands 40m,20m --elements 4 --layout spider "
                                                "--spider-angle 12"));
    add(QStringLiteral("tune-bands-boom"),
        words("--tune --processes 2 --bands 20m,15m --layout boom --idle open --max-designs 12"));
    add(QStringLiteral("nec-bands-boom-diamond"),
        words("--nec --bands 14.2,17m,21.2,12m,28.4 --elements 3 --shape diamond --points 3 --lossless"));
    add(QStringLiteral("refused-sweep-of-another-band"), words("--shop --elements 3 --measured-sweep trim1.s1p 28.5"));

    // With the engine: the check, the tune and what they give the sheet. Any number of processes gives the
    // same figures.
    add(QStringLiteral("analyse-json"),
        words("--analyse --format json --processes 2 --elements 3 --match quarter-wave --match-line RG-11 "
              "--sweep trim1.s1p --through 10m:RG-58 --through-match 14.2"));
    add(QStringLiteral("analyse-sweeps-in-turn"),
        words("--analyse --processes 2 --elements 3 --sweep trim1.s1p --sweep trim2.s1p --cut 3in 14.2"));
    add(QStringLiteral("analyse-csv-ground"),
        words("--analyse --format csv --processes 2 --elements 2 --match balun4 --ground-height 15m --wire-mm 1.6 "
              "--insulation 0.4 14.2"));
    add(QStringLiteral("tune-json-saved"),
        words("--tune --format json --processes 2 --elements 3 --max-designs 25 --boom 3m --match quarter-wave "
              "--match-z0 75 --match-vf 0.66 --save $SAVED 14.2"));
    add(QStringLiteral("tune-table"), words("--tune --processes 2 --elements 2 --goal-fb 10 --max-designs 25 14.2"));
    add(QStringLiteral("shop-model"), words("--shop --processes 2 --elements 3 --measured model 14.2"));
    add(QStringLiteral("shop-tune"),
        words("--shop --tune --processes 2 --elements 2 --goal-fb 10 --max-designs 25 --match balun4 14.2"));
}

void TestOutputs::staysAsItWas()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir saved;
    QVERIFY(saved.isValid());
    const QByteArray run = runOf(arguments, saved);
    QFile expected(QDir(kFolder).filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".out")));
    if (qEnvironmentVariableIntValue("TARVELIN_WRITE_EXPECTED") == 1) {
        QVERIFY(expected.open(QIODevice::WriteOnly));
        QCOMPARE(expected.write(run), run.size());
        return;
    }
    QVERIFY2(expected.open(QIODevice::ReadOnly), qPrintable(expected.fileName()));
    const QList<QByteArray> want = expected.readAll().split('\n');
    const QList<QByteArray> got = run.split('\n');
    // The first line that differs, whole, rather than two texts of kilobytes.
    for (qsizetype i = 0; i < std::min(want.size(), got.size()); ++i)
        QVERIFY2(want[i] == got[i], qPrintable(QStringLiteral("line %1:\n  was %2\n  now %3")
                                                   .arg(i + 1)
                                                   .arg(QString::fromUtf8(want[i]), QString::fromUtf8(got[i]))));
    QCOMPARE(got.size(), want.size());
}

QTEST_GUILESS_MAIN(TestOutputs)
#include "tst_outputs.moc"
