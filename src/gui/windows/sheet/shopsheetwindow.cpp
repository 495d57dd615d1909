// SPDX-License-Identifier: MIT
#include "gui/windows/sheet/shopsheetwindow.h"

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
#include "core/runtime/messagebox.h"
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

const QString kLineTip = QStringLiteral("The feed line the antenna is fed with: From Sweep reads a sweep's SWR against "
                                        "it, and its dip");

} // namespace


namespace {

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The design frequency as read; none when the text gives none the sheet can work with.
std::optional<double> designMHz(const QString &frequencyText)
{
    return nec::designMHzOf(frequencyText.toStdString());
}

QString label(double mhz)
{
    return qText(frequencyLabel(mhz));
}

// How long a pause in typing the frequency takes it as meant.
constexpr int kCommitPauseMs = 800;

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
    m_frequency->disconnect(this);
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
        for (ResultTable *table :
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
        ResultTable none = nec::tuneVerdictTable(nec::TuneResult{}, nec::TuneSettings{});
        none.rows.clear();
        m_models[5]->setTable(std::move(none));
    }
}

// The settings, a column of the design and the measurement beside a column of the cut and the feed, and the
// rows of what a sweep was taken through and what was cut since the one before, under them.
QLayout *ShopSheetWindow::buildSettings()
{
    const DesignRow design = makeDesignRow();
    m_frequency = design.frequency;
    m_elements = design.elements;
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

    auto *left = new QFormLayout;
    left->addRow(design.label, design.layout);
    left->addRow(QStringLiteral("Fraction &step:"), m_step);
    auto *fromSweep = new QPushButton(QStringLiteral("From S&weep\u2026"));
    fromSweep->setObjectName(QStringLiteral("fromSweep"));
    fromSweep->setToolTip(QStringLiteral("Read the measured resonance from an analyser's sweep of the built antenna "
                                         "(Touchstone .s1p or .s2p): where its reactance passes zero at the feed point"));
    connect(fromSweep, &QPushButton::clicked, this, [this] {
        runHandler(m_messages, [this] {
            const QString path = chooseSweepPath(this, QStringLiteral("Measured resonance from a sweep"));
            if (!path.isEmpty())
                measuredFromSweep(path);
        });
    });
    m_fromSweep = fromSweep;
    auto *measuredRow = new QHBoxLayout;
    measuredRow->addWidget(m_measured, 1);
    measuredRow->addWidget(fromSweep);
    auto *measuredLabel = new QLabel(QStringLiteral("&Measured resonance (MHz):"));
    measuredLabel->setBuddy(m_measured);
    left->addRow(measuredLabel, measuredRow);
    // The line a sweep's SWR is read against, as tarvelin-calc's --z0 for --measured-sweep.
    m_line = new QComboBox;
    m_line->setObjectName(QStringLiteral("line"));
    m_line->setToolTip(kLineTip);
    for (const double ohms : {50.0, 75.0})
        m_line->addItem(QStringLiteral("%1 \u03a9").arg(ohms), ohms);
    auto *right = new QFormLayout;
    right->addRow(QStringLiteral("Wire &allowance:"), m_allowance);
    right->addRow(QStringLiteral("&Hub offset:"), m_hubOffset);
    right->addRow(QStringLiteral("F&eed line:"), m_line);
    m_match = new MatchRow;
    auto *matchLabel = new QLabel(QStringLiteral("Mat&ch:"));
    matchLabel->setBuddy(m_match->kindBox());
    right->addRow(matchLabel, m_match);
    connect(m_match, &MatchRow::changed, this, guardedSlot(m_messages, this, &ShopSheetWindow::recalculate));
    auto *settings = new QHBoxLayout;
    settings->addLayout(left);
    settings->addLayout(right);
    // What From Sweep's sweep was measured through, taken out to read it at the feed point.
    m_through = new ThroughRow;
    connect(m_through, &ThroughRow::changed, this, [this] { SettingsStore().setShopThrough(m_through->stored()); });
    connect(m_match, &MatchRow::changed, this,
            [this] { m_through->offerMatch(m_match->match().kind != MatchKind::Direct); });
    m_through->offerMatch(false);
    m_cutSince = new CutSinceRow;
    m_cutSince->setVisible(false);
    connect(m_cutSince, &CutSinceRow::changed, this, guardedSlot(m_messages, this, &ShopSheetWindow::recalculate));
    return settings;
}

// The sheet's tables, a tab each, beside its drawing.
QWidget *ShopSheetWindow::buildSheetView()
{
    // The columns are there before any sheet is.
    for (ResultTableModel *&model : m_models)
        model = new ResultTableModel(this);
    setModelsFor(std::nullopt);
    m_loops = new ResultView(QStringLiteral("loops"), QStringLiteral("Loops"), m_models[0]);
    m_marks = new ResultView(QStringLiteral("cornerMarks"), QStringLiteral("Corner marks"), m_models[1]);
    m_boom = new ResultView(QStringLiteral("spreadersAndBoom"), QStringLiteral("Spreaders and boom"), m_models[2]);
    m_trims = new ResultView(QStringLiteral("trims"), QStringLiteral("Trims"), m_models[3]);
    m_trimmedMarks = new ResultView(QStringLiteral("trimmedMarks"), QStringLiteral("Trimmed marks"), m_models[4]);
    m_tabs = new WholeTabs;
    m_tabs->setObjectName(QStringLiteral("tables"));
    m_tabs->setAccessibleName(QStringLiteral("Cut list tables"));
    static_cast<WholeTabs *>(m_tabs)->turnWithKeysIn(*this);
    m_tabs->addTab(m_loops, QStringLiteral("&Loops"));
    m_tabs->addTab(m_marks, QStringLiteral("Co&rner marks"));
    m_tabs->addTab(m_boom, QStringLiteral("Spreaders and &boom"));
    m_tabs->addTab(m_trims, QStringLiteral("&Trims"));
    m_tabs->addTab(m_trimmedMarks, QStringLiteral("Trimmed mar&ks"));
    m_tuningFigures =
        new ResultView(QStringLiteral("tuningFigures"), QStringLiteral("Before and after tuning"), m_models[5]);
    m_tabs->addTab(m_tuningFigures, QStringLiteral("Tuning fi&gures"));
    m_drawing = new ShopDrawing;

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_tabs);
    splitter->addWidget(new WholeScrollArea(m_drawing));
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    return splitter;
}

// What the sheet can be given to: the printer, a PDF or CSV file, the clipboard; and a tuned design to open.
QDialogButtonBox *ShopSheetWindow::buildButtons()
{
    auto *buttons = new QDialogButtonBox;
    m_printButton = buttons->addButton(QStringLiteral("&Print\u2026"), QDialogButtonBox::ActionRole);
    m_pdfButton = buttons->addButton(QStringLiteral("Save P&DF\u2026"), QDialogButtonBox::ActionRole);
    m_csvButton = buttons->addButton(QStringLiteral("Save CS&V\u2026"), QDialogButtonBox::ActionRole);
    m_copyButton = buttons->addButton(QStringLiteral("C&opy"), QDialogButtonBox::ActionRole);
    QPushButton *openTuned =
        buttons->addButton(QStringLiteral("Open T&uned Design\u2026"), QDialogButtonBox::ActionRole);
    openTuned->setObjectName(QStringLiteral("openTunedDesign"));
    connect(openTuned, &QPushButton::clicked, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::chooseAndOpenTunedDesign));
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    m_printButton->setObjectName(QStringLiteral("print"));
    m_pdfButton->setObjectName(QStringLiteral("savePdf"));
    m_csvButton->setObjectName(QStringLiteral("saveCsv"));
    m_copyButton->setObjectName(QStringLiteral("copy"));
    connect(m_printButton, &QPushButton::clicked, this, guardedSlot(m_messages, this, &ShopSheetWindow::print));
    connect(m_pdfButton, &QPushButton::clicked, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::chooseAndSavePdf));
    connect(m_csvButton, &QPushButton::clicked, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::chooseAndSaveCsv));
    connect(m_copyButton, &QPushButton::clicked, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::copyToClipboard));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Nothing to print, save or copy until there is a sheet.
    for (QPushButton *button : {m_printButton, m_pdfButton, m_csvButton, m_copyButton})
        button->setEnabled(false);
    return buttons;
}

void ShopSheetWindow::buildWidgets()
{
    QLayout *settings = buildSettings();
    QWidget *sheetView = buildSheetView();
    QDialogButtonBox *buttons = buildButtons();
    // Esc and the desktop's close keys (Ctrl+W) close the window, as they close any document window.
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);

    m_problem = new QLabel;
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->hide();
    // How a frequency text longer than its number was read, so "14,2" is never 14 MHz unseen.
    m_reading = new QLabel;
    m_reading->setObjectName(QStringLiteral("frequencyReading"));
    m_reading->setWordWrap(true);
    m_reading->setTextFormat(Qt::PlainText);
    m_reading->hide();
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_note->hide();
    m_summary = new QLabel;
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // Everything but the buttons scrolls in a window narrower or lower than it, as on a small screen at a large
    // scale; the buttons stay in view under it.
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->addLayout(settings);
    layout->addWidget(m_through);
    layout->addWidget(m_cutSince);
    layout->addWidget(m_reading);
    layout->addWidget(m_problem);
    layout->addWidget(m_note);
    layout->addWidget(m_summary);
    layout->addWidget(sheetView, 1);
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(new WindowScrollArea(content), 1);
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    buttons->setContentsMargins(margin, 0, margin, margin);
    window->addWidget(buttons);
    // Tab reads the settings a column at a time.
    setTabOrder(m_frequency, m_elements);
    setTabOrder(m_elements, m_step);
    setTabOrder(m_step, m_measured);
    setTabOrder(m_measured, m_fromSweep);
    setTabOrder(m_fromSweep, m_allowance);
    setTabOrder(m_allowance, m_hubOffset);
    setTabOrder(m_hubOffset, m_line);
    setTabOrder(m_line, m_match->kindBox());
    setTabOrder(m_match->lastField(), m_through->firstField());
    setTabOrder(m_through->lastField(), m_cutSince->field());

    m_summary->setText(QStringLiteral("Type the centre frequency in MHz to see the sheet."));

    // A frequency counts as meant at Enter, on leaving the field, or after a pause in typing; the measured
    // resonance is tied to its design frequency before the sheet is made anew.
    m_commit = new QTimer(this);
    m_commit->setSingleShot(true);
    m_commit->setInterval(kCommitPauseMs);
    connect(m_commit, &QTimer::timeout, this, guardedSlot(m_messages, this, &ShopSheetWindow::frequencyCommitted));
    connect(m_frequency, &QLineEdit::textEdited, m_commit, qOverload<>(&QTimer::start));
    connect(m_frequency, &QLineEdit::editingFinished, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::frequencyCommitted));
    connect(m_measured, &QLineEdit::textChanged, this, guardedSlot(m_messages, this, &ShopSheetWindow::measuredEdited));
    for (QLineEdit *edit : {m_frequency, m_allowance, m_hubOffset, m_measured})
        connect(edit, &QLineEdit::textChanged, this, guardedSlot(m_messages, this, &ShopSheetWindow::recalculate));
    connect(m_step, &QComboBox::currentIndexChanged, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::recalculate));
    // Another element count is another design, as another frequency is.
    connect(m_elements, &QSpinBox::valueChanged, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::frequencyCommitted));
}

void ShopSheetWindow::restoreSettings()
{
    const ShopWindowSettings stored = SettingsStore().shopWindow();
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
    m_through->offerMatch(m_match->match().kind != MatchKind::Direct);
    {
        const QSignalBlocker quiet(m_elements);
        m_elements->setValue(stored.elements);
    }
    // A measurement belongs to a design the sheet can be made for; one that names none (a hand-edited file
    // may say "inf" or 1e-300) belongs to none, and no note speaks of it.
    const QSignalBlocker quiet(m_measured);
    if (const std::optional<double> storedFor = designMHz(stored.measuredFor);
        storedFor && !stored.measured.isEmpty()) {
        m_measured->setText(stored.measured);
        m_source.restore({stored.measured.toStdString(), *storedFor, stored.measuredElements});
    }
}

void ShopSheetWindow::saveSettings() const
{
    const std::optional<shop::SheetSource::Kept> kept = m_source.kept(m_measured->text().toStdString());
    SettingsStore().setShopWindow({.frequency = m_frequency->text(),
                                   .step = m_step->currentData().toInt(),
                                   .allowance = m_allowance->text(),
                                   .hubOffset = m_hubOffset->text(),
                                   .measured = kept ? qText(kept->measured) : QString(),
                                   .measuredFor = kept ? QString::number(kept->forMHz, 'g', 17) : QString(),
                                   .elements = m_elements->value(),
                                   .measuredElements = kept ? kept->elements : m_elements->value(),
                                   .lineZ0Ohms = m_ownFeed ? m_ownFeed->z0Ohms : m_line->currentData().toDouble(),
                                   .match = m_ownFeed ? m_ownFeed->match : m_match->match(),
                                   .through = m_through->stored()});
}

void ShopSheetWindow::setFrequencyText(const QString &text)
{
    m_frequency->setText(text);
    frequencyCommitted();
}

void ShopSheetWindow::setDesign(const QString &frequencyText, int elements)
{
    setElements(elements);
    setFrequencyText(frequencyText);
}

void ShopSheetWindow::setElements(int elements)
{
    const QSignalBlocker quiet(m_elements);
    m_elements->setValue(elements);
}

// What the source asks of the window: its notes shown, and the measured field as it says, which is no edit.
void ShopSheetWindow::apply(const shop::SheetSource::Change &change)
{
    if (change.measuredText) {
        const QSignalBlocker quiet(m_measured);
        m_measured->setText(qText(*change.measuredText));
    }
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
    apply(m_source.predict(*design, elements, resonanceMHz, modelNote.toStdString(), m_measured->text().toStdString()));
    m_frequency->setText(frequencyText);
    frequencyCommitted();
    showNote(QStringLiteral("Trimmed by the antenna check's predicted resonance, %1 MHz: a prediction, not a "
                            "measurement. Type the resonance the built antenna measures to trim by that instead.")
                 .arg(label(resonanceMHz)));
}

void ShopSheetWindow::chooseAndOpenTunedDesign()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open tuned design"), SettingsStore().saveFolder(),
                                     QStringLiteral("Tuned designs (*.json);;All files (*)"));
    if (!path.isEmpty())
        openTunedDesign(path);
}

bool ShopSheetWindow::measuredFromSweep(const QString &path)
{
    const std::optional<touchstone::Sweep> sweep = readSweepFile(m_messages, path);
    if (!sweep)
        return false;
    const auto refuse = [this](const std::string &why) {
        MessageBoxRequest request;
        request.prompt = "The measured resonance was not taken from the sweep. " + why;
        request.buttons = buttons::kWarning;
        request.title = kApplicationTitle;
        m_messages.MessageBox(request);
        return false;
    };
    const QString name = QFileInfo(path).fileName();
    QString problem;
    const nec::MeasuredThrough through = m_through->through(&problem);
    if (!problem.isEmpty())
        return refuse(problem.toStdString());
    const std::optional<double> design = designMHz(m_frequency->text());
    const auto read =
        nec::sheetSweepOf(*sweep, name.toStdString(),
                          {m_line->currentData().toDouble(), m_match->match(), design.value_or(0.0), through});
    if (const auto *refusal = std::get_if<shop::ShopRefusal>(&read))
        return refuse(refusal->message);
    const nec::SheetSweep &measured = std::get<nec::SheetSweep>(read);
    const QString resonanceText = QString::fromStdString(measured.resonanceText);
    const std::string replaced = m_measured->text().toStdString();
    {
        // The sweep's doing, not the builder's typing: what it replaces may be the sweep before it.
        const QSignalBlocker quiet(m_measured);
        m_measured->setText(resonanceText);
    }
    const std::string throughText = through.declared() ? nec::throughText(through) : std::string();
    m_source.measuredFromSweep(design, m_elements->value(), name.toStdString(), replaced, resonanceText.toStdString(),
                               throughText);
    m_cutSince->clear(); // nothing said yet of what was cut before this sweep
    updateTitle();
    recalculate();
    showNote(QStringLiteral("The measured resonance is where the reactance of %1 passes zero at the feed point%4: "
                            "%3 MHz (its lowest SWR %2).")
                 .arg(name, QString::fromStdString(nec::swrText(measured.minSwr, 2)), resonanceText,
                      throughText.empty()
                          ? QString()
                          : QStringLiteral(", read at the feed point through ") + QString::fromStdString(throughText)) +
             (measured.lossyLine ? QStringLiteral(" ") + QString::fromStdString(*measured.lossyLine) : QString()));
    return true;
}

bool ShopSheetWindow::openTunedDesign(const QString &path)
{
    const SmallFile file = readSmallFile(path, QStringLiteral("tuned design"));
    std::variant<nec::TunedDesign, std::string> read = std::string();
    if (file.text)
        read = nec::readTunedDesign(*file.text);
    if (const auto *refusal = std::get_if<std::string>(&read)) {
        MessageBoxRequest request;
        request.prompt = file.text ? QStringLiteral("The tuned design could not be opened from %1: %2")
                                         .arg(path, QString::fromStdString(*refusal))
                                         .toStdString()
                                   : "The tuned design was not opened. " + file.refusal;
        request.buttons = buttons::kWarning;
        request.title = kApplicationTitle;
        m_messages.MessageBox(request);
        return false;
    }
    const nec::TunedDesign &design = std::get<nec::TunedDesign>(read);
    setTunedDesign(QString::fromStdString(design.frequencyText), nec::tunedCutOf(design.result, design.check),
                   nec::sheetTuningOf(design.result, design.tune, design.check));
    return true;
}

void ShopSheetWindow::setTunedDesign(const QString &frequencyText, const shop::TunedCut &tuned,
                                     std::optional<shop::SheetTuning> tuning)
{
    const std::optional<double> design = designMHz(frequencyText);
    const std::size_t elements = tuned.loopFactors.size();
    if (elements < kFewestElements || elements > kMostElements || !design)
        return;
    const bool told = tuning.has_value();
    const QString outcome = told ? qText(tuning->outcome) : QString();
    m_source.tune(*design, tuned, std::move(tuning));
    setElements(static_cast<int>(elements));
    showNote({});
    m_frequency->setText(frequencyText);
    frequencyCommitted();
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
    const auto showFeed = [this](const Match &match, double z0Ohms) {
        const QSignalBlocker quiet(m_match);
        const QSignalBlocker quietToo(m_line);
        m_match->setMatch(match);
        if (m_line->findData(z0Ohms) < 0)
            m_line->addItem(QStringLiteral("%1 \u03a9").arg(z0Ohms), z0Ohms);
        m_line->setCurrentIndex(m_line->findData(z0Ohms));
        m_through->offerMatch(match.kind != MatchKind::Direct);
    };
    const std::optional<shop::TunedCut> &tuned = m_source.tunedCut();
    if (tuned) {
        if (!m_ownFeed)
            m_ownFeed = OwnFeed{m_match->match(), m_line->currentData().toDouble()};
        showFeed(tuned->match, tuned->z0Ohms);
    } else if (m_ownFeed) {
        showFeed(m_ownFeed->match, m_ownFeed->z0Ohms);
        m_ownFeed.reset();
    }
    const QString why = QStringLiteral("The tuned design's own, which its goals hold for: Shop Sheet (Ctrl+L) shows "
                                       "the specified design with yours");
    m_match->setEnabled(!tuned);
    m_match->setToolTip(tuned ? why : QString());
    m_line->setEnabled(!tuned);
    m_line->setToolTip(tuned ? why : kLineTip);
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
    m_source.measuredEdited(designMHz(m_frequency->text()), m_elements->value(), m_measured->text().toStdString());
    updateTitle();
    showNote({});
}

// The design as meant, once typed (Enter, leaving the field or a pause) or sent, and on another element count:
// the source says what gives way to it and what comes back. While the frequency is being typed, the sheet
// applies none of them to a design they were not made for.
void ShopSheetWindow::frequencyCommitted()
{
    m_commit->stop();
    apply(m_source.commit(designMHz(m_frequency->text()), m_elements->value(), m_measured->text().toStdString()));
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
    const auto refuse = [this](const shop::ShopRefusal &refusal) {
        m_problem->setText(qText(refusal.message));
        m_problem->show();
        markRefused(refusal.setting ? fieldOf(*refusal.setting) : m_frequency);
        showStale(true);
    };
    markRefused(nullptr);
    const std::optional<std::string> reading = frequencyReadingNote(m_frequency->text().toStdString());
    m_reading->setText(reading ? qText(*reading) : QString());
    m_reading->setVisible(reading.has_value());
    // The same reader as tarvelin-calc's options, so both refuse alike; the source decides which resonance, if
    // any, trims the sheet.
    // Sweeps in turn ask what was cut before the latest; none given is the trim advised.
    m_cutSince->setVisible(m_source.sweptInTurn());
    if (m_source.sweptInTurn()) {
        QString problem;
        const std::optional<double> cut = m_cutSince->inches(&problem);
        if (!problem.isEmpty()) {
            m_problem->setText(problem);
            m_problem->show();
            markRefused(m_cutSince->field());
            showStale(true);
            return;
        }
        m_source.setCutSinceLastSweep(cut);
    }
    shop::ShopSettingTexts texts;
    texts.step = std::to_string(m_step->currentData().toInt());
    texts.allowance = m_allowance->text().toStdString();
    texts.hubOffset = m_hubOffset->text().toStdString();
    auto made = m_source.sheet(m_frequency->text().toStdString(), m_elements->value(), texts,
                               m_measured->text().toStdString(), m_match->match());
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

QLineEdit *ShopSheetWindow::fieldOf(shop::ShopSetting setting) const
{
    switch (setting) {
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

void ShopSheetWindow::showSheet(const shop::ShopSheet &sheet)
{
    m_sheet = sheet;
    setModelsFor(sheet);
    for (QTableView *trims : {m_trims, m_trimmedMarks})
        m_tabs->setTabEnabled(m_tabs->indexOf(trims), !sheet.correctedFrequencyText.empty());
    m_tabs->setTabEnabled(m_tabs->indexOf(m_tuningFigures), sheet.tuning.has_value());

    const shop::ShopFooter footer = shop::shopFooter(sheet);
    QString summary =
        qText(shop::roundingNote(sheet.settings.step)) +
        QStringLiteral(" Wire in all: %1. Spreader arms: %2. Boom: %3")
            .arg(qText(footer.wire), qText(footer.armsText), qText(footer.boom)) +
        (sheet.windowBoomInches.empty() ? QStringLiteral(".")
                                        : QStringLiteral(" (the window shows %1).").arg(qText(sheet.windowBoomInches)));
    if (!sheet.correctedFrequencyText.empty())
        summary += QLatin1Char(' ') + qText(shop::trimsNote(sheet));
    summary += QLatin1Char(' ') + qText(footer.feed);
    if (const std::string match = shop::matchNote(sheet); !match.empty())
        summary += QLatin1Char(' ') + qText(match);
    m_summary->setText(summary);
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
void ShopSheetWindow::markRefused(QLineEdit *field)
{
    for (QLineEdit *edit : {m_frequency, m_allowance, m_hubOffset, m_measured, m_cutSince->field()})
        markField(*edit, edit == field ? m_problem->text() : QString());
}

void ShopSheetWindow::copyToClipboard()
{
    if (!m_sheet)
        return;
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(qText(shop::shopSheetTabSeparated(*m_sheet)));
}

bool ShopSheetWindow::saveCsv(const QString &path)
{
    if (!m_sheet)
        return false;
    std::string csv;
    appendCsvTable(csv, shop::shopCsvTable(*m_sheet), true);
    return saved(saveWholeFile(m_messages, path, QByteArray::fromStdString(csv), QStringLiteral("CSV file"),
                               QStringLiteral("nothing to save")),
                 QStringLiteral("CSV file"), path);
}

// A save says where the file went.
bool ShopSheetWindow::saved(bool done, const QString &what, const QString &path)
{
    if (done)
        showNote(QStringLiteral("Saved the %1 as %2.").arg(what, QDir::toNativeSeparators(path)));
    return done;
}

bool ShopSheetWindow::savePdf(const QString &path)
{
    if (!m_sheet)
        return false;
    return saved(saveWholeFile(m_messages, path,
                               shopSheetPdf(*m_sheet, localPaperLayout(), QDateTime::currentDateTime()),
                               QStringLiteral("PDF"), QStringLiteral("cannot draw the pages")),
                 QStringLiteral("PDF"), path);
}

// Named after the sheet that is saved, never after the field, which may hold something else by now.
QString ShopSheetWindow::suggestedName(const QString &suffix) const
{
    const QString label = m_sheet ? qText(designTitle(m_sheet->frequencyLabel, m_sheet->elements.size())) : QString();
    const QString name =
        m_sheet && m_sheet->loopFactors ? QStringLiteral("Tuned shop sheet %1.%2") : QStringLiteral("Shop sheet %1.%2");
    return name.arg(label, suffix);
}

void ShopSheetWindow::chooseAndSavePdf()
{
    const QString path = chooseSavePath(this, QStringLiteral("Save PDF"), suggestedName("pdf"),
                                        QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (!path.isEmpty())
        (void)savePdf(path);
}

void ShopSheetWindow::chooseAndSaveCsv()
{
    const QString path = chooseSavePath(this, QStringLiteral("Save CSV"), suggestedName("csv"),
                                        QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
    if (!path.isEmpty())
        (void)saveCsv(path);
}

void ShopSheetWindow::print()
{
    if (!m_sheet)
        return;
    const shop::ShopSheet sheet = *m_sheet;
    m_print->print(*this, {QStringLiteral("Print Shop Sheet"), "Tarvelin shop sheet",
                           [sheet](const QPageLayout &paper) {
                               return shopSheetPdf(sheet, paper, QDateTime::currentDateTime());
                           },
                           [this](const QString &path, const QByteArray &) { (void)savePdf(path); }});
}

} // namespace tarvelin
