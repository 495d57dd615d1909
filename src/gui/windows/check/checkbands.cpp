// SPDX-License-Identifier: MIT
// The Antenna Check of a quad of several bands: the bands typed under the frequency run together, every loop
// present, and each band's check shown in the window's tabs and plots as Band chooses it.
#include "gui/windows/check/antennacheckwindow.h"

#include "core/design/designlengths.h"
#include "core/document/bandstune.h"
#include "core/document/checktable.h"
#include "gui/runtime/unhandlederror.h"
#include "gui/windows/check/bandsstudyrun.h"
#include "gui/windows/check/checkresults.h"
#include "gui/windows/check/checksettingspanel.h"
#include "gui/windows/check/runrow.h"
#include "gui/windows/check/sweeprow.h"
#include "gui/windows/rows/bandsrow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QThread>

namespace tarvelin {

namespace {

// What the window's other settings ask that a quad of several bands is not modelled with here.
QString severalBandsRefusal(const design::CheckSettings &settings)
{
    if (settings.groundHeightMetres)
        return QStringLiteral("A quad of several bands is modelled in free space: clear Over ground.");
    if (settings.insulationMm > 0.0)
        return QStringLiteral("A quad of several bands is modelled with bare wire: set the jacket to none.");
    if (settings.match.kind != design::MatchKind::Direct)
        return QStringLiteral("Each band's driver is fed direct here: set Match to direct "
                              "(tarvelin-calc --match 20m=quarter-wave:RG-11 feeds a band otherwise).");
    return {};
}

} // namespace

QLayout *AntennaCheckWindow::buildBandChoice()
{
    m_bandChoice = new QComboBox;
    m_bandChoice->setObjectName(QStringLiteral("bandChoice"));
    m_bandChoice->setAccessibleName(QStringLiteral("Band shown"));
    m_bandLabel = new QLabel(QStringLiteral("Band shown:"));
    m_bandLabel->setBuddy(m_bandChoice);
    auto *row = new QHBoxLayout;
    row->addWidget(m_bandLabel);
    row->addWidget(m_bandChoice);
    row->addStretch(1);
    connect(m_bandChoice, &QComboBox::activated, this, &AntennaCheckWindow::showBand);
    m_bandLabel->hide();
    m_bandChoice->hide();
    return row;
}

std::optional<QString> AntennaCheckWindow::runBands(const design::CheckSettings &settings)
{
    m_tunedBands.reset(); // a run checks the bands as typed
    m_tunedBandsOutcome.clear();
    const auto read = m_settings->bandsRow()->read();
    if (const auto *refusal = std::get_if<QString>(&read)) {
        showFailure(*refusal);
        return std::nullopt;
    }
    const std::optional<BandsRow::Choice> &choice = std::get<std::optional<BandsRow::Choice>>(read);
    if (!choice)
        return m_settings->frequencyText();
    if (choice->bands.size() == 1) // that band's own design, as its frequency gives it
        return QString::fromStdString(choice->bands.front().frequencyText);
    if (const QString refusal = severalBandsRefusal(settings); !refusal.isEmpty()) {
        showFailure(refusal);
        return std::nullopt;
    }
    auto geometry = design::nestedGeometry(choice->bands, m_settings->elements(), choice->nested);
    if (const auto *refusal = std::get_if<std::string>(&geometry)) {
        showFailure(QString::fromStdString(*refusal));
        return std::nullopt;
    }
    if (!mayLoseTune(QStringLiteral("A new run clears it"), QStringLiteral("Run the check anyway?")))
        return std::nullopt;
    saveSettings();
    startBandsCheck(std::get<design::NestedGeometry>(std::move(geometry)), settings, choice->idle);
    return std::nullopt;
}

void AntennaCheckWindow::startBandsCheck(design::NestedGeometry geometry, const design::CheckSettings &settings,
                                         const design::IdleEnd &idle)
{
    clearResults();
    m_checked.reset(); // no single design: the bands are tuned and cut as one quad
    m_bandsSettings = settings;
    m_bandsKey = m_settings->bandsRow()->key(m_settings->elements());
    if (m_bandsRun)
        m_bandsRun->deleteLater();
    const int bands = static_cast<int>(geometry.bands.size());
    m_bandsRun = new BandsStudyRun(
        std::make_unique<study::NestedStudy>(std::move(geometry), settings, idle, std::max(1, QThread::idealThreadCount())),
        this);
    connect(m_bandsRun, &BandsStudyRun::progress, this, [this, bands](int done, int of) {
        m_runRow->showProgress(done, of, QStringLiteral("Modelling %1 bands together: %2 of %3 frequencies")
                                             .arg(bands)
                                             .arg(done)
                                             .arg(of));
    });
    connect(m_bandsRun, &BandsStudyRun::ended, this, guardedSlot(m_messages, this, &AntennaCheckWindow::bandsEnded));
    setRunning(true);
    m_bandsRun->start();
}

void AntennaCheckWindow::tuneBands(const tune::TuneSettings &goals)
{
    if (!m_bandsRun || !m_bandsSettings)
        return;
    const study::NestedStudy &checked = m_bandsRun->study();
    if (m_bandsTune)
        m_bandsTune->deleteLater();
    m_bandsTune = new BandsTuneRun(std::make_unique<study::NestedTune>(checked.geometry(), *m_bandsSettings,
                                                                       checked.idle(), goals,
                                                                       std::max(1, QThread::idealThreadCount())),
                                   this);
    const int bands = static_cast<int>(checked.geometry().bands.size());
    connect(m_bandsTune, &BandsTuneRun::progress, this, [this, bands](int designs) {
        m_runRow->showProgress(0, 0, QStringLiteral("Tuning %1 bands band by band: %2 designs").arg(bands).arg(designs));
    });
    connect(m_bandsTune, &BandsTuneRun::ended, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::bandsTuneEnded));
    setRunning(true);
    m_bandsTune->start();
}

// The tuned quad is checked as the bands were, and shown with what the tune says of it.
void AntennaCheckWindow::bandsTuneEnded()
{
    const study::NestedTune &tune = m_bandsTune->tune();
    if (!tune.result()) {
        setRunning(false);
        m_runRow->showDone();
        m_status->setText(tune.failure() ? QString::fromStdString(*tune.failure())
                                         : QStringLiteral("The tune was stopped: the check shown stays."));
        return;
    }
    const study::NestedTuneResult &result = *tune.result();
    m_tunedBands = result.saved();
    m_tunedBandsOutcome = QString::fromStdString(document::bandsTuneOutcome(result, result.goals));
    startBandsCheck(result.tuned, result.settings, result.idle);
}

void AntennaCheckWindow::bandsEnded()
{
    const study::NestedStudy &study = m_bandsRun->study();
    if (!study.bands()) {
        setRunning(false);
        return showFailure(study.failure() ? QString::fromStdString(*study.failure())
                                           : QStringLiteral("The check was stopped: no figures."));
    }
    m_bandChecks = *study.bands();
    m_bandChoice->clear();
    for (const check::BandCheck &band : m_bandChecks)
        m_bandChoice->addItem(QString::fromStdString(band.band.name + ", " +
                                                     design::frequencyLabel(band.band.designMHz) + " MHz"));
    m_bandLabel->show();
    m_bandChoice->show();
    m_checkShown = true; // of the bands as they stand, until they change
    showBand(0);
    m_runRow->showDone();
    setRunning(false);
    validate();
    emit checkEnded();
}

void AntennaCheckWindow::showBand(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_bandChecks.size())
        return;
    m_bandChoice->setCurrentIndex(index);
    const check::BandCheck &band = m_bandChecks[static_cast<std::size_t>(index)];
    m_summary = band.summary;
    m_results->showCheck(design::frequencyLabel(band.band.designMHz));
    QString moved;
    if (const std::optional<check::NestingShift> shift = check::nestingShift(band))
        moved = QStringLiteral(" Nesting moves it %1 % from its own design alone.")
                    .arg(shift->percentOf(band.band.designMHz), 0, 'f', 2);
    m_status->setText((m_tunedBands ? m_tunedBandsOutcome + QLatin1Char(' ') : QString()) +
                      QString::fromStdString(band.band.name + ", with every band's loops: " +
                                             document::verdictHeadline(band.summary, nullptr, goals())) +
                      moved);
    showMeasured(); // the sweeps held, within this band's window, with what they say of it
    m_resultStatus = m_status->text();
    m_staleShown = false;
    showWhetherCurrent();
}

bool AntennaCheckWindow::bandsCurrent(const std::optional<design::CheckSettings> &settings) const
{
    return settings && m_bandsSettings && *settings == *m_bandsSettings &&
           m_bandsKey == m_settings->bandsRow()->key(m_settings->elements());
}

void AntennaCheckWindow::showBandMeasured()
{
    const int shown = std::max(0, m_bandChoice->currentIndex());
    const check::BandCheck &band = m_bandChecks[static_cast<std::size_t>(shown)];
    const measure::BandSweeps read = m_sweepRow->measuredForBand(band, runSettings().z0Ohms);
    m_sweeps = read.sweeps;
    m_sweepRow->show(m_sweeps, true);
    m_results->showMeasured(runSettings(), m_sweeps, goals());
    if (read.warning && !m_status->text().contains(QString::fromStdString(*read.warning)))
        m_status->setText(m_status->text() + QLatin1Char(' ') + QString::fromStdString(*read.warning));
}

bool AntennaCheckWindow::bandsRunning() const
{
    return (m_bandsRun && m_bandsRun->running()) || (m_bandsTune && m_bandsTune->running());
}

EngineRun *AntennaCheckWindow::bandsEngine() const
{
    if (m_bandsTune && m_bandsTune->running())
        return m_bandsTune->engine();
    return m_bandsRun ? m_bandsRun->engine() : nullptr;
}

void AntennaCheckWindow::cancelBands()
{
    if (m_bandsTune && m_bandsTune->running())
        m_bandsTune->cancel();
    else
        m_bandsRun->cancel();
}

void AntennaCheckWindow::clearBands()
{
    m_bandChecks.clear();
    m_bandsSettings.reset();
    m_bandsKey.clear();
    if (m_bandChoice) {
        m_bandChoice->clear();
        m_bandChoice->hide();
        m_bandLabel->hide();
    }
}

} // namespace tarvelin
