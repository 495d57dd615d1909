// SPDX-License-Identifier: MIT
#include "gui/windows/check/checksettingspanel.h"

#include "core/design/designlengths.h"
#include "gui/runtime/settingsstore.h"
#include "gui/windows/rows/bandsrow.h"
#include "gui/windows/rows/designrow.h"
#include "gui/windows/widgets/fieldmark.h"
#include "gui/windows/rows/matchrow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <array>

namespace tarvelin {

CheckSettingsPanel::CheckSettingsPanel(QWidget *parent) : QWidget(parent)
{
    const DesignRow design = makeDesignRow();
    m_frequency = design.frequency;
    m_elements = design.elements;
    buildModelFields();
    buildJacketFields();
    layOut(design);

    // Every setting, also those that cannot be refused, since Tune Loops needs to know they still are the check's.
    for (QLineEdit *edit : {m_frequency, m_height})
        connect(edit, &QLineEdit::textChanged, this, &CheckSettingsPanel::changed);
    for (QCheckBox *box : {m_overGround, m_copper})
        connect(box, &QCheckBox::toggled, this, &CheckSettingsPanel::changed);
    for (QSpinBox *box : {m_elements, m_segments, m_points})
        connect(box, &QSpinBox::valueChanged, this, &CheckSettingsPanel::changed);
    for (QDoubleSpinBox *box : {m_wireMm, m_span, m_insulationMm, m_permittivity})
        connect(box, &QDoubleSpinBox::valueChanged, this, &CheckSettingsPanel::changed);
    for (QComboBox *box : {m_z0, m_awg, m_jacket})
        connect(box, &QComboBox::currentIndexChanged, this, &CheckSettingsPanel::changed);
}

// The wire, the segments, the sweep, the feed line and the ground.
void CheckSettingsPanel::buildModelFields()
{
    m_wireMm = new QDoubleSpinBox;
    m_wireMm->setObjectName(QStringLiteral("wireMm"));
    m_wireMm->setRange(design::limits::kLowestWireMm, design::limits::kHighestWireMm);
    m_wireMm->setDecimals(3);
    m_wireMm->setSuffix(QStringLiteral(" mm"));
    m_awg = new QComboBox;
    m_awg->setObjectName(QStringLiteral("awg"));
    m_awg->setAccessibleName(QStringLiteral("Wire gauge"));
    m_awg->addItem(QStringLiteral("diameter"), 0);
    for (int gauge = design::limits::kLowestAwg; gauge <= design::limits::kHighestAwg; ++gauge)
        m_awg->addItem(QStringLiteral("AWG %1").arg(gauge), gauge);
    connect(m_awg, &QComboBox::currentIndexChanged, this, [this] {
        const int gauge = m_awg->currentData().toInt();
        m_wireMm->setEnabled(gauge == 0);
        if (gauge != 0)
            m_wireMm->setValue(design::awgDiameterMm(gauge));
    });
    m_segments = new QSpinBox;
    m_segments->setObjectName(QStringLiteral("segments"));
    m_segments->setRange(design::limits::kFewestSegments, design::limits::kMostSegments);
    m_segments->setSingleStep(2);
    m_span = new QDoubleSpinBox;
    m_span->setObjectName(QStringLiteral("span"));
    m_span->setRange(design::limits::kNarrowestSpanPercent, design::limits::kWidestSpanPercent);
    m_span->setPrefix(QStringLiteral("\u00b1"));
    m_span->setSuffix(QStringLiteral(" %"));
    m_points = new QSpinBox;
    m_points->setObjectName(QStringLiteral("points"));
    m_points->setRange(design::limits::kFewestPoints, design::limits::kMostPoints);
    m_points->setSingleStep(2);
    m_z0 = new QComboBox;
    m_z0->setObjectName(QStringLiteral("z0"));
    m_z0->addItem(QStringLiteral("50 \u03a9"), 50.0);
    m_z0->addItem(QStringLiteral("75 \u03a9"), 75.0);
    m_copper = new QCheckBox(QStringLiteral("C&opper losses"));
    m_copper->setObjectName(QStringLiteral("copper"));
    m_overGround = new QCheckBox(QStringLiteral("Over average &ground, boom at"));
    m_overGround->setObjectName(QStringLiteral("overGround"));
    m_height = new QLineEdit;
    m_height->setObjectName(QStringLiteral("height"));
    m_height->setPlaceholderText(QStringLiteral("e.g. 15 m or 50 ft"));
    m_height->setAccessibleName(QStringLiteral("Boom height over ground"));
    connect(m_overGround, &QCheckBox::toggled, m_height, &QWidget::setEnabled);
}

// The wire's jacket: bare, a common insulation by its permittivity, or another one's.
void CheckSettingsPanel::buildJacketFields()
{
    m_jacket = new QComboBox;
    m_jacket->setObjectName(QStringLiteral("jacket"));
    m_jacket->setAccessibleName(QStringLiteral("Wire insulation"));
    m_jacket->setToolTip(QStringLiteral("An insulated wire's jacket slows the wave along it, so the loops resonate "
                                        "lower: modelled as for a straight wire, an estimate on a closed loop"));
    m_jacket->addItem(QStringLiteral("bare wire"), 0.0);
    for (const design::Jacket &jacket : design::kJackets)
        m_jacket->addItem(QString::fromLatin1(jacket.name), jacket.permittivity);
    m_jacket->addItem(QStringLiteral("other"), -1.0);
    m_insulationMm = new QDoubleSpinBox;
    m_insulationMm->setObjectName(QStringLiteral("insulationMm"));
    m_insulationMm->setAccessibleName(QStringLiteral("Insulation thickness"));
    m_insulationMm->setRange(0.05, design::limits::kThickestInsulationMm);
    m_insulationMm->setDecimals(2);
    m_insulationMm->setSingleStep(0.1);
    m_insulationMm->setSuffix(QStringLiteral(" mm"));
    m_insulationMm->setValue(0.4);
    m_permittivity = new QDoubleSpinBox;
    m_permittivity->setObjectName(QStringLiteral("permittivity"));
    m_permittivity->setAccessibleName(QStringLiteral("Insulation permittivity"));
    m_permittivity->setRange(design::limits::kLowestPermittivity, design::limits::kHighestPermittivity);
    m_permittivity->setDecimals(2);
    m_permittivity->setSingleStep(0.1);
    m_permittivity->setPrefix(QStringLiteral("\u03b5r "));
    m_permittivity->setValue(design::CheckSettings{}.permittivity);
    connect(m_jacket, &QComboBox::currentIndexChanged, this, [this] {
        const double permittivity = m_jacket->currentData().toDouble();
        m_insulationMm->setEnabled(permittivity != 0.0);
        m_permittivity->setEnabled(permittivity < 0.0);
        if (permittivity > 0.0)
            m_permittivity->setValue(permittivity);
    });
}

// Two columns, the design and the wire beside the sweep and the feed, and the frequency's reading under them.
void CheckSettingsPanel::layOut(const DesignRow &design)
{
    auto *left = new QFormLayout;
    left->addRow(design.label, design.layout);
    m_bands = BandsRow::addTo(*left);
    connect(m_bands, &BandsRow::changed, this, &CheckSettingsPanel::changed);
    auto *wire = new QHBoxLayout;
    wire->addWidget(m_wireMm);
    wire->addWidget(m_awg);
    wire->addWidget(m_copper); // beside the wire it is about, a row less for a low window
    auto *wireLabel = new QLabel(QStringLiteral("&Wire:"));
    wireLabel->setBuddy(m_wireMm);
    left->addRow(wireLabel, wire);
    left->addRow(QStringLiteral("Segments per &side:"), m_segments);
    auto *jacket = new QHBoxLayout;
    jacket->addWidget(m_jacket);
    jacket->addWidget(m_insulationMm);
    jacket->addWidget(m_permittivity);
    auto *jacketLabel = new QLabel(QStringLiteral("&Jacket:"));
    jacketLabel->setBuddy(m_jacket);
    left->addRow(jacketLabel, jacket);
    auto *right = new QFormLayout;
    right->addRow(QStringLiteral("Sweep sp&an:"), m_span);
    right->addRow(QStringLiteral("Poi&nts:"), m_points);
    right->addRow(QStringLiteral("Feed &line:"), m_z0);
    right->addRow(m_overGround, m_height);
    m_match = new MatchRow;
    auto *matchLabel = new QLabel(QStringLiteral("Match:"));
    matchLabel->setBuddy(m_match->kindBox());
    right->addRow(matchLabel, m_match);
    connect(m_match, &MatchRow::changed, this, &CheckSettingsPanel::changed);
    // How a frequency text longer than its number was read, so "14,2" is never 14 MHz unseen.
    m_reading = new QLabel;
    m_reading->setObjectName(QStringLiteral("frequencyReading"));
    m_reading->setWordWrap(true);
    m_reading->setTextFormat(Qt::PlainText);
    m_reading->hide();
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(columns);
    layout->addWidget(m_reading);

    // Tab reads the settings a column at a time.
    const std::array<QWidget *, 14> reading{m_frequency, m_elements, m_wireMm,       m_awg,          m_copper,
                                            m_segments,  m_jacket,   m_insulationMm, m_permittivity, m_span,
                                            m_points,    m_z0,       m_overGround,   m_height};
    for (std::size_t i = 1; i < reading.size(); ++i)
        setTabOrder(reading[i - 1], reading[i]);
    m_bands->placeInTabOrder(m_elements, m_wireMm); // under the frequency they replace
    setTabOrder(m_height, m_match->kindBox());
}

QString CheckSettingsPanel::frequencyText() const
{
    return m_frequency->text();
}

void CheckSettingsPanel::setFrequencyText(const QString &text)
{
    m_frequency->setText(text);
}

int CheckSettingsPanel::elements() const
{
    return m_elements->value();
}

double CheckSettingsPanel::z0Ohms() const
{
    return m_z0->currentData().toDouble();
}

int CheckSettingsPanel::points() const
{
    return m_points->value();
}

// The controls' values as they are, held to the same limits as tarvelin-calc's options, so both refuse alike;
// the boom height alone is typed, and read as tarvelin-calc reads it.
std::optional<design::CheckSettings> CheckSettingsPanel::read(QString &problem) const
{
    design::CheckSettings settings;
    const int gauge = m_awg->currentData().toInt();
    settings.wireDiameterMm = gauge != 0 ? design::awgDiameterMm(gauge) : m_wireMm->value();
    settings.segments = m_segments->value();
    settings.spanPercent = m_span->value();
    settings.points = m_points->value();
    settings.z0Ohms = m_z0->currentData().toDouble();
    settings.lossless = !m_copper->isChecked();
    if (m_jacket->currentIndex() != 0) {
        settings.insulationMm = m_insulationMm->value();
        settings.permittivity = m_permittivity->value();
    }
    settings.match = m_match->match();
    std::optional<design::CheckSettingRefusal> refusal;
    if (m_overGround->isChecked()) {
        auto height = design::readGroundHeight(m_height->text().toStdString());
        if (const auto *refused = std::get_if<design::CheckSettingRefusal>(&height))
            refusal = *refused;
        else
            settings.groundHeightMetres = std::get<double>(height);
    }
    if (!refusal)
        refusal = design::checkSettingsProblem(settings);
    if (refusal) {
        problem = QString::fromStdString(refusal->message);
        return std::nullopt;
    }
    return settings;
}

void CheckSettingsPanel::restore(const CheckWindowSettings &stored)
{
    m_frequency->setText(stored.frequency);
    m_bands->setText(stored.bands);
    m_wireMm->setValue(stored.wireMm);
    m_awg->setCurrentIndex(std::max(0, m_awg->findData(stored.awg)));
    m_segments->setValue(stored.segments);
    m_elements->setValue(stored.elements);
    m_span->setValue(stored.spanPercent);
    m_points->setValue(stored.points);
    m_z0->setCurrentIndex(std::max(0, m_z0->findData(stored.z0Ohms)));
    m_copper->setChecked(stored.copper);
    m_overGround->setChecked(stored.overGround);
    m_height->setText(stored.groundHeight);
    m_height->setEnabled(m_overGround->isChecked());
    // A jacket of a common insulation shows as that one; another's permittivity as other.
    int jacket = 0;
    if (stored.insulationMm > 0.0) {
        jacket = m_jacket->count() - 1;
        for (int i = 1; i + 1 < m_jacket->count(); ++i)
            if (m_jacket->itemData(i).toDouble() == stored.permittivity)
                jacket = i;
        m_insulationMm->setValue(stored.insulationMm);
    }
    m_permittivity->setValue(stored.permittivity);
    m_jacket->setCurrentIndex(jacket);
    m_match->setMatch(stored.match);
    m_insulationMm->setEnabled(jacket != 0);
    m_permittivity->setEnabled(jacket == m_jacket->count() - 1);
}

void CheckSettingsPanel::store(CheckWindowSettings &into) const
{
    into.frequency = m_frequency->text();
    into.bands = m_bands->text();
    into.wireMm = m_wireMm->value();
    into.awg = m_awg->currentData().toInt();
    into.segments = m_segments->value();
    into.spanPercent = m_span->value();
    into.points = m_points->value();
    into.z0Ohms = m_z0->currentData().toDouble();
    into.copper = m_copper->isChecked();
    into.overGround = m_overGround->isChecked();
    into.groundHeight = m_height->text();
    into.insulationMm = m_jacket->currentIndex() != 0 ? m_insulationMm->value() : 0.0;
    into.permittivity = m_permittivity->value();
    into.elements = m_elements->value();
    into.match = m_match->match();
}

void CheckSettingsPanel::showFeedResistance(std::optional<double> ohms, MatchRow::Feed of)
{
    m_match->showIdeal(ohms, z0Ohms(), of);
}

CheckSettingsPanel::Checked CheckSettingsPanel::check()
{
    Checked checked;
    QLineEdit *field = nullptr;
    const std::string frequency = m_frequency->text().toStdString();
    checked.settings = read(checked.problem);
    if (!checked.settings) {
        field = m_height;
    } else if (!m_frequency->text().trimmed().isEmpty()) {
        auto made = design::designFor(frequency, m_elements->value(), *checked.settings);
        if (const auto *refusal = std::get_if<design::DesignRefusal>(&made)) {
            checked.problem = QString::fromStdString(refusal->message);
            if (refusal->frequency)
                field = m_frequency;
            else if (refusal->setting == design::StructureCheck::Setting::GroundHeight)
                field = m_height;
        } else {
            checked.design = std::get<design::Design>(std::move(made));
        }
    }
    for (QLineEdit *edit : {m_frequency, m_height})
        markField(*edit, edit == field ? checked.problem : QString());
    const std::optional<std::string> reading =
        field == m_frequency ? std::nullopt : design::frequencyReadingNote(frequency);
    m_reading->setText(reading ? QString::fromStdString(*reading) : QString());
    m_reading->setVisible(reading.has_value());
    return checked;
}

bool CheckSettingsPanel::isField(const QWidget *widget) const
{
    const std::array<const QWidget *, 11> fields{m_frequency, m_elements,     m_wireMm,      m_awg,
                                                 m_segments,  m_span,         m_points,      m_z0,
                                                 m_height,    m_insulationMm, m_permittivity};
    return widget && std::find(fields.begin(), fields.end(), widget) != fields.end();
}

QWidget *CheckSettingsPanel::lastField() const
{
    return m_match->lastField();
}

} // namespace tarvelin
