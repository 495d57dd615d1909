// SPDX-License-Identifier: MIT
#include "gui/windows/check/tunepanel.h"

#include "gui/runtime/settingsstore.h"
#include "gui/windows/widgets/fieldmark.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvelin {

TunePanel::TunePanel(QWidget *parent) : QWidget(parent)
{
    m_tune = new QPushButton(QStringLiteral("T&une Loops"));
    m_tune->setObjectName(QStringLiteral("tune"));
    m_tune->setAutoDefault(false);
    connect(m_tune, &QPushButton::clicked, this, &TunePanel::tuneRequested);
    m_band = new QDoubleSpinBox;
    m_band->setObjectName(QStringLiteral("tuneBand"));
    m_band->setRange(tune::limits::kLowestBandPercent, tune::limits::kHighestBandPercent);
    m_band->setDecimals(1);
    m_band->setSingleStep(0.1);
    m_band->setPrefix(QStringLiteral("\u00b1"));
    m_band->setSuffix(QStringLiteral(" %"));
    m_band->setAccessibleName(QStringLiteral("Tuning band"));
    m_band->setToolTip(QStringLiteral("The band the tuner holds the SWR and F/B goals over, either side of the "
                                      "design frequency"));
    m_goalSwr = new QDoubleSpinBox;
    m_goalSwr->setObjectName(QStringLiteral("goalSwr"));
    m_goalSwr->setRange(tune::limits::kLowestGoalSwr, tune::limits::kHighestGoalSwr);
    m_goalSwr->setDecimals(2);
    m_goalSwr->setSingleStep(0.1);
    m_goalSwr->setPrefix(QStringLiteral("\u2264 "));
    m_goalSwr->setAccessibleName(QStringLiteral("SWR goal"));
    m_goalSwr->setToolTip(QStringLiteral("The highest SWR the tuner accepts across the band"));
    m_goalFb = new QDoubleSpinBox;
    m_goalFb->setObjectName(QStringLiteral("goalFb"));
    m_goalFb->setRange(tune::limits::kLowestGoalFrontToBackDb, tune::limits::kHighestGoalFrontToBackDb);
    m_goalFb->setDecimals(1);
    m_goalFb->setPrefix(QStringLiteral("\u2265 "));
    m_goalFb->setSuffix(QStringLiteral(" dB"));
    m_goalFb->setAccessibleName(QStringLiteral("F/B goal"));
    m_goalFb->setToolTip(QStringLiteral("The lowest front-to-back the tuner accepts across the band: a two-element "
                                        "quad cannot hold 20 dB across a band, and a builder may want gain first"));
    m_moveStations = new QCheckBox(QStringLiteral("Stations too, boom up to"));
    m_moveStations->setObjectName(QStringLiteral("moveStations"));
    m_moveStations->setToolTip(QStringLiteral("Let the tuner move the elements along the boom too, the reflector at "
                                              "its end and no two closer than 0.05 wavelength"));
    m_boom = new QLineEdit;
    m_boom->setObjectName(QStringLiteral("boom"));
    // An example, said as one: greyed in a disabled box, a bare "7.5 m" reads as a boom already set.
    m_boom->setPlaceholderText(QStringLiteral("e.g. 7.5 m or 25 ft"));
    m_boom->setAccessibleName(QStringLiteral("Longest boom"));
    m_boom->setEnabled(false);
    connect(m_moveStations, &QCheckBox::toggled, m_boom, &QWidget::setEnabled);

    auto *bandLabel = new QLabel(QStringLiteral("&Band:"));
    bandLabel->setBuddy(m_band);
    auto *swrLabel = new QLabel(QStringLiteral("SWR"));
    swrLabel->setBuddy(m_goalSwr);
    auto *fbLabel = new QLabel(QStringLiteral("F/B"));
    fbLabel->setBuddy(m_goalFb);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tune);
    layout->addWidget(bandLabel);
    layout->addWidget(m_band);
    layout->addWidget(swrLabel);
    layout->addWidget(m_goalSwr);
    layout->addWidget(fbLabel);
    layout->addWidget(m_goalFb);
    layout->addWidget(m_moveStations);
    // As wide as a boom's length needs, the same whether it holds a length, the example or nothing.
    m_boom->setMinimumWidth(m_boom->fontMetrics().horizontalAdvance(m_boom->placeholderText() + QStringLiteral("MM")));
    layout->addWidget(m_boom);
    layout->addStretch(1);
    setTabOrder(m_tune, m_band);
    setTabOrder(m_band, m_goalSwr);
    setTabOrder(m_goalSwr, m_goalFb);
    setTabOrder(m_goalFb, m_moveStations);
    setTabOrder(m_moveStations, m_boom);

    for (QDoubleSpinBox *box : {m_band, m_goalSwr, m_goalFb})
        connect(box, &QDoubleSpinBox::valueChanged, this, &TunePanel::changed);
    connect(m_moveStations, &QCheckBox::toggled, this, &TunePanel::changed);
    connect(m_boom, &QLineEdit::textChanged, this, &TunePanel::changed);
}

std::optional<tune::TuneSettings> TunePanel::read(QString &problem) const
{
    tune::TuneSettings tune;
    tune.bandPercent = m_band->value();
    tune.maxSwr = m_goalSwr->value();
    tune.minFrontToBackDb = m_goalFb->value();
    if (m_moveStations->isChecked()) {
        auto boom = tune::readTuneBoom(m_boom->text().toStdString());
        if (const auto *refusal = std::get_if<std::string>(&boom)) {
            problem = QString::fromStdString(*refusal);
            return std::nullopt;
        }
        tune.boomMetres = std::get<double>(boom);
    }
    return tune;
}

void TunePanel::markBoom(const QString &problem)
{
    markField(*m_boom, problem);
}

void TunePanel::restore(const CheckWindowSettings &stored)
{
    m_band->setValue(stored.tuneBandPercent);
    m_goalSwr->setValue(stored.goalSwr);
    m_goalFb->setValue(stored.goalFrontToBackDb);
    m_moveStations->setChecked(stored.moveStations);
    m_boom->setText(stored.boom);
}

void TunePanel::store(CheckWindowSettings &into) const
{
    into.tuneBandPercent = m_band->value();
    into.goalSwr = m_goalSwr->value();
    into.goalFrontToBackDb = m_goalFb->value();
    into.moveStations = m_moveStations->isChecked();
    into.boom = m_boom->text();
}

QWidget *TunePanel::firstField() const
{
    return m_tune;
}

QWidget *TunePanel::lastField() const
{
    return m_boom;
}

} // namespace tarvelin
