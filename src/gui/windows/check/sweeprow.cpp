// SPDX-License-Identifier: MIT
#include "gui/windows/check/sweeprow.h"

#include "core/design/designlengths.h"
#include "core/document/checktable.h"
#include "gui/windows/rows/cutsincerow.h"
#include "gui/windows/rows/throughrow.h"
#include "gui/windows/userfiles.h"

#include <QFileInfo>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvelin {

SweepRow::SweepRow(QWidget *parent) : QWidget(parent)
{
    m_load = new QPushButton(QStringLiteral("Load &Measured Sweep\u2026"));
    m_load->setObjectName(QStringLiteral("loadSweep"));
    m_load->setAutoDefault(false);
    m_load->setToolTip(QStringLiteral("Lay an analyser's sweep of the built antenna (Touchstone .s1p or .s2p) over "
                                      "the model; a file dropped on the window does the same"));
    connect(m_load, &QPushButton::clicked, this, [this] {
        const QString path = chooseSweepPath(this, QStringLiteral("Load measured sweep"));
        if (!path.isEmpty())
            emit loadRequested(path);
    });
    m_clear = new QPushButton(QStringLiteral("Clear Sweep"));
    m_clear->setObjectName(QStringLiteral("clearSweep"));
    m_clear->setAutoDefault(false);
    connect(m_clear, &QPushButton::clicked, this, &SweepRow::clearRequested);
    m_label = new QLabel;
    m_label->setObjectName(QStringLiteral("sweepLabel"));
    m_label->setAccessibleName(QStringLiteral("Measured sweep"));
    m_label->setWordWrap(true);
    m_label->setTextFormat(Qt::PlainText);
    auto *sweeps = new QHBoxLayout;
    sweeps->addWidget(m_load);
    sweeps->addWidget(m_clear);
    sweeps->addWidget(m_label, 1);
    // The latest sweep's, once there are sweeps in turn.
    m_cutSince = new CutSinceRow;
    m_cutSince->setVisible(false);
    connect(m_cutSince, &CutSinceRow::changed, this, [this] {
        if (m_held.size() > 1)
            m_held.back().cutInches = m_cutSince->inches();
        emit cutChanged();
    });

    // What the analyser looked through: the sweeps are read at the feed point once it is declared.
    m_through = new ThroughRow;
    connect(m_through, &ThroughRow::changed, this, &SweepRow::throughChanged);
    m_shown = new QComboBox;
    m_shown->setObjectName(QStringLiteral("sweepShown"));
    m_shown->setAccessibleName(QStringLiteral("Plots show a sweep read through the line"));
    m_shown->addItem(QStringLiteral("Plot at the feed point"), static_cast<int>(SweepShown::FeedPoint));
    m_shown->addItem(QStringLiteral("Plot as measured"), static_cast<int>(SweepShown::AsMeasured));
    m_shown->addItem(QStringLiteral("Plot both"), static_cast<int>(SweepShown::Both));
    auto *through = new QHBoxLayout;
    through->addWidget(m_through);
    through->addWidget(m_shown);
    through->addStretch(1);
    connect(m_shown, &QComboBox::currentIndexChanged, this,
            [this] { emit sweepShownChanged(static_cast<SweepShown>(m_shown->currentData().toInt())); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(sweeps);
    layout->addWidget(m_cutSince);
    layout->addLayout(through);
    setTabOrder(m_load, m_clear);
    setTabOrder(m_clear, m_cutSince->field());
    setTabOrder(m_cutSince->field(), m_through->firstField());
    setTabOrder(m_through->lastField(), m_shown);
}

bool SweepRow::load(MessageBoxService &messages, const QString &path)
{
    std::optional<touchstone::Sweep> sweep = readSweepFile(messages, path);
    if (!sweep)
        return false;
    m_letGo.clear();
    if (m_held.size() >= measure::kMostSweeps) {
        m_letGo = m_held.front().name;
        m_held.erase(m_held.begin());
    }
    const QFileInfo file(path);
    m_held.push_back({std::move(*sweep), file.fileName(), QLocale().toString(file.lastModified(), QLocale::ShortFormat),
                      std::nullopt});
    m_cutSince->clear();
    m_cutSince->setVisible(m_held.size() > 1);
    return true;
}

void SweepRow::clear()
{
    m_held.clear();
    m_letGo.clear();
    m_cutSince->clear();
    m_cutSince->setVisible(false);
}

std::vector<measure::MeasuredSweep> SweepRow::measured(const measure::SweepReading &reading,
                                                       const check::CheckSummary *check,
                                                       const std::string &frequencyText) const
{
    measure::SweepReading declared = reading;
    declared.through = m_through->through(nullptr);
    std::vector<measure::MeasuredSweep> sweeps;
    std::vector<std::optional<double>> cuts;
    for (const Held &held : m_held) {
        measure::MeasuredSweep measured = measure::measuredSweepOf(held.sweep, held.name.toStdString(), declared);
        measured.when = held.when.toStdString();
        if (!sweeps.empty())
            cuts.push_back(held.cutInches);
        sweeps.push_back(std::move(measured));
    }
    if (check)
        measure::compareInTurn(sweeps, *check, frequencyText, cuts);
    return sweeps;
}

measure::BandSweeps SweepRow::measuredForBand(const check::BandCheck &band, double z0Ohms) const
{
    std::vector<measure::SweepFile> files;
    for (const Held &held : m_held)
        files.push_back({held.name.toStdString(), held.sweep});
    measure::BandSweeps read = measure::bandSweepsOf(files, std::span(&band, 1), z0Ohms, m_through->through(nullptr))
                                   .front();
    for (std::size_t i = 0; i < read.sweeps.size() && i < m_held.size(); ++i)
        read.sweeps[i].when = m_held[i].when.toStdString();
    return read;
}

void SweepRow::show(const std::vector<measure::MeasuredSweep> &sweeps, bool checked)
{
    m_clear->setEnabled(!sweeps.empty());
    m_clear->setText(sweeps.size() > 1 ? QStringLiteral("Clear Sweeps") : QStringLiteral("Clear Sweep"));
    if (sweeps.empty()) {
        m_shown->setVisible(m_through->through(nullptr).declared());
        m_label->setText(QStringLiteral("No measured sweep: load an analyser's sweep of the built antenna, or drop "
                                        "its file here; load each sweep after a trim in turn."));
        return;
    }
    const measure::MeasuredSweep &latest = sweeps.back();
    QString text = sweeps.size() == 1 ? QStringLiteral("Measured: %1")
                                      : QStringLiteral("%1 sweeps; the latest %2").arg(sweeps.size());
    text = text.arg(QString::fromStdString(latest.file)) +
           QStringLiteral(", %1 points from %2 to %3 MHz, lowest SWR %4 at %5 MHz%6.")
               .arg(latest.points.size())
               .arg(QString::fromStdString(design::frequencyLabel(latest.points.front().mhz)),
                    QString::fromStdString(design::frequencyLabel(latest.points.back().mhz)),
                    QString::fromStdString(check::swrText(latest.minSwr, 2)),
                    QString::fromStdString(design::frequencyLabel(latest.minSwrMHz)),
                    latest.reactanceZeroMHz && latest.by == measure::ResonanceBy::Reactance
                        ? QStringLiteral(", resonant at %1 MHz")
                              .arg(QString::fromStdString(design::frequencyLabel(*latest.reactanceZeroMHz)))
                        : QString());
    if (!m_letGo.isEmpty())
        text += QStringLiteral(" Up to %1 are kept: the oldest, %2, gave way.").arg(measure::kMostSweeps).arg(m_letGo);
    QString problem;
    const design::MeasuredThrough declared = m_through->through(&problem);
    // How to plot a sweep read through a line is a choice only once a line is declared.
    m_shown->setVisible(declared.declared());
    if (!problem.isEmpty())
        text += QStringLiteral(" Read as measured: ") + problem;
    else if (declared.declared())
        text += QStringLiteral(" Read at the feed point: measured through %1.")
                    .arg(QString::fromStdString(measure::throughText(declared)));
    if (!checked)
        text += QStringLiteral(" Run the check to lay it over the model.");
    QString cutProblem;
    (void)m_cutSince->inches(&cutProblem);
    if (m_held.size() > 1 && !cutProblem.isEmpty())
        text += QStringLiteral(" The trim advised is taken as cut: ") + cutProblem;
    m_label->setText(text);
}

QWidget *SweepRow::firstField() const
{
    return m_load;
}

QWidget *SweepRow::lastField() const
{
    return m_shown;
}

} // namespace tarvelin
