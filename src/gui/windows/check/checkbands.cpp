// SPDX-License-Identifier: MIT
// The Antenna Check of a quad of several bands: the bands typed under the frequency run together, every loop
// present, and each band's check shown in the window's tabs and plots as Band chooses it.
#include "gui/windows/check/antennacheckwindow.h"

#include "core/design/designlengths.h"
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
    clearResults();
    m_checked.reset(); // no single design: nothing to tune or cut from this check
    m_bandsSettings = settings;
    m_bandsKey = m_settings->bandsRow()->key() + QString::number(m_settings->elements());
    if (m_bandsRun)
        m_bandsRun->deleteLater();
    m_bandsRun = new BandsStudyRun(
        std::make_unique<study::NestedStudy>(std::get<design::NestedGeometry>(std::move(geometry)), settings,
                                             choice->idle, std::max(1, QThread::idealThreadCount())),
        this);
    const int bands = static_cast<int>(choice->bands.size());
    connect(m_bandsRun, &BandsStudyRun::progress, this, [this, bands](int done, int of) {
        m_runRow->showProgress(done, of, QStringLiteral("Modelling %1 bands together: %2 of %3 frequencies")
                                             .arg(bands)
                                             .arg(done)
                                             .arg(of));
    });
    connect(m_bandsRun, &BandsStudyRun::ended, this, guardedSlot(m_messages, this, &AntennaCheckWindow::bandsEnded));
    setRunning(true);
    m_bandsRun->start();
    return std::nullopt;
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
    m_status->setText(QString::fromStdString(band.band.name + ", with every band's loops: " +
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
           m_bandsKey == m_settings->bandsRow()->key() + QString::number(m_settings->elements());
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
    return m_bandsRun && m_bandsRun->running();
}

EngineRun *AntennaCheckWindow::bandsEngine() const
{
    return m_bandsRun ? m_bandsRun->engine() : nullptr;
}

void AntennaCheckWindow::cancelBands()
{
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
