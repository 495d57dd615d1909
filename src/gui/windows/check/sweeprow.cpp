// SPDX-License-Identifier: MIT
#include "gui/windows/check/sweeprow.h"

#include "core/calc/designlengths.h"
#include "core/check/checktable.h"
#include "gui/windows/userfiles.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
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
    m_sweep = std::move(sweep);
    m_name = QFileInfo(path).fileName();
    return true;
}

void SweepRow::clear()
{
    m_sweep.reset();
    m_name.clear();
}

std::optional<nec::MeasuredSweep> SweepRow::measured(double z0Ohms, const nec::CheckSummary *check,
                                                     const std::string &frequencyText) const
{
    if (!m_sweep)
        return std::nullopt;
    nec::MeasuredSweep measured = nec::measuredSweepOf(*m_sweep, m_name.toStdString(), z0Ohms);
    if (check)
        nec::compareWithModel(measured, *check, frequencyText);
    return measured;
}

void SweepRow::show(const nec::MeasuredSweep *measured, bool checked)
{
    m_clear->setEnabled(measured != nullptr);
    if (!measured) {
        m_label->setText(QStringLiteral("No measured sweep: load an analyser's sweep of the built antenna, or drop "
                                        "its file here."));
        return;
    }
    m_label->setText(QStringLiteral("Measured: %1, %2 points from %3 to %4 MHz, lowest SWR %5 at %6 MHz.%7")
                         .arg(m_name)
                         .arg(measured->points.size())
                         .arg(QString::fromStdString(frequencyLabel(measured->points.front().mhz)),
                              QString::fromStdString(frequencyLabel(measured->points.back().mhz)),
                              QString::fromStdString(nec::swrText(measured->minSwr, 2)),
                              QString::fromStdString(frequencyLabel(measured->minSwrMHz)),
                              checked ? QString() : QStringLiteral(" Run the check to lay it over the model.")));
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
