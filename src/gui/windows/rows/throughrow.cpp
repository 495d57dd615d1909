// SPDX-License-Identifier: MIT
#include "gui/windows/rows/throughrow.h"

#include "core/design/coaxtable.h"
#include "gui/runtime/settingsstore.h"
#include "gui/windows/rows/cablechoice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace tarvelin {

ThroughRow::ThroughRow(QWidget *parent) : QWidget(parent)
{
    // What the analyser looked through: the sweep is read at the feed point once it is declared.
    m_lineGiven = new QCheckBox(QStringLiteral("Measured through a feed line of"));
    m_lineGiven->setObjectName(QStringLiteral("throughLine"));
    m_lineGiven->setToolTip(QStringLiteral("The line between the analyser and the antenna: a line of other than the "
                                           "feed line's impedance, or a lossy one, moves the lowest SWR. Declared, "
                                           "it is taken out and the sweep is read at the feed point"));
    m_length = new QLineEdit(QStringLiteral("10 m"));
    m_length->setObjectName(QStringLiteral("throughLength"));
    m_length->setAccessibleName(QStringLiteral("Feed line length"));
    m_length->setToolTip(QStringLiteral("Its length, in m or ft: 7 m, 23 ft"));
    m_length->setMaximumWidth(m_length->fontMetrics().horizontalAdvance(QStringLiteral("0000.00 ft")) * 3 / 2);
    const auto spin = [](const char *name, const QString &accessible, double low, double high, int decimals,
                         double value, const QString &suffix) {
        auto *box = new QDoubleSpinBox;
        box->setObjectName(QLatin1String(name));
        box->setAccessibleName(accessible);
        box->setRange(low, high);
        box->setDecimals(decimals);
        box->setValue(value);
        box->setSuffix(suffix);
        return box;
    };
    m_z0 = spin("throughZ0", QStringLiteral("Feed line impedance"), design::limits::kLowestRunZ0Ohms,
                design::limits::kHighestRunZ0Ohms, 0, 50.0, QStringLiteral(" Ω"));
    m_cable = newCableBox(QStringLiteral("throughCable"), QStringLiteral("Feed line cable"));
    m_velocityFactor =
        spin("throughVf", QStringLiteral("Feed line velocity factor"), design::limits::kLowestRunVelocityFactor,
             design::limits::kHighestRunVelocityFactor, 3, 0.66, QString());
    m_velocityFactor->setPrefix(QStringLiteral("VF "));
    m_velocityFactor->setSingleStep(0.01);
    m_measure = newMeasureButton(QStringLiteral("measureThroughVf"), m_velocityFactor);
    m_loss = spin("throughLoss", QStringLiteral("Feed line loss in dB per 100 m at the design frequency"), 0.0,
                  design::limits::kHighestRunLossDbPer100m, 1, 0.0, QStringLiteral(" dB/100 m"));
    m_loss->setToolTip(QStringLiteral("Its matched loss at the design frequency, from the maker's data sheet"));
    m_matchInPath = new QCheckBox(QStringLiteral("and the match"));
    m_matchInPath->setObjectName(QStringLiteral("throughMatch"));
    m_matchInPath->setToolTip(QStringLiteral("The match (its 4:1 balun or quarter-wave section) was between the line "
                                             "and the loop when the sweep was taken"));
    const std::initializer_list<QWidget *> fields{m_lineGiven,      m_length,  m_cable, m_z0,
                                                  m_velocityFactor, m_measure, m_loss,  m_matchInPath};
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *field : fields)
        layout->addWidget(field);
    layout->addStretch(1);
    QWidget *previous = nullptr;
    for (QWidget *field : fields)
        if (QWidget *before = std::exchange(previous, field))
            setTabOrder(before, field);
    follow();
    connect(m_lineGiven, &QCheckBox::toggled, this, &ThroughRow::follow);
    // A cable brings its own loss at every frequency, as well as its impedance and velocity factor.
    connect(m_cable, &QComboBox::currentIndexChanged, this, [this] {
        takeCable(m_cable, m_z0, m_velocityFactor);
        follow();
        emit changed();
    });
    connect(m_lineGiven, &QCheckBox::toggled, this, &ThroughRow::changed);
    connect(m_matchInPath, &QCheckBox::toggled, this, &ThroughRow::changed);
    connect(m_length, &QLineEdit::editingFinished, this, &ThroughRow::changed);
    for (QDoubleSpinBox *box : {m_z0, m_velocityFactor, m_loss})
        connect(box, &QDoubleSpinBox::valueChanged, this, &ThroughRow::changed);
}

void ThroughRow::follow()
{
    const bool given = m_lineGiven->isChecked();
    const bool cable = chosenCable(m_cable) != nullptr;
    for (QWidget *field : std::initializer_list<QWidget *>{m_length, m_cable, m_velocityFactor, m_measure, m_loss})
        field->setEnabled(given);
    m_z0->setEnabled(given && !cable);
    m_loss->setVisible(!cable);
}

design::MeasuredThrough ThroughRow::through(QString *problem) const
{
    design::MeasuredThrough through;
    through.match = m_matchInPath->isChecked() && m_matchInPath->isEnabled();
    if (!m_lineGiven->isChecked())
        return through;
    const auto number = [](const QDoubleSpinBox *box) {
        return QString::number(box->value(), 'f', box->decimals()).toStdString();
    };
    const design::CoaxCable *cable = chosenCable(m_cable);
    auto run = design::readFeedRun(design::FeedRunTexts{m_length->text().toStdString(), cable ? "" : number(m_z0),
                                                        number(m_velocityFactor), cable ? "" : number(m_loss),
                                                        cable ? std::string(cable->name) : std::string()});
    if (const auto *refusal = std::get_if<std::string>(&run)) {
        if (problem)
            *problem = QString::fromStdString(*refusal);
        return through;
    }
    through.run = std::get<design::FeedRun>(run);
    return through;
}

void ThroughRow::offerMatch(bool offered)
{
    m_matchInPath->setEnabled(offered);
}

ThroughSettings ThroughRow::stored() const
{
    return {m_lineGiven->isChecked(),         m_length->text(), m_z0->value(),
            m_velocityFactor->value(),        m_loss->value(),  m_matchInPath->isChecked(),
            m_cable->currentData().toString()};
}

void ThroughRow::restore(const ThroughSettings &stored)
{
    {
        const QSignalBlocker quiet(m_cable);
        chooseCable(m_cable, stored.cable.toStdString());
    }
    m_length->setText(stored.length);
    m_z0->setValue(stored.z0Ohms);
    m_velocityFactor->setValue(stored.velocityFactor);
    m_loss->setValue(stored.lossDbPer100m);
    m_matchInPath->setChecked(stored.match);
    m_lineGiven->setChecked(stored.line);
    follow();
}

QWidget *ThroughRow::firstField() const
{
    return m_lineGiven;
}

QWidget *ThroughRow::lastField() const
{
    return m_matchInPath;
}

} // namespace tarvelin
