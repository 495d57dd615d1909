// SPDX-License-Identifier: MIT
#include "gui/windows/sheet/shopsheetwindow.h"

#include "gui/windows/sheet/sheetsettingspanel.h"

#include "core/design/arraydesign.h"
#include "core/design/designlengths.h"
#include "gui/print/confirmprint.h"
#include "gui/print/documentprint.h"
#include "gui/print/shopsheetprintout.h"
#include "gui/runtime/printer.h"
#include "gui/runtime/settingsstore.h"
#include "core/shop/shopsheettext.h"
#include "core/document/checktable.h"
#include "core/measure/measured.h"
#include "core/tune/tuneddesign.h"
#include "core/format/fieldtext.h"
#include "gui/runtime/messagebox.h"
#include "gui/runtime/qtext.h"
#include "gui/runtime/qtmessagebox.h"
#include "gui/runtime/unhandlederror.h"
#include "gui/windows/rows/designrow.h"
#include "gui/windows/widgets/fieldmark.h"
#include "gui/windows/rows/matchrow.h"
#include "gui/windows/rows/cutsincerow.h"
#include "gui/windows/rows/throughrow.h"
#include "gui/windows/styling/flagicon.h"
#include "gui/windows/widgets/resulttablemodel.h"
#include "gui/windows/widgets/resultview.h"
#include "gui/windows/sheet/shopdrawing.h"
#include "gui/windows/userfiles.h"

#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <variant>

namespace tarvelin {

namespace {

// The design frequency as read; none when the text gives none the sheet can work with.
std::optional<double> designMHz(const QString &frequencyText)
{
    return design::designMHzOf(frequencyText.toStdString());
}

QString label(double mhz)
{
    return qText(design::frequencyLabel(mhz));
}

} // namespace

ShopSheetWindow::ShopSheetWindow(QWidget *owner, MessageBoxService &messages, PrinterService &printer)
    : QWidget(owner, Qt::Window), m_messages(messages), m_print(new DocumentPrint(messages, printer, this))
{
    // Print again only once the spooler has answered the job before.
    connect(m_print, &DocumentPrint::busyChanged, this,
            [this] { m_printButton->setEnabled(m_sheet.has_value() && !m_print->busy()); });
    setObjectName(QStringLiteral("shopSheet"));
    setWindowTitle(QStringLiteral("Shop Sheet \u2013 Tarvelin"));
    setWindowIcon(flagIcon());
    buildWidgets();
    restoreSettings();
    recalculate();
}

ShopSheetWindow::~ShopSheetWindow()
{
    // The frequency field loses the focus as the window goes, which must not commit it to a window half gone.
    m_settings->disconnect(this);
    // Still open as the program ends: the size it had is the one to come back to.
    if (isVisible())
        rememberSize(*this, QStringLiteral("shopSheet"));
}

// The first time the window opens, it takes the size it was last closed at, or else the size that shows every
// tab, cell and label whole for any sheet: that of the lowest band trimmed, whose lengths and trims are the
// longest, whatever sheet is shown now.
void ShopSheetWindow::showEvent(QShowEvent *event)
{
    if (!m_sized) {
        m_sized = true;
        shop::ShopSettings widest;
        widest.measuredMHz = 1.79;
        setModelsFor(std::get<shop::ShopSheet>(shop::makeShopSheet("1.8", widest)));
        openAtRememberedSize(*this, QStringLiteral("shopSheet"));
        setModelsFor(m_sheet);
    }
    QWidget::showEvent(event);
}

void ShopSheetWindow::hideEvent(QHideEvent *event)
{
    rememberSize(*this, QStringLiteral("shopSheet"));
    QWidget::hideEvent(event);
}

void ShopSheetWindow::setModelsFor(const std::optional<shop::ShopSheet> &sheet)
{
    shop::ShopTables tables = shop::shopTables(sheet ? *sheet : shop::ShopSheet{});
    if (!sheet) {
        for (format::ResultTable *table :
             {&tables.loops, &tables.cornerMarks, &tables.spreadersAndBoom, &tables.trims, &tables.trimmedMarks})
            table->rows.clear();
    }
    m_models[0]->setTable(std::move(tables.loops));
    m_models[1]->setTable(std::move(tables.cornerMarks));
    m_models[2]->setTable(std::move(tables.spreadersAndBoom));
    m_models[3]->setTable(std::move(tables.trims));
    m_models[4]->setTable(std::move(tables.trimmedMarks));
    if (sheet && sheet->tuning) {
        m_models[5]->setTable(sheet->tuning->figures);
    } else {
        // The tune's own columns, with no figures in them.
        format::ResultTable none = tune::tuneVerdictTable(tune::TuneResult{}, tune::TuneSettings{});
        none.rows.clear();
        m_models[5]->setTable(std::move(none));
    }
}

void ShopSheetWindow::restoreSettings()
{
    const ShopWindowSettings stored = SettingsStore().shopWindow();
    m_settings->restore(stored);
    // A measurement belongs to a design the sheet can be made for; one that names none (a hand-edited file
    // may say "inf" or 1e-300) belongs to none, and no note speaks of it.
    if (const std::optional<double> storedFor = designMHz(stored.measuredFor);
        storedFor && !stored.measured.isEmpty()) {
        m_settings->setMeasuredText(stored.measured);
        m_source.restore({stored.measured.toStdString(), *storedFor, stored.measuredElements});
    }
}

void ShopSheetWindow::saveSettings() const
{
    const std::optional<shop::SheetSource::Kept> kept = m_source.kept(m_settings->measuredText().toStdString());
    ShopWindowSettings settings;
    m_settings->store(settings);
    settings.measured = kept ? qText(kept->measured) : QString();
    settings.measuredFor = kept ? QString::number(kept->forMHz, 'g', 17) : QString();
    settings.measuredElements = kept ? kept->elements : settings.elements;
    SettingsStore().setShopWindow(settings);
}

void ShopSheetWindow::setFrequencyText(const QString &text)
{
    m_settings->setFrequencyText(text);
    frequencyCommitted();
}

void ShopSheetWindow::setDesign(const QString &frequencyText, int elements)
{
    setElements(elements);
    setFrequencyText(frequencyText);
}

void ShopSheetWindow::setElements(int elements)
{
    m_settings->setElements(elements);
}

// What the source asks of the window: its notes shown, and the measured field as it says, which is no edit.
void ShopSheetWindow::apply(const shop::SheetSource::Change &change)
{
    if (change.measuredText)
        m_settings->setMeasuredText(qText(*change.measuredText));
    if (!change.notes.empty()) {
        QStringList notes;
        for (const std::string &note : change.notes)
            notes << qText(note);
        showNote(notes.join(QLatin1Char(' ')));
    }
}

void ShopSheetWindow::showSpecified()
{
    // What was said of tuned loops or a prediction goes with them.
    if (m_source.tuned() || m_source.predicted())
        showNote({});
    m_source.showSpecified();
    frequencyCommitted();
}

void ShopSheetWindow::setPredictedResonance(const QString &frequencyText, int elements, double resonanceMHz,
                                            const QString &modelNote)
{
    const std::optional<double> design = designMHz(frequencyText);
    if (!design)
        return;
    setElements(elements);
    apply(m_source.predict(*design, elements, resonanceMHz, modelNote.toStdString(),
                           m_settings->measuredText().toStdString()));
    setFrequencyText(frequencyText);
    showNote(QStringLiteral("Trimmed by the antenna check's predicted resonance, %1 MHz: a prediction, not a "
                            "measurement. Type the resonance the built antenna measures to trim by that instead.")
                 .arg(label(resonanceMHz)));
}

void ShopSheetWindow::setTunedDesign(const QString &frequencyText, const shop::TunedCut &tuned,
                                     std::optional<shop::SheetTuning> tuning)
{
    const std::optional<double> design = designMHz(frequencyText);
    const std::size_t elements = tuned.loopFactors.size();
    if (elements < design::kFewestElements || elements > design::kMostElements || !design)
        return;
    const bool told = tuning.has_value();
    const QString outcome = told ? qText(tuning->outcome) : QString();
    m_source.tune(*design, tuned, std::move(tuning));
    setElements(static_cast<int>(elements));
    showNote({});
    setFrequencyText(frequencyText);
    // What the tune said of them, where known, with its figures on their own tab; and what became of a
    // measurement of other loops.
    const QString aside = note();
    const QString what = m_sheet ? qText(shop::tunedNote(*m_sheet)) : QString();
    showNote((told ? QStringLiteral("%1 %2 Shop Sheet (Ctrl+L) shows the specified design.").arg(what, outcome)
                   : QStringLiteral("%1 The main window keeps the specified design, and Shop Sheet (Ctrl+L) "
                                    "shows it.")
                         .arg(what)) +
             (aside.isEmpty() ? QString() : QLatin1Char(' ') + aside));
}

// Tuned loops are cut with the match and read on the line they were tuned for, which the rows show, locked,
// while the loops are shown; the builder's own come back with the specified design.
void ShopSheetWindow::followTunedFeed()
{
    const std::optional<shop::TunedCut> &tuned = m_source.tunedCut();
    m_settings->showTunedFeed(tuned ? std::optional(tuned->match) : std::nullopt, tuned ? tuned->z0Ohms : 0.0);
}

// Each sheet says what it is.
void ShopSheetWindow::updateTitle()
{
    setWindowTitle(m_source.tuned()       ? QStringLiteral("Tuned Shop Sheet \u2013 Tarvelin")
                   : m_source.predicted() ? QStringLiteral("Shop Sheet Trimmed by the Model \u2013 Tarvelin")
                                          : QStringLiteral("Shop Sheet \u2013 Tarvelin"));
}

void ShopSheetWindow::showNote(const QString &text)
{
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

QString ShopSheetWindow::note() const
{
    return m_note->isHidden() ? QString() : m_note->text();
}

// A measured resonance typed now is for the design shown now.
void ShopSheetWindow::measuredEdited()
{
    m_source.measuredEdited(designMHz(m_settings->frequencyText()), m_settings->elements(),
                            m_settings->measuredText().toStdString());
    updateTitle();
    showNote({});
}

// The design as meant, once typed (Enter, leaving the field or a pause) or sent, and on another element count:
// the source says what gives way to it and what comes back. While the frequency is being typed, the sheet
// applies none of them to a design they were not made for.
void ShopSheetWindow::frequencyCommitted()
{
    apply(m_source.commit(designMHz(m_settings->frequencyText()), m_settings->elements(),
                          m_settings->measuredText().toStdString()));
    updateTitle();
    recalculate();
}

QString ShopSheetWindow::problem() const
{
    return m_problem->isHidden() ? QString() : m_problem->text();
}

// Every change of a setting makes the sheet anew. A setting that cannot be used is named and marked; the
// sheet shown stays in view, dimmed, and nothing can print, save or copy it until every setting is good again.
void ShopSheetWindow::recalculate()
{
    followTunedFeed();
    std::optional<QString> oneBand;
    if (recalculateBands(oneBand))
        return;
    const QString frequency = oneBand.value_or(m_settings->frequencyText()); // one band is its own design
    const auto refuse = [this](const shop::ShopRefusal &refusal) {
        m_problem->setText(qText(refusal.message));
        m_problem->show();
        markRefused(m_settings->fieldOf(refusal.setting));
        showStale(true);
    };
    markRefused(nullptr);
    const std::optional<std::string> reading = design::frequencyReadingNote(frequency.toStdString());
    m_reading->setText(reading ? qText(*reading) : QString());
    m_reading->setVisible(reading.has_value());
    // The same reader as tarvelin-calc's options, so both refuse alike; the source decides which resonance, if
    // any, trims the sheet.
    // Sweeps in turn ask what was cut before the latest; none given is the trim advised.
    CutSinceRow &cutSince = m_settings->cutSince();
    cutSince.setVisible(m_source.sweptInTurn());
    if (m_source.sweptInTurn()) {
        QString problem;
        const std::optional<double> cut = cutSince.inches(&problem);
        if (!problem.isEmpty()) {
            m_problem->setText(problem);
            m_problem->show();
            markRefused(cutSince.field());
            showStale(true);
            return;
        }
        m_source.setCutSinceLastSweep(cut);
    }
    auto made = m_source.sheet(frequency.toStdString(), m_settings->elements(), m_settings->texts(),
                               m_settings->measuredText().toStdString(), m_settings->match());
    if (const auto *refusal = std::get_if<shop::ShopRefusal>(&made)) {
        if (!refusal->message.empty())
            return refuse(*refusal);
        m_problem->hide(); // nothing typed yet
        showStale(true);
        return;
    }
    m_problem->hide();
    saveSettings();
    showSheet(std::get<shop::ShopSheet>(made));
}

void ShopSheetWindow::showSheet(const shop::ShopSheet &sheet)
{
    m_sheet = sheet;
    setModelsFor(sheet);
    for (QTableView *trims : {m_trims, m_trimmedMarks})
        m_tabs->setTabEnabled(m_tabs->indexOf(trims), !sheet.correctedFrequencyText.empty());
    m_tabs->setTabEnabled(m_tabs->indexOf(m_tuningFigures), sheet.tuning.has_value());

    m_summary->setText(qText(format::documentProse(shop::shopSheetDocument(sheet))));
    m_drawing->setSheet(sheet);
    showStale(false);
}

// A sheet that no longer matches the settings stays in view, dimmed, and cannot leave the window.
void ShopSheetWindow::showStale(bool stale)
{
    if (stale)
        m_sheet.reset();
    for (QPushButton *button : {m_printButton, m_pdfButton, m_csvButton, m_copyButton})
        button->setEnabled(!stale && (button != m_printButton || !m_print->busy()));
    m_tabs->setEnabled(!stale);
    m_summary->setEnabled(!stale);
    m_drawing->setEnabled(!stale);
}

// Only the refused field carries the mark.
void ShopSheetWindow::markRefused(const QLineEdit *field)
{
    m_settings->markRefused(field, m_problem->text());
}

} // namespace tarvelin
