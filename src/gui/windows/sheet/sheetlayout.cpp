// SPDX-License-Identifier: MIT
// The Shop Sheet's widgets and how they are laid out and connected.
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

// How long a pause in typing the frequency takes it as meant.
constexpr int kCommitPauseMs = 800;

} // namespace

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
    fromSweep->setToolTip(
        QStringLiteral("Read the measured resonance from an analyser's sweep of the built antenna "
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
    m_line->setToolTip(lineTip());
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
            [this] { m_through->offerMatch(m_match->match().kind != design::MatchKind::Direct); });
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

} // namespace tarvelin
