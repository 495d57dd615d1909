// SPDX-License-Identifier: MIT
#include "gui/windows/check/sweeprow.h"

#include "core/calc/designlengths.h"
#include "core/check/checktable.h"
#include "gui/windows/userfiles.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

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
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_load);
    layout->addWidget(m_clear);
    layout->addWidget(m_label, 1);
    setTabOrder(m_load, m_clear);
}

bool SweepRow::load(MessageBoxService &messages, const QString &path)
{
    std::optional<touchstone::Sweep> sweep = readSweepFile(messages, path);
    if (!sweep)
        return false;
    m_letGo.clear();
    if (m_held.size() >= nec::kMostSweeps) {
        m_letGo = m_held.front().name;
        m_held.erase(m_held.begin());
    }
    const QFileInfo file(path);
    m_held.push_back(
        {std::move(*sweep), file.fileName(), QLocale().toString(file.lastModified(), QLocale::ShortFormat)});
    return true;
}

void SweepRow::clear()
{
    m_held.clear();
    m_letGo.clear();
}

std::vector<nec::MeasuredSweep> SweepRow::measured(const nec::SweepReading &reading, const nec::CheckSummary *check,
                                                   const std::string &frequencyText) const
{
    std::vector<nec::MeasuredSweep> sweeps;
    for (const Held &held : m_held) {
        nec::MeasuredSweep measured = nec::measuredSweepOf(held.sweep, held.name.toStdString(), reading);
        measured.when = held.when.toStdString();
        if (check)
            nec::compareWithModel(measured, *check, frequencyText);
        sweeps.push_back(std::move(measured));
    }
    return sweeps;
}

void SweepRow::show(const std::vector<nec::MeasuredSweep> &sweeps, bool checked)
{
    m_clear->setEnabled(!sweeps.empty());
    m_clear->setText(sweeps.size() > 1 ? QStringLiteral("Clear Sweeps") : QStringLiteral("Clear Sweep"));
    if (sweeps.empty()) {
        m_label->setText(QStringLiteral("No measured sweep: load an analyser's sweep of the built antenna, or drop "
                                        "its file here; load each sweep after a trim in turn."));
        return;
    }
    const nec::MeasuredSweep &latest = sweeps.back();
    QString text = sweeps.size() == 1 ? QStringLiteral("Measured: %1")
                                      : QStringLiteral("%1 sweeps; the latest %2").arg(sweeps.size());
    text = text.arg(QString::fromStdString(latest.file)) +
           QStringLiteral(", %1 points from %2 to %3 MHz, lowest SWR %4 at %5 MHz.")
               .arg(latest.points.size())
               .arg(QString::fromStdString(frequencyLabel(latest.points.front().mhz)),
                    QString::fromStdString(frequencyLabel(latest.points.back().mhz)),
                    QString::fromStdString(nec::swrText(latest.minSwr, 2)),
                    QString::fromStdString(frequencyLabel(latest.minSwrMHz)));
    if (!m_letGo.isEmpty())
        text += QStringLiteral(" Up to %1 are kept: the oldest, %2, gave way.").arg(nec::kMostSweeps).arg(m_letGo);
    if (!checked)
        text += QStringLiteral(" Run the check to lay it over the model.");
    m_label->setText(text);
}

QWidget *SweepRow::firstField() const
{
    return m_load;
}

QWidget *SweepRow::lastField() const
{
    return m_clear;
}

} // namespace tarvelin
