// SPDX-License-Identifier: MIT
#include "gui/windows/rows/matchrow.h"

#include "core/design/coaxtable.h"
#include "gui/windows/rows/cablechoice.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace tarvelin {

MatchRow::MatchRow(QWidget *parent) : QWidget(parent)
{
    m_kind = new QComboBox;
    m_kind->setObjectName(QStringLiteral("match"));
    m_kind->setAccessibleName(QStringLiteral("Match"));
    m_kind->addItem(QStringLiteral("direct"), static_cast<int>(design::MatchKind::Direct));
    m_kind->addItem(QStringLiteral("4:1 balun"), static_cast<int>(design::MatchKind::Balun4));
    m_kind->addItem(QStringLiteral("quarter-wave section"), static_cast<int>(design::MatchKind::QuarterWave));
    m_kind->setToolTip(QStringLiteral("How the driven loop meets the feed line: the SWR is read on the line through "
                                      "it, and a quarter-wave section is cut on the shop sheet"));
    m_cable = newCableBox(QStringLiteral("matchCable"), QStringLiteral("Section cable"));
    m_z0 = new QDoubleSpinBox;
    m_z0->setObjectName(QStringLiteral("matchZ0"));
    m_z0->setAccessibleName(QStringLiteral("Section line impedance"));
    m_z0->setRange(design::limits::kLowestSectionZ0Ohms, design::limits::kHighestSectionZ0Ohms);
    m_z0->setDecimals(0);
    m_z0->setSuffix(QStringLiteral(" \u03a9"));
    m_z0->setValue(75.0);
    m_velocityFactor = new QDoubleSpinBox;
    m_velocityFactor->setObjectName(QStringLiteral("matchVf"));
    m_velocityFactor->setAccessibleName(QStringLiteral("Section velocity factor"));
    m_velocityFactor->setRange(design::limits::kLowestVelocityFactor, design::limits::kHighestVelocityFactor);
    m_velocityFactor->setDecimals(3); // as measured
    m_velocityFactor->setSingleStep(0.01);
    m_velocityFactor->setPrefix(QStringLiteral("VF "));
    m_velocityFactor->setValue(0.66);
    m_measure = newMeasureButton(QStringLiteral("measureMatchVf"), m_velocityFactor);
    m_ideal = new QLabel;
    m_ideal->setObjectName(QStringLiteral("idealSection"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_kind);
    layout->addWidget(m_cable);
    layout->addWidget(m_z0);
    layout->addWidget(m_velocityFactor);
    layout->addWidget(m_measure);
    layout->addWidget(m_ideal, 1);
    setTabOrder(m_kind, m_cable);
    setTabOrder(m_cable, m_z0);
    setTabOrder(m_z0, m_velocityFactor);
    setTabOrder(m_velocityFactor, m_measure);
    connect(m_kind, &QComboBox::currentIndexChanged, this, [this] {
        follow();
        emit changed();
    });
    connect(m_cable, &QComboBox::currentIndexChanged, this, [this] {
        takeCable(m_cable, m_z0, m_velocityFactor);
        follow();
        emit changed();
    });
    for (QDoubleSpinBox *box : {m_z0, m_velocityFactor})
        connect(box, &QDoubleSpinBox::valueChanged, this, &MatchRow::changed);
    follow();
}

void MatchRow::follow()
{
    const bool section = m_kind->currentData().toInt() == static_cast<int>(design::MatchKind::QuarterWave);
    m_cable->setEnabled(section);
    m_z0->setEnabled(section && !chosenCable(m_cable));
    m_velocityFactor->setEnabled(section);
    m_measure->setEnabled(section);
    m_ideal->setVisible(section && !m_ideal->text().isEmpty());
}

design::Match MatchRow::match() const
{
    design::Match match;
    match.kind = static_cast<design::MatchKind>(m_kind->currentData().toInt());
    if (match.kind == design::MatchKind::QuarterWave) {
        match.z0Ohms = m_z0->value();
        match.velocityFactor = m_velocityFactor->value();
        if (const design::CoaxCable *cable = chosenCable(m_cable))
            match.line = std::string(cable->name);
    }
    return match;
}

void MatchRow::setMatch(const design::Match &match)
{
    m_kind->setCurrentIndex(std::max(0, m_kind->findData(static_cast<int>(match.kind))));
    if (match.kind == design::MatchKind::QuarterWave) {
        const QSignalBlocker quiet(m_cable);
        chooseCable(m_cable, match.line);
        m_z0->setValue(match.z0Ohms);
        m_velocityFactor->setValue(match.velocityFactor);
    }
    follow();
}

QWidget *MatchRow::kindBox() const
{
    return m_kind;
}

QWidget *MatchRow::lastField() const
{
    return m_measure;
}

void MatchRow::showIdeal(std::optional<double> feedOhms, double lineOhms, Feed of)
{
    const QString text = of == Feed::Tuned ? QStringLiteral("ideal %1 \u03a9 for the tuned %2 \u03a9")
                                           : QStringLiteral("ideal %1 \u03a9 for %2 \u03a9");
    m_ideal->setText(
        feedOhms && *feedOhms > 0.0
            ? text.arg(design::idealSectionZ0Ohms(*feedOhms, lineOhms), 0, 'f', 0).arg(*feedOhms, 0, 'f', 0)
            : QString());
    follow();
}

} // namespace tarvelin
