// SPDX-License-Identifier: MIT
#include "gui/windows/sheet/sheetsettingspanel.h"

#include "gui/runtime/settingsstore.h"
#include "gui/windows/rows/cutsincerow.h"
#include "gui/windows/rows/bandsrow.h"
#include "gui/windows/rows/designrow.h"
#include "gui/windows/rows/matchrow.h"
#include "gui/windows/rows/throughrow.h"
#include "gui/windows/widgets/fieldmark.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvelin {

namespace {

// How long a pause in typing the frequency takes it as meant.
constexpr int kCommitPauseMs = 800;

} // namespace

SheetSettingsPanel::SheetSettingsPanel(QWidget *parent) : QWidget(parent)
{
    buildFields();
    layOut();
    connectFields();
}

QString SheetSettingsPanel::lineTip()
{
    return QStringLiteral("The feed line the antenna is fed with: From Sweep reads a sweep's SWR against it, and its "
                          "dip");
}

void SheetSettingsPanel::buildFields()
{
    m_step = new QComboBox;
    m_step->setObjectName(QStringLiteral("step"));
    for (const int step : shop::kFractionSteps)
        m_step->addItem(QStringLiteral("1/%1 inch").arg(step), step);
    m_allowance = new QLineEdit;
    m_allowance->setObjectName(QStringLiteral("allowance"));
    m_allowance->setPlaceholderText(QStringLiteral("0 in"));
    m_allowance->setToolTip(QStringLiteral("Extra wire for the join of each loop, in inches or millimetres: "
                                           "2.5, 2.5 in, 60 mm"));
    m_hubOffset = new QLineEdit;
    m_hubOffset->setObjectName(QStringLiteral("hubOffset"));
    m_hubOffset->setPlaceholderText(QStringLiteral("0 in"));
    m_hubOffset->setToolTip(QStringLiteral("How much of each spreader arm the hub takes"));
    m_measured = new QLineEdit;
    m_measured->setObjectName(QStringLiteral("measured"));
    m_measured->setPlaceholderText(QStringLiteral("optional"));
    m_measured->setMinimumWidth(frequencyBoxWidth(*m_measured));
    m_measured->setToolTip(QStringLiteral("The frequency the built array resonates at: the sheet then gives each "
                                          "loop's trim"));
    m_fromSweep = new QPushButton(QStringLiteral("From S&weep\u2026"));
    m_fromSweep->setObjectName(QStringLiteral("fromSweep"));
    m_fromSweep->setToolTip(
        QStringLiteral("Read the measured resonance from an analyser's sweep of the built antenna "
                       "(Touchstone .s1p or .s2p): where its reactance passes zero at the feed point"));
    // The line a sweep's SWR is read against, as tarvelin-calc's --z0 for --measured-sweep.
    m_line = new QComboBox;
    m_line->setObjectName(QStringLiteral("line"));
    m_line->setToolTip(lineTip());
    for (const double ohms : {50.0, 75.0})
        m_line->addItem(QStringLiteral("%1 \u03a9").arg(ohms), ohms);
    m_match = new MatchRow;
    // What From Sweep's sweep was measured through, taken out to read it at the feed point.
    m_through = new ThroughRow;
    m_through->offerMatch(false);
    m_cutSince = new CutSinceRow;
    m_cutSince->setVisible(false);
    m_commit = new QTimer(this);
    m_commit->setSingleShot(true);
    m_commit->setInterval(kCommitPauseMs);
}

void SheetSettingsPanel::layOut()
{
    const DesignRow design = makeDesignRow();
    m_frequency = design.frequency;
    m_elements = design.elements;
    auto *left = new QFormLayout;
    left->addRow(design.label, design.layout);
    m_bands = BandsRow::addTo(*left);
    connect(m_bands, &BandsRow::changed, this, &SheetSettingsPanel::changed);
    left->addRow(QStringLiteral("Fraction &step:"), m_step);
    auto *measuredRow = new QHBoxLayout;
    measuredRow->addWidget(m_measured, 1);
    measuredRow->addWidget(m_fromSweep);
    auto *measuredLabel = new QLabel(QStringLiteral("&Measured resonance (MHz):"));
    measuredLabel->setBuddy(m_measured);
    left->addRow(measuredLabel, measuredRow);
    auto *right = new QFormLayout;
    right->addRow(QStringLiteral("Wire &allowance:"), m_allowance);
    right->addRow(QStringLiteral("&Hub offset:"), m_hubOffset);
    right->addRow(QStringLiteral("F&eed line:"), m_line);
    auto *matchLabel = new QLabel(QStringLiteral("Mat&ch:"));
    matchLabel->setBuddy(m_match->kindBox());
    right->addRow(matchLabel, m_match);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(columns);
    layout->addWidget(m_through);
    layout->addWidget(m_cutSince);
    // Tab reads the settings a column at a time.
    setTabOrder(m_frequency, m_elements);
    m_bands->placeInTabOrder(m_elements, m_step); // under the frequency they replace
    setTabOrder(m_step, m_measured);
    setTabOrder(m_measured, m_fromSweep);
    setTabOrder(m_fromSweep, m_allowance);
    setTabOrder(m_allowance, m_hubOffset);
    setTabOrder(m_hubOffset, m_line);
    setTabOrder(m_line, m_match->kindBox());
    setTabOrder(m_match->lastField(), m_through->firstField());
    setTabOrder(m_through->lastField(), m_cutSince->field());
}

void SheetSettingsPanel::connectFields()
{
    connect(m_fromSweep, &QPushButton::clicked, this, &SheetSettingsPanel::fromSweepRequested);
    connect(m_match, &MatchRow::changed, this, &SheetSettingsPanel::changed);
    connect(m_match, &MatchRow::changed, this,
            [this] { m_through->offerMatch(m_match->match().kind != design::MatchKind::Direct); });
    connect(m_through, &ThroughRow::changed, this, [this] { SettingsStore().setShopThrough(m_through->stored()); });
    connect(m_cutSince, &CutSinceRow::changed, this, &SheetSettingsPanel::changed);
    // A frequency counts as meant at Enter, on leaving the field, or after a pause in typing; the measured
    // resonance is tied to its design frequency before the sheet is made anew.
    const auto commit = [this] {
        m_commit->stop();
        emit designCommitted();
    };
    connect(m_commit, &QTimer::timeout, this, commit);
    connect(m_frequency, &QLineEdit::textEdited, m_commit, qOverload<>(&QTimer::start));
    connect(m_frequency, &QLineEdit::editingFinished, this, commit);
    connect(m_measured, &QLineEdit::textChanged, this, &SheetSettingsPanel::measuredEdited);
    for (QLineEdit *edit : {m_frequency, m_allowance, m_hubOffset, m_measured})
        connect(edit, &QLineEdit::textChanged, this, &SheetSettingsPanel::changed);
    connect(m_step, &QComboBox::currentIndexChanged, this, &SheetSettingsPanel::changed);
    // Another element count is another design, as another frequency is.
    connect(m_elements, &QSpinBox::valueChanged, this, commit);
}

QString SheetSettingsPanel::frequencyText() const
{
    return m_frequency->text();
}

void SheetSettingsPanel::setFrequencyText(const QString &text)
{
    m_commit->stop();
    m_frequency->setText(text);
}

int SheetSettingsPanel::elements() const
{
    return m_elements->value();
}

void SheetSettingsPanel::setElements(int elements)
{
    const QSignalBlocker quiet(m_elements);
    m_elements->setValue(elements);
}

QString SheetSettingsPanel::measuredText() const
{
    return m_measured->text();
}

void SheetSettingsPanel::setMeasuredText(const QString &text)
{
    const QSignalBlocker quiet(m_measured);
    m_measured->setText(text);
}

shop::ShopSettingTexts SheetSettingsPanel::texts() const
{
    shop::ShopSettingTexts texts;
    texts.step = std::to_string(m_step->currentData().toInt());
    texts.allowance = m_allowance->text().toStdString();
    texts.hubOffset = m_hubOffset->text().toStdString();
    return texts;
}

double SheetSettingsPanel::lineZ0Ohms() const
{
    return m_line->currentData().toDouble();
}

design::Match SheetSettingsPanel::match() const
{
    return m_match->match();
}

void SheetSettingsPanel::showTunedFeed(const std::optional<design::Match> &match, double z0Ohms)
{
    const auto showFeed = [this](const design::Match &shown, double ohms) {
        const QSignalBlocker quiet(m_match);
        const QSignalBlocker quietToo(m_line);
        m_match->setMatch(shown);
        if (m_line->findData(ohms) < 0)
            m_line->addItem(QStringLiteral("%1 \u03a9").arg(ohms), ohms);
        m_line->setCurrentIndex(m_line->findData(ohms));
        m_through->offerMatch(shown.kind != design::MatchKind::Direct);
    };
    if (match) {
        if (!m_ownFeed)
            m_ownFeed = OwnFeed{m_match->match(), lineZ0Ohms()};
        showFeed(*match, z0Ohms);
    } else if (m_ownFeed) {
        showFeed(m_ownFeed->match, m_ownFeed->z0Ohms);
        m_ownFeed.reset();
    }
    const QString why = QStringLiteral("The tuned design's own, which its goals hold for: Shop Sheet (Ctrl+L) shows "
                                       "the specified design with yours");
    m_match->setEnabled(!match);
    m_match->setToolTip(match ? why : QString());
    m_line->setEnabled(!match);
    m_line->setToolTip(match ? why : lineTip());
}

void SheetSettingsPanel::restore(const ShopWindowSettings &stored)
{
    m_step->setCurrentIndex(std::max(0, m_step->findData(stored.step)));
    m_allowance->setText(stored.allowance);
    m_hubOffset->setText(stored.hubOffset);
    {
        // The sheet last made: the main window starts empty, but the sheet comes back to where it was.
        const QSignalBlocker quiet(m_frequency);
        m_frequency->setText(stored.frequency);
    }
    m_line->setCurrentIndex(std::max(0, m_line->findData(stored.lineZ0Ohms)));
    m_match->setMatch(stored.match);
    m_through->restore(stored.through);
    m_through->offerMatch(m_match->match().kind != design::MatchKind::Direct);
    setElements(stored.elements);
}

void SheetSettingsPanel::store(ShopWindowSettings &into) const
{
    into.frequency = m_frequency->text();
    into.step = m_step->currentData().toInt();
    into.allowance = m_allowance->text();
    into.hubOffset = m_hubOffset->text();
    into.elements = m_elements->value();
    into.lineZ0Ohms = m_ownFeed ? m_ownFeed->z0Ohms : lineZ0Ohms();
    into.match = m_ownFeed ? m_ownFeed->match : m_match->match();
    into.through = m_through->stored();
}

QLineEdit *SheetSettingsPanel::fieldOf(std::optional<shop::ShopSetting> setting) const
{
    if (!setting)
        return m_frequency;
    switch (*setting) {
    case shop::ShopSetting::Allowance:
        return m_allowance;
    case shop::ShopSetting::HubOffset:
        return m_hubOffset;
    case shop::ShopSetting::Measured:
        return m_measured;
    case shop::ShopSetting::Step:
        break;
    }
    return nullptr;
}

void SheetSettingsPanel::markRefused(const QLineEdit *field, const QString &problem)
{
    for (QLineEdit *edit : {m_frequency, m_allowance, m_hubOffset, m_measured, m_cutSince->field()})
        markField(*edit, edit == field ? problem : QString());
}

} // namespace tarvelin
