// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/nestedcheck.h"
#include "core/tune/tunedbands.h"
#include "core/measure/measured.h"
#include "core/study/study.h"
#include "core/shop/shopsheet.h"

#include <QWidget>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace tarvelin {

class BandsStudyRun;
class BandsTuneRun;
class CheckResults;
class CheckSettingsPanel;
class EngineRun;
class MessageBoxService;
class DocumentPrint;
class PrinterService;
class RunRow;
class StudyRun;
class SweepRow;
class TunePanel;

// The Antenna Check window: the design on the main window modelled with the NEC-2 engine, run as child
// processes, one per core, while the window stays usable. It shows the feed impedance, SWR, forward gain and
// front-to-back across the band as a table and plots, with the resonance, the lowest SWR, the 2:1 band and
// the efficiency. A run that fails shows why and no numbers; a new run clears the last one's first. The deck,
// the table and a report can be saved or printed. Its settings, its tune, its verdict, its plots and the
// measured sweep are parts of their own; the window runs the study and shows what it gives.
class AntennaCheckWindow final : public QWidget
{
    Q_OBJECT

public:
    AntennaCheckWindow(QWidget *owner, MessageBoxService &messages, PrinterService &printer);
    ~AntennaCheckWindow() override;

    void setFrequencyText(const QString &text);
    // The design as its settings stand: the frequency as typed, and the array.
    [[nodiscard]] QString frequencyText() const;
    [[nodiscard]] int elements() const;

    void run();
    void cancel();
    [[nodiscard]] bool running() const;
    // Whether the program may end now: a tune running, or a finished tune not saved, is lost with it, so the
    // builder is asked first.
    [[nodiscard]] bool mayQuit();
    // Closes, stopping a tune without asking.
    void closeWithoutAsking();
    [[nodiscard]] const std::optional<check::CheckSummary> &summary() const { return m_summary; }
    [[nodiscard]] QString status() const;
    // Why the settings or the frequency as typed cannot be modelled; empty when they can.
    [[nodiscard]] QString problem() const;
    [[nodiscard]] EngineRun *engineRun() const;

    // What the buttons do, without the file dialogs.
    [[nodiscard]] bool saveDeck(const QString &path);
    [[nodiscard]] bool saveCsv(const QString &path);
    [[nodiscard]] bool savePdf(const QString &path);
    // The model's sweep as an analyser's reference trace.
    [[nodiscard]] bool saveTouchstone(const QString &path);

    // An analyser's sweep of the built antenna, after any loaded before it (up to kMostSweeps, as the builder
    // trims and sweeps again), laid over the model's curves and beside its verdict until cleared; a new check
    // is compared with them again. A file that cannot be read leaves the sweeps shown.
    bool loadMeasuredSweep(const QString &path);
    void clearMeasuredSweep();
    // The latest sweep, compared with the check shown; every one loaded, oldest first.
    [[nodiscard]] const measure::MeasuredSweep *measured() const
    {
        return m_sweeps.empty() ? nullptr : &m_sweeps.back();
    }
    [[nodiscard]] const std::vector<measure::MeasuredSweep> &sweeps() const { return m_sweeps; }

    // A quad of several bands, once checked: each band's check, lowest first; the one shown is chosen by Band.
    [[nodiscard]] const std::vector<check::BandCheck> &bandChecks() const { return m_bandChecks; }
    void showBand(int index);

    // What "Shop Sheet for This Check" does: the sheet with the predicted resonance as the measured one, or
    // a message saying why the prediction gives no trim.
    void openShopSheetForCheck();

    // Tunes the design last checked, for its wire and ground, with the goals, band and boom set; the tuned
    // design shows beside the specified one.
    void tune();
    [[nodiscard]] bool tuning() const;
    [[nodiscard]] const std::optional<tune::TuneResult> &tuned() const { return m_tuned; }
    [[nodiscard]] bool saveTunedDeck(const QString &path);
    [[nodiscard]] bool saveTunedDesign(const QString &path);
    void openTunedShopSheet();

signals:
    void checkEnded();
    // The shop sheet for the design checked, as its frequency was typed, trimmed by the resonance the check
    // predicts, at full precision. `modelNote`: what the model behind the prediction can get wrong, if anything.
    void shopSheetRequested(const QString &frequencyText, int elements, double predictedMHz, const QString &modelNote);
    // The shop sheet of the tuned design: each loop's factor against the specified one, reflector first, and
    // the stations where the tune moved them.
    // The shop sheet of the tuned quad of several bands shown.
    void tunedBandsSheetRequested(const tarvelin::tune::TunedBands &tuned);
    void tunedShopSheetRequested(const QString &frequencyText, const tarvelin::shop::TunedCut &tuned,
                                 const tarvelin::shop::SheetTuning &tuning);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The bands typed under the frequency: several start their check and give none; otherwise the frequency to
    // check, the one band's own where one is typed. A refusal is shown, and gives none too.
    [[nodiscard]] std::optional<QString> runBands(const design::CheckSettings &settings);
    void bandsEnded();
    [[nodiscard]] bool bandsRunning() const;
    [[nodiscard]] EngineRun *bandsEngine() const;
    void cancelBands();
    void clearBands();
    // Tunes the quad of several bands shown, band by band; then checks the tuned quad and shows it.
    void tuneBands(const tune::TuneSettings &goals);
    void bandsTuneEnded();
    void startBandsCheck(design::NestedGeometry geometry, const design::CheckSettings &settings,
                         const design::IdleEnd &idle);
    // The sweeps held, read within the band shown's window beside its check.
    void showBandMeasured();
    // Whether the bands shown are of the bands, the elements and the settings as they stand.
    [[nodiscard]] bool bandsCurrent(const std::optional<design::CheckSettings> &settings) const;
    QLayout *buildBandChoice();
    void buildWidgets();
    QLayout *buildButtons();
    void saveSettings() const;
    [[nodiscard]] static int engineCount();
    void startStudy(std::unique_ptr<study::Study> study);
    void studyEnded();
    void showCheck(const check::CheckSummary &summary);
    void showFailure(const QString &message);
    void clearResults();
    void showMeasured();
    void showTuned(const study::Study &study);
    void setRunning(bool running);
    void validate();
    void showWhetherCurrent();
    void print();
    void choose(const QString &title, const QString &filter, const QString &suffix,
                bool (AntennaCheckWindow::*save)(const QString &));
    [[nodiscard]] bool writeFile(const QString &path, const QByteArray &contents, const QString &what,
                                 const QString &whyEmpty = {});

    MessageBoxService &m_messages;
    DocumentPrint *m_print;
    StudyRun *m_study = nullptr;
    std::optional<design::Design> m_checked; // of the check last run: every sheet, deck and tune of it is made from it
    [[nodiscard]] const design::CheckSettings &runSettings() const;
    // The goals set beside the tune, which the verdict holds the design to; the defaults while they are refused.
    [[nodiscard]] check::Goals goals() const;
    [[nodiscard]] QString checkedFrequencyText() const;
    QString m_warnings; // what the model of the last run may get wrong
    std::optional<check::CheckSummary> m_summary;
    std::optional<tune::TuneResult> m_tuned;
    bool m_tunedSaved = false; // the tune shown was saved as a tuned design since it ended
    // Asks before `doing` loses a finished tune not saved; gives whether to go on.
    [[nodiscard]] bool mayLoseTune(const QString &doing, const QString &question);
    std::optional<check::CheckSummary> m_tunedCheck; // the tuned design over the check's sweep, when the tune ran out
    std::vector<measure::MeasuredSweep> m_sweeps;    // oldest first
    tune::TuneSettings m_tuneSettings;               // the tune shown's
    tune::TuneSettings m_tuningSettings;             // the tune under way's

    CheckSettingsPanel *m_settings = nullptr;
    TunePanel *m_tunePanel = nullptr;
    SweepRow *m_sweepRow = nullptr;
    CheckResults *m_results = nullptr;
    RunRow *m_runRow = nullptr;
    QPushButton *m_deckButton = nullptr;
    QPushButton *m_printButton = nullptr;
    std::vector<QPushButton *> m_resultButtons;
    QLabel *m_problem = nullptr;
    QString m_resultStatus;    // what the status line said when the results shown came in
    bool m_staleShown = false; // the results shown are marked as out of date
    bool m_ready = false;      // the settings and the frequency can be modelled
    bool m_checkShown = false; // the check shown is of the settings and the frequency as they stand
    bool m_sized = false;      // the opening size is set once, at the first show
    bool m_asking = true;      // closing during a tune asks first
    QLabel *m_status = nullptr;
    BandsStudyRun *m_bandsRun = nullptr;
    BandsTuneRun *m_bandsTune = nullptr;
    std::optional<tune::TunedBands> m_tunedBands; // the tuned quad shown, as a saved file holds it
    QString m_tunedBandsOutcome;
    std::vector<check::BandCheck> m_bandChecks;
    std::optional<design::CheckSettings> m_bandsSettings; // of the bands checked
    QString m_bandsKey; // the bands, their layout and the elements as run
    QLabel *m_bandLabel = nullptr;
    QComboBox *m_bandChoice = nullptr;
};

} // namespace tarvelin
