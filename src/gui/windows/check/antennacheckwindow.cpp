// SPDX-License-Identifier: MIT
#include "gui/windows/check/antennacheckwindow.h"

#include "core/design/designlengths.h"
#include "core/tune/tuneddesign.h"
#include "gui/runtime/messagebox.h"
#include "core/shop/shopsettings.h"
#include "gui/print/documentprint.h"
#include "gui/runtime/settingsstore.h"
#include "gui/runtime/unhandlederror.h"
#include "gui/windows/check/checkresults.h"
#include "gui/windows/check/checksettingspanel.h"
#include "gui/windows/check/runrow.h"
#include "gui/windows/check/sweeprow.h"
#include "gui/windows/rows/throughrow.h"
#include "gui/windows/check/tunedpage.h"
#include "gui/windows/check/tunepanel.h"
#include "gui/windows/styling/flagicon.h"
#include "gui/windows/widgets/resultview.h"
#include "gui/windows/check/studyrun.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace tarvelin {

AntennaCheckWindow::AntennaCheckWindow(QWidget *owner, MessageBoxService &messages, PrinterService &printer)
    : QWidget(owner, Qt::Window), m_messages(messages), m_print(new DocumentPrint(messages, printer, this))
{
    // Print again only once the spooler has answered the job before.
    connect(m_print, &DocumentPrint::busyChanged, this, [this] { setRunning(running()); });
    setObjectName(QStringLiteral("antennaCheck"));
    setWindowTitle(QStringLiteral("Antenna Check \u2013 Tarvelin"));
    setWindowIcon(flagIcon());
    setAcceptDrops(true); // an analyser's sweep dropped on the window is laid over the model
    buildWidgets();
    const CheckWindowSettings stored = SettingsStore().checkWindow();
    m_settings->restore(stored);
    m_tunePanel->restore(stored);
    m_sweepRow->through().restore(stored.through);
    showMeasured();
    validate();
    clearResults();
}

AntennaCheckWindow::~AntennaCheckWindow()
{
    cancel();
    // Still open as the program ends: the size it had is the one to come back to.
    if (isVisible())
        rememberSize(*this, QStringLiteral("antennaCheck"));
}

void AntennaCheckWindow::buildWidgets()
{
    m_settings = new CheckSettingsPanel;
    m_tunePanel = new TunePanel;
    m_sweepRow = new SweepRow;
    m_runRow = new RunRow;
    connect(m_runRow, &RunRow::runRequested, this, guardedSlot(m_messages, this, &AntennaCheckWindow::run));
    connect(m_runRow, &RunRow::cancelRequested, this, guardedSlot(m_messages, this, &AntennaCheckWindow::cancel));
    connect(m_tunePanel, &TunePanel::tuneRequested, this, guardedSlot(m_messages, this, &AntennaCheckWindow::tune));
    connect(m_settings, &CheckSettingsPanel::changed, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    connect(m_tunePanel, &TunePanel::changed, this, guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    // The verdict is held to the goals shown beside it.
    connect(m_tunePanel, &TunePanel::changed, this, guardedSlot(m_messages, this, &AntennaCheckWindow::showMeasured));
    connect(m_sweepRow, &SweepRow::loadRequested, this,
            [this](const QString &path) { runHandler(m_messages, [&] { loadMeasuredSweep(path); }); });
    connect(m_sweepRow, &SweepRow::clearRequested, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::clearMeasuredSweep));
    connect(m_sweepRow, &SweepRow::throughChanged, this,
            [this] { SettingsStore().setCheckThrough(m_sweepRow->through().stored()); });
    connect(m_sweepRow, &SweepRow::throughChanged, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::showMeasured));
    connect(m_sweepRow, &SweepRow::cutChanged, this, guardedSlot(m_messages, this, &AntennaCheckWindow::showMeasured));

    m_problem = new QLabel;
    m_problem->setObjectName(QStringLiteral("problem"));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    for (QLabel *label : {m_problem, m_status}) {
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
    }
    m_problem->hide();
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setFocusPolicy(Qt::NoFocus); // text to read and copy, not a stop for Tab
    // The status line keeps the room of three lines, so the tabs under it stay where they are as it changes.
    m_status->setMinimumHeight(3 * m_status->fontMetrics().lineSpacing());
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_results = new CheckResults(m_summary, m_sweeps, m_tunedCheck, *this);
    connect(m_sweepRow, &SweepRow::sweepShownChanged, m_results, &CheckResults::setSweepShown);

    // Everything but the buttons scrolls in a window lower or narrower than it, as on a small screen at a large
    // scale; the buttons stay in view under it.
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->addWidget(m_settings);
    layout->addWidget(m_problem);
    layout->addWidget(m_runRow);
    layout->addWidget(m_tunePanel);
    layout->addWidget(m_sweepRow);
    layout->addWidget(m_status);
    layout->addLayout(buildBandChoice());
    layout->addWidget(m_results, 1);
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(new WindowScrollArea(content), 1);
    window->addLayout(buildButtons());
    // Tab reads the settings a column at a time, then the run row, the tune's row and the sweep's.
    // Each part orders its own fields.
    setTabOrder(m_settings->lastField(), m_runRow->runButton());
    setTabOrder(m_runRow->cancelButton(), m_tunePanel->firstField());
    setTabOrder(m_tunePanel->lastField(), m_sweepRow->firstField());
    setTabOrder(m_sweepRow->lastField(), m_results);
    setRunning(false);
}

void AntennaCheckWindow::saveSettings() const
{
    CheckWindowSettings settings;
    m_settings->store(settings);
    m_tunePanel->store(settings);
    settings.through = m_sweepRow->through().stored();
    SettingsStore().setCheckWindow(settings);
}

void AntennaCheckWindow::setFrequencyText(const QString &text)
{
    m_settings->setFrequencyText(text);
}

QString AntennaCheckWindow::status() const
{
    return m_status->text();
}

bool AntennaCheckWindow::running() const
{
    return (m_study && m_study->running()) || bandsRunning();
}

bool AntennaCheckWindow::tuning() const
{
    return running() && m_study->study().tuning();
}

EngineRun *AntennaCheckWindow::engineRun() const
{
    if (bandsRunning())
        return bandsEngine();
    return m_study ? m_study->engine() : nullptr;
}

QString AntennaCheckWindow::problem() const
{
    return m_problem->isHidden() ? QString() : m_problem->text();
}

const design::CheckSettings &AntennaCheckWindow::runSettings() const
{
    static const design::CheckSettings kNone;
    if (m_bandsSettings)
        return *m_bandsSettings;
    return m_checked ? m_checked->settings : kNone;
}

QString AntennaCheckWindow::frequencyText() const
{
    return m_settings->frequencyText();
}

int AntennaCheckWindow::elements() const
{
    return m_settings->elements();
}

check::Goals AntennaCheckWindow::goals() const
{
    QString problem;
    const std::optional<tune::TuneSettings> tune = m_tunePanel->read(problem);
    return tune ? check::Goals{tune->maxSwr, tune->minFrontToBackDb} : check::Goals{};
}

QString AntennaCheckWindow::checkedFrequencyText() const
{
    return m_checked ? QString::fromStdString(m_checked->frequencyText()) : QString();
}

void AntennaCheckWindow::run()
{
    if (running())
        return;
    QString problem;
    const std::optional<design::CheckSettings> settings = m_settings->read(problem);
    if (!settings)
        return showFailure(problem);
    const std::optional<QString> oneBand = runBands(*settings);
    if (!oneBand)
        return; // several bands, run together
    auto design = design::designFor(oneBand->toStdString(), m_settings->elements(), *settings);
    if (const auto *refusal = std::get_if<design::DesignRefusal>(&design))
        return showFailure(QString::fromStdString(refusal->message));
    // A tune belongs to the check it started from: a new check shows none.
    if (!mayLoseTune(QStringLiteral("A new run clears it"), QStringLiteral("Run the check anyway?")))
        return;
    saveSettings();
    clearResults(); // never a stale figure beside a new run

    m_checked = std::get<design::Design>(std::move(design));
    m_warnings.clear();
    for (const std::string &warning : m_checked->warnings)
        m_warnings += QLatin1Char(' ') + QString::fromStdString(warning);
    startStudy(std::make_unique<study::Study>(*m_checked, engineCount()));
}

void AntennaCheckWindow::tune()
{
    QString problem;
    const std::optional<tune::TuneSettings> settings = m_tunePanel->read(problem);
    if (running() || !m_summary || !settings)
        return;
    if (!m_bandChecks.empty()) {
        tuneBands(*settings);
        return;
    }
    if (!m_checked)
        return;
    // The tune shown stays until this one has ended and is found to take its place.
    m_tuningSettings = *settings;
    saveSettings();
    startStudy(std::make_unique<study::Study>(*m_checked, engineCount(), m_tuningSettings, m_summary));
}

int AntennaCheckWindow::engineCount()
{
    return std::max(1, QThread::idealThreadCount());
}

// The study's rounds run on the engines while the window stays usable; its end shows what it gave.
void AntennaCheckWindow::startStudy(std::unique_ptr<study::Study> study)
{
    if (m_study)
        m_study->deleteLater(); // it may be the run whose end brought us here
    m_study = new StudyRun(std::move(study), this);
    connect(m_study, &StudyRun::roundStarted, m_status, &QLabel::setText);
    connect(m_study, &StudyRun::progress, this,
            [this](int value, int maximum, const QString &text, const QString &detail) {
                // A tune's status line says how far it has come.
                m_runRow->showProgress(value, maximum, text);
                if (!detail.isEmpty())
                    m_status->setText(detail);
            });
    connect(m_study, &StudyRun::ended, this, guardedSlot(m_messages, this, &AntennaCheckWindow::studyEnded));
    setRunning(true);
    m_study->start();
}

void AntennaCheckWindow::cancel()
{
    if (bandsRunning())
        cancelBands();
    else if (running())
        m_study->cancel(); // a tune ends with its best design so far
}

void AntennaCheckWindow::studyEnded()
{
    const study::Study &study = m_study->study();
    const QString ran = QString::fromStdString(study.ranText());
    if (!study.tuning() && !study.check())
        return showFailure(study.failure() ? QString::fromStdString(*study.failure())
                                           : ran + QStringLiteral(": no figures."));
    if (study.tuning())
        showTuned(study);
    else
        showCheck(*study.check());
    m_runRow->showDone(); // the status line says what ran
    if (!study.tuning())
        m_status->setText(m_status->text() + QStringLiteral(" Modelled %1.").arg(ran));
    m_resultStatus = m_status->text();
    m_staleShown = false;
    setRunning(false);
    validate(); // the settings may have changed while it ran
    emit checkEnded();
}

void AntennaCheckWindow::showCheck(const check::CheckSummary &summary)
{
    m_summary = summary;
    m_checkShown = true;
    m_settings->showFeedResistance(m_summary->resonanceOhms);
    m_results->showCheck(m_checked->array.frequencyLabel);
    showMeasured(); // compared with this check, and every plot redrawn
    QStringList warnings;
    for (const std::string &warning : check::verdictWarnings(*m_summary))
        warnings << QString::fromStdString(warning);
    m_status->setText((warnings.isEmpty() ? QStringLiteral("The model resonates within %1 % of the design frequency.")
                                                .arg(check::kDetuneWarningPercent)
                                          : warnings.join(QLatin1Char(' '))) +
                      m_warnings);
}

void AntennaCheckWindow::showTuned(const study::Study &study)
{
    const std::optional<tune::TuneResult> &ended = study.tuned();
    if (!ended) {
        m_status->setText(study.failure()
                              ? QStringLiteral("The tune failed: %1").arg(QString::fromStdString(*study.failure()))
                              : QStringLiteral("%1, before a better design was found: no tuned design.")
                                    .arg(QString::fromStdString(study.ranText())));
        return;
    }
    if (m_tuned && !tune::replacesShownTune(*ended, m_tuningSettings, *m_tuned, m_tuneSettings)) {
        m_status->setText(QStringLiteral("%1, before it found a design better than the finished tune's: that tune "
                                         "stays on the Tuned tab.")
                              .arg(QString::fromStdString(study.ranText())));
        return;
    }
    m_tuned = ended;
    m_tunedSaved = false;
    m_tuneSettings = m_tuningSettings;
    // Its curves beside the check's, where the tune ran to its end and swept the tuned design.
    m_tunedCheck = study.tunedCheck();
    // The section is cut for the loops that will be built: the tuned design's feed, where the tune swept it;
    // a tune cut off before that leaves no feed to match, rather than the specified design's.
    m_settings->showFeedResistance(m_tunedCheck ? m_tunedCheck->resonanceOhms : std::nullopt, MatchRow::Feed::Tuned);
    if (m_checked) {
        m_results->showTuned(m_checked->lengths, *m_tuned, m_tuneSettings, runSettings().z0Ohms);
        // The Tuned tab's tables and its buttons whole, where the screen has room for them.
        if (isVisible())
            growToShowContents(*this);
    }
    m_status->setText(study.failure() ? QStringLiteral("The tune stopped early: %1 The best design before it is "
                                                       "on the Tuned tab.")
                                            .arg(QString::fromStdString(*study.failure()))
                                      : QStringLiteral("Tuned: see the Tuned tab."));
}

void AntennaCheckWindow::showFailure(const QString &message)
{
    clearResults();
    setRunning(false);
    m_status->setText(message);
    emit checkEnded();
}

void AntennaCheckWindow::clearResults()
{
    clearBands();
    m_summary.reset();
    m_staleShown = false;
    // A tune belongs to the check it started from.
    m_tuned.reset();
    m_tunedCheck.reset();
    m_results->clear();
    m_runRow->clear();
    setRunning(running());
}

// The settings, the frequency and the structure, checked as they are typed: what is refused is named and
// its field marked, and neither a run nor a deck can start from it.
void AntennaCheckWindow::validate()
{
    const CheckSettingsPanel::Checked checked = m_settings->check();
    // Tune Loops tunes the check shown, so only while the settings and the frequency are still the ones it ran
    // with; otherwise Run comes first.
    m_checkShown = m_bandChecks.empty() ? m_summary && m_checked && checked.design &&
                                              tune::sameCheck(checked.design->array, *checked.settings,
                                                              m_checked->array, runSettings())
                                        : bandsCurrent(checked.settings);
    QString problem = checked.problem;
    QString tuneProblem;
    (void)m_tunePanel->read(tuneProblem);
    m_tunePanel->markBoom(tuneProblem);
    if (problem.isEmpty())
        problem = tuneProblem;
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    m_ready = checked.design.has_value();
    showWhetherCurrent();
    setRunning(running());
}

// Results that no longer match the settings and the frequency as they stand say so, on the bar and the status
// line, until Run makes them anew or the settings are put back.
void AntennaCheckWindow::showWhetherCurrent()
{
    if (!m_summary || running())
        return;
    const bool stale = !m_checkShown;
    if (stale == m_staleShown)
        return;
    m_staleShown = stale;
    m_runRow->showDone(stale);
    m_status->setText(stale ? QStringLiteral("The results below are of the check run before the settings or the "
                                             "frequency changed: Run to check the design as it stands now.")
                            : m_resultStatus);
}

void AntennaCheckWindow::setRunning(bool running)
{
    // The run row first takes the focus to Cancel from the button that started the run, and gives it back once
    // that button is enabled again.
    if (running)
        m_runRow->setRunning(true, m_ready);
    m_deckButton->setEnabled(!running && m_ready);
    for (QPushButton *button : m_resultButtons)
        button->setEnabled(!running && m_summary.has_value() && (button != m_printButton || !m_print->busy()) &&
                           (button != m_resultButtons.back() || m_bandChecks.empty() || m_tunedBands));
    // Why Tune cannot start, where it cannot, on the button itself; what it does where it can.
    const std::optional<std::string> refusal = tune::tuneStartRefusal(running, m_summary.has_value(), m_checkShown);
    QString problem;
    const std::optional<tune::TuneSettings> tune = m_tunePanel->read(problem);
    QPushButton *tuneButton = m_tunePanel->tuneButton();
    tuneButton->setEnabled(!refusal && tune);
    tuneButton->setToolTip(refusal ? QString::fromStdString(*refusal)
                           : tune  ? QString::fromStdString(tune::tuneDescription(*tune))
                                   : problem);
    m_results->tunedPage()->setButtonsEnabled(!running && m_tuned.has_value());
    if (!running)
        m_runRow->setRunning(false, m_ready);
}

void AntennaCheckWindow::openShopSheetForCheck()
{
    if (m_summary && !m_bandChecks.empty() && m_tunedBands) {
        emit tunedBandsSheetRequested(*m_tunedBands); // the tuned quad shown
        return;
    }
    if (!m_summary || !m_checked) // several bands untuned are cut from the Shop Sheet's own Quad bands
        return;
    auto predicted = shop::predictedResonance(m_summary->resonanceMHz, m_summary->design.mhz);
    if (const auto *refusal = std::get_if<shop::ShopRefusal>(&predicted)) {
        MessageBoxRequest request;
        request.prompt = refusal->message;
        request.buttons = buttons::kInformation;
        request.title = "Shop Sheet for This Check";
        m_messages.MessageBox(request);
        return;
    }
    emit shopSheetRequested(checkedFrequencyText(), static_cast<int>(m_checked->array.elementCount()),
                            std::get<double>(predicted), QString::fromStdString(design::jacketNote(runSettings())));
}

void AntennaCheckWindow::openTunedShopSheet()
{
    if (m_tuned)
        emit tunedShopSheetRequested(checkedFrequencyText(), tune::tunedCutOf(*m_tuned, runSettings()),
                                     tune::sheetTuningOf(*m_tuned, m_tuneSettings, runSettings()));
}

bool AntennaCheckWindow::mayLoseTune(const QString &doing, const QString &question)
{
    if (!m_tuned || m_tunedSaved)
        return true;
    MessageBoxRequest request;
    request.prompt = QStringLiteral("The tuned design on the Tuned tab is not saved: %1. %2\n\nSave Tuned Design… "
                                    "keeps it for the Shop Sheet.")
                         .arg(doing, question)
                         .toStdString();
    request.buttons = buttons::kConfirmNoDefault;
    request.title = "Antenna Check";
    return m_messages.MessageBox(request) == answer::kYes;
}

bool AntennaCheckWindow::mayQuit()
{
    if (tuning())
        return close(); // which asks, and stops the tune
    return mayLoseTune(QStringLiteral("quitting loses it"), QStringLiteral("Quit anyway?"));
}

void AntennaCheckWindow::closeWithoutAsking()
{
    m_asking = false;
    close();
    m_asking = true;
}

// A check is soon run again; a tune may have run for minutes, so closing during one asks first.
void AntennaCheckWindow::closeEvent(QCloseEvent *event)
{
    if (tuning() && m_asking) {
        MessageBoxRequest request;
        request.prompt = QStringLiteral("A tune is running: %1 so far. Stop it and close the window?\n\nThe best "
                                        "design so far is kept where it beats the tune shown before it.")
                             .arg(QString::fromStdString(m_study->study().progress(0).text))
                             .toStdString();
        request.buttons = buttons::kConfirmNoDefault;
        request.title = "Antenna Check";
        if (m_messages.MessageBox(request) != answer::kYes) {
            event->ignore();
            return;
        }
    }
    cancel();
    event->accept();
}

// Enter in any setting runs the check, as Run is the window's default button; on a button, Enter is that
// button's own.
void AntennaCheckWindow::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_settings->isField(focusWidget())) {
        runHandler(m_messages, [this] { run(); });
        return;
    }
    QWidget::keyPressEvent(event);
}

// The first time the window opens, it takes the size it was last closed at, or else room for every tab title
// and the whole sweep of the points set.
void AntennaCheckWindow::showEvent(QShowEvent *event)
{
    if (!m_sized) {
        m_sized = true;
        m_results->setRowsExpected(m_settings->points());
        openAtRememberedSize(*this, QStringLiteral("antennaCheck"));
    }
    QWidget::showEvent(event);
}

void AntennaCheckWindow::hideEvent(QHideEvent *event)
{
    rememberSize(*this, QStringLiteral("antennaCheck"));
    QWidget::hideEvent(event);
}

void AntennaCheckWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile())
        event->acceptProposedAction();
}

void AntennaCheckWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    // The drop's own event loop ends before the message a refused file may raise.
    const QString path = urls.front().toLocalFile();
    QTimer::singleShot(0, this, [this, path] { runHandler(m_messages, [this, &path] { loadMeasuredSweep(path); }); });
}

} // namespace tarvelin
