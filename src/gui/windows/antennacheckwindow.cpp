// SPDX-License-Identifier: MIT
#include "gui/windows/antennacheckwindow.h"

#include "core/nec/deck.h"
#include "gui/print/checkplots.h"
#include "gui/print/checkreport.h"
#include "gui/print/confirmprint.h"
#include "core/nec/checktable.h"
#include "core/nec/tuneddesign.h"
#include "core/calc/designlengths.h"
#include "core/format/fieldtext.h"
#include "core/runtime/messagebox.h"
#include "core/shop/shopsettings.h"
#include "gui/runtime/printer.h"
#include "gui/runtime/settingsstore.h"
#include "gui/windows/enginerun.h"
#include "gui/runtime/unhandlederror.h"
#include "gui/windows/fieldmark.h"
#include "gui/windows/flowlayout.h"
#include "gui/windows/flagicon.h"
#include "gui/windows/resulttablemodel.h"
#include "gui/windows/resultview.h"
#include "gui/windows/studyrun.h"
#include "gui/windows/wholefile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QKeyEvent>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include <cmath>
#include <tuple>

namespace tarvelin {

// The verdict's rows with a measured sweep, over ground.
constexpr int kVerdictRows = 13;

// A plot of the check as a widget, in the desktop's colours, never so small that its labels crowd.
constexpr int kPlotWidthLines = 22;
constexpr int kPlotHeightLines = 14;

class PlotView final : public QWidget
{
public:
    PlotView(CheckPlot plot, const QString &name, const std::optional<nec::CheckSummary> &summary,
             const std::optional<nec::MeasuredSweep> &measured, const std::optional<nec::CheckSummary> &tuned)
        : m_plot(plot), m_summary(summary), m_measured(measured), m_tuned(tuned)
    {
        setObjectName(name);
        setAccessibleName(name);
        setFocusPolicy(Qt::TabFocus); // so a screen reader can reach the description
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
        setMinimumSize(fontMetrics().height() * kPlotWidthLines, fontMetrics().height() * kPlotHeightLines);
    }

    // The summary shown has changed: paint it, and describe it for screen readers.
    void refresh(double z0Ohms)
    {
        setAccessibleDescription(
            m_summary ? checkPlotDescription(m_plot, *m_summary, z0Ohms, m_measured ? &*m_measured : nullptr)
                      : QString());
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_summary)
            return;
        QPainter painter(this);
        const int margin = fontMetrics().height() / 2;
        paintCheckPlot(painter, QRectF(rect()).adjusted(margin, margin, -margin, -margin), m_plot, *m_summary, font(),
                       palette().color(QPalette::Text), m_measured ? &*m_measured : nullptr,
                       m_tuned ? &*m_tuned : nullptr);
    }

private:
    CheckPlot m_plot;
    const std::optional<nec::CheckSummary> &m_summary;
    const std::optional<nec::MeasuredSweep> &m_measured;
    const std::optional<nec::CheckSummary> &m_tuned;
};

AntennaCheckWindow::AntennaCheckWindow(QWidget *owner, MessageBoxService &messages, PrinterService &printer)
    : QWidget(owner, Qt::Window), m_messages(messages), m_printer(printer)
{
    setObjectName(QStringLiteral("antennaCheck"));
    setWindowTitle(QStringLiteral("Antenna Check \u2013 Tarvelin"));
    setWindowIcon(flagIcon());
    setAcceptDrops(true); // an analyser's sweep dropped on the window is laid over the model
    buildWidgets();
    restoreSettings();
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
    m_frequency = new QLineEdit;
    m_frequency->setObjectName(QStringLiteral("frequency"));
    m_elements = new QSpinBox;
    m_elements->setObjectName(QStringLiteral("elements"));
    m_elements->setRange(kFewestElements, kMostElements);
    m_elements->setSuffix(QStringLiteral(" elements"));
    m_elements->setAccessibleName(QStringLiteral("Elements"));
    m_elements->setToolTip(QStringLiteral("The reflector, the driven element and the first directors of the design"));
    m_wireMm = new QDoubleSpinBox;
    m_wireMm->setObjectName(QStringLiteral("wireMm"));
    m_wireMm->setRange(nec::limits::kLowestWireMm, nec::limits::kHighestWireMm);
    m_wireMm->setDecimals(3);
    m_wireMm->setSuffix(QStringLiteral(" mm"));
    m_awg = new QComboBox;
    m_awg->setObjectName(QStringLiteral("awg"));
    m_awg->setAccessibleName(QStringLiteral("Wire gauge"));
    m_awg->addItem(QStringLiteral("diameter"), 0);
    for (int gauge = nec::limits::kLowestAwg; gauge <= nec::limits::kHighestAwg; ++gauge)
        m_awg->addItem(QStringLiteral("AWG %1").arg(gauge), gauge);
    connect(m_awg, &QComboBox::currentIndexChanged, this, [this] {
        const int gauge = m_awg->currentData().toInt();
        m_wireMm->setEnabled(gauge == 0);
        if (gauge != 0)
            m_wireMm->setValue(nec::awgDiameterMm(gauge));
    });
    m_segments = new QSpinBox;
    m_segments->setObjectName(QStringLiteral("segments"));
    m_segments->setRange(nec::limits::kFewestSegments, nec::limits::kMostSegments);
    m_segments->setSingleStep(2);
    m_span = new QDoubleSpinBox;
    m_span->setObjectName(QStringLiteral("span"));
    m_span->setRange(nec::limits::kNarrowestSpanPercent, nec::limits::kWidestSpanPercent);
    m_span->setPrefix(QStringLiteral("\u00b1"));
    m_span->setSuffix(QStringLiteral(" %"));
    m_points = new QSpinBox;
    m_points->setObjectName(QStringLiteral("points"));
    m_points->setRange(nec::limits::kFewestPoints, nec::limits::kMostPoints);
    m_points->setSingleStep(2);
    m_z0 = new QComboBox;
    m_z0->setObjectName(QStringLiteral("z0"));
    m_z0->addItem(QStringLiteral("50 \u03a9"), 50.0);
    m_z0->addItem(QStringLiteral("75 \u03a9"), 75.0);
    // The wire's jacket: bare, a common insulation by its permittivity, or another one's.
    m_jacket = new QComboBox;
    m_jacket->setObjectName(QStringLiteral("jacket"));
    m_jacket->setAccessibleName(QStringLiteral("Wire insulation"));
    m_jacket->setToolTip(QStringLiteral("An insulated wire's jacket slows the wave along it, so the loops resonate "
                                        "lower: modelled as for a straight wire, an estimate on a closed loop"));
    m_jacket->addItem(QStringLiteral("bare wire"), 0.0);
    for (const nec::Jacket &jacket : nec::kJackets)
        m_jacket->addItem(QString::fromLatin1(jacket.name), jacket.permittivity);
    m_jacket->addItem(QStringLiteral("other"), -1.0);
    m_insulationMm = new QDoubleSpinBox;
    m_insulationMm->setObjectName(QStringLiteral("insulationMm"));
    m_insulationMm->setAccessibleName(QStringLiteral("Insulation thickness"));
    m_insulationMm->setRange(0.05, nec::limits::kThickestInsulationMm);
    m_insulationMm->setDecimals(2);
    m_insulationMm->setSingleStep(0.1);
    m_insulationMm->setSuffix(QStringLiteral(" mm"));
    m_insulationMm->setValue(0.4);
    m_permittivity = new QDoubleSpinBox;
    m_permittivity->setObjectName(QStringLiteral("permittivity"));
    m_permittivity->setAccessibleName(QStringLiteral("Insulation permittivity"));
    m_permittivity->setRange(nec::limits::kLowestPermittivity, nec::limits::kHighestPermittivity);
    m_permittivity->setDecimals(2);
    m_permittivity->setSingleStep(0.1);
    m_permittivity->setPrefix(QStringLiteral("\u03b5r "));
    m_permittivity->setValue(nec::CheckSettings{}.permittivity);
    connect(m_jacket, &QComboBox::currentIndexChanged, this, [this] {
        const double permittivity = m_jacket->currentData().toDouble();
        m_insulationMm->setEnabled(permittivity != 0.0);
        m_permittivity->setEnabled(permittivity < 0.0);
        if (permittivity > 0.0)
            m_permittivity->setValue(permittivity);
    });
    m_copper = new QCheckBox(QStringLiteral("C&opper losses"));
    m_copper->setObjectName(QStringLiteral("copper"));
    m_overGround = new QCheckBox(QStringLiteral("Over average &ground, boom at"));
    m_overGround->setObjectName(QStringLiteral("overGround"));
    m_height = new QLineEdit;
    m_height->setObjectName(QStringLiteral("height"));
    m_height->setPlaceholderText(QStringLiteral("15 m, 50 ft"));
    m_height->setAccessibleName(QStringLiteral("Boom height over ground"));
    connect(m_overGround, &QCheckBox::toggled, m_height, &QWidget::setEnabled);

    auto *left = new QFormLayout;
    auto *design = new QHBoxLayout;
    design->addWidget(m_frequency, 1);
    auto *elementsLabel = new QLabel(QStringLiteral("Arra&y:"));
    elementsLabel->setBuddy(m_elements);
    design->addWidget(elementsLabel);
    design->addWidget(m_elements);
    auto *frequencyLabel = new QLabel(QStringLiteral("&Frequency (MHz):"));
    frequencyLabel->setBuddy(m_frequency);
    left->addRow(frequencyLabel, design);
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
    auto *settings = new QHBoxLayout;
    settings->addLayout(left);
    settings->addLayout(right);

    m_runButton = new QPushButton(QStringLiteral("&Run"));
    m_runButton->setObjectName(QStringLiteral("run"));
    m_runButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Canc&el"));
    m_cancelButton->setObjectName(QStringLiteral("cancel"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    m_progress->setFormat(QString()); // nothing to count before a run
    // The tuner's band, within the same limits as tarvelin-calc's --band.
    m_tuneBand = new QDoubleSpinBox;
    m_tuneBand->setObjectName(QStringLiteral("tuneBand"));
    m_tuneBand->setRange(nec::limits::kLowestBandPercent, nec::limits::kHighestBandPercent);
    m_tuneBand->setDecimals(1);
    m_tuneBand->setSingleStep(0.1);
    m_tuneBand->setPrefix(QStringLiteral("\u00b1"));
    m_tuneBand->setSuffix(QStringLiteral(" %"));
    m_tuneBand->setValue(nec::TuneSettings{}.bandPercent);
    m_tuneBand->setAccessibleName(QStringLiteral("Tuning band"));
    m_tuneBand->setToolTip(QStringLiteral("The band the tuner holds the SWR and F/B goals over, either side of the "
                                          "design frequency"));
    m_tuneButton = new QPushButton(QStringLiteral("T&une Loops"));
    m_tuneButton->setObjectName(QStringLiteral("tune"));
    connect(m_tuneButton, &QPushButton::clicked, this, guardedSlot(m_messages, this, &AntennaCheckWindow::tune));
    auto *bandLabel = new QLabel(QStringLiteral("&Band:"));
    bandLabel->setBuddy(m_tuneBand);
    auto *runRow = new QHBoxLayout;
    runRow->addWidget(m_runButton);
    runRow->addWidget(m_tuneButton);
    runRow->addWidget(bandLabel);
    runRow->addWidget(m_tuneBand);
    runRow->addWidget(m_cancelButton);
    runRow->addWidget(m_progress, 1);
    connect(m_runButton, &QPushButton::clicked, this, guardedSlot(m_messages, this, &AntennaCheckWindow::run));
    connect(m_cancelButton, &QPushButton::clicked, this, guardedSlot(m_messages, this, &AntennaCheckWindow::cancel));

    // The builder's measurement: an analyser's sweep laid over the model.
    auto *loadSweep = new QPushButton(QStringLiteral("Load &Measured Sweep\u2026"));
    loadSweep->setObjectName(QStringLiteral("loadSweep"));
    loadSweep->setToolTip(QStringLiteral("Lay an analyser's sweep of the built antenna (Touchstone .s1p or .s2p) "
                                         "over the model; a file dropped on the window does the same"));
    connect(loadSweep, &QPushButton::clicked, this, [this] {
        runHandler(m_messages, [this] {
            const QString path = chooseSweepPath(this, QStringLiteral("Load measured sweep"));
            if (!path.isEmpty())
                loadMeasuredSweep(path);
        });
    });
    m_clearSweepButton = new QPushButton(QStringLiteral("Clear Sweep"));
    m_clearSweepButton->setObjectName(QStringLiteral("clearSweep"));
    connect(m_clearSweepButton, &QPushButton::clicked, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::clearMeasuredSweep));
    m_sweepLabel = new QLabel;
    m_sweepLabel->setObjectName(QStringLiteral("sweepLabel"));
    m_sweepLabel->setAccessibleName(QStringLiteral("Measured sweep"));
    m_sweepLabel->setWordWrap(true);
    m_sweepLabel->setTextFormat(Qt::PlainText);
    auto *sweepRow = new QHBoxLayout;
    sweepRow->addWidget(loadSweep);
    sweepRow->addWidget(m_clearSweepButton);
    sweepRow->addWidget(m_sweepLabel, 1);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setFocusPolicy(Qt::NoFocus); // text to read and copy, not a stop for Tab

    // The same table the CSV, the report and tarvelin-calc are written from; its headings before any run.
    m_tableModel = new ResultTableModel(this);
    m_tableModel->setTable(nec::checkTable({}, {}));
    m_table = new ResultView(QStringLiteral("table"), QStringLiteral("Sweep table"), m_tableModel);
    m_table->verticalHeader()->hide();
    // The verdict first: what the model says of the design, as the report and tarvelin-calc give it.
    m_verdictModel = new ResultTableModel(this);
    m_verdictModel->setTable(nec::verdictTable({}, 0.0));
    auto *verdict = new ResultView(QStringLiteral("verdict"), QStringLiteral("Verdict"), m_verdictModel);
    m_verdict = verdict;
    verdict->setShownWhole(true);
    // Room for the verdict's rows before the first run fills them: the window opens at the size it will need.
    verdict->setRowsExpected(kVerdictRows);
    verdict->horizontalHeader()->setStretchLastSection(true);
    verdict->setShowGrid(false);
    // Under the verdict: what a measured sweep says against it, and how to feed and measure the array.
    m_verdictNote = new QLabel;
    m_verdictNote->setObjectName(QStringLiteral("verdictNote"));
    m_verdictNote->setAccessibleName(QStringLiteral("Measured sweep and feed notes"));
    m_verdictNote->setWordWrap(true);
    m_verdictNote->setTextFormat(Qt::PlainText);
    m_verdictNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *verdictPage = new QWidget;
    auto *verdictLayout = new QVBoxLayout(verdictPage);
    verdictLayout->setContentsMargins(0, 0, 0, 0);
    verdictLayout->addWidget(verdict, 1);
    verdictLayout->addWidget(m_verdictNote);
    m_tabs = new WholeTabs;
    m_tabs->setObjectName(QStringLiteral("results"));
    m_tabs->setAccessibleName(QStringLiteral("Results"));
    static_cast<WholeTabs *>(m_tabs)->turnWithKeysIn(*this);
    m_tabs->addTab(verdictPage, QStringLiteral("Verdict"));
    m_tabs->addTab(m_table, QStringLiteral("Table"));
    const std::array<std::tuple<CheckPlot, QString, QString>, 5> plots{
        {{CheckPlot::Swr, QStringLiteral("SWR"), QStringLiteral("SWR plot")},
         {CheckPlot::Impedance, QStringLiteral("Impedance"), QStringLiteral("Feed impedance plot")},
         {CheckPlot::GainAndFrontToBack, QStringLiteral("Gain"), QStringLiteral("Gain and front-to-back plot")},
         {CheckPlot::Azimuth, QStringLiteral("Azimuth"), QStringLiteral("Azimuth pattern")},
         {CheckPlot::Elevation, QStringLiteral("Elevation"), QStringLiteral("Elevation pattern")}}};
    for (const auto &[plot, name, accessibleName] : plots) {
        auto *view = new PlotView(plot, accessibleName, m_summary, m_measured, m_tunedCheck);
        m_plots.push_back(view);
        // Each plot keeps the least size its labels need: where the window is lower, the window scrolls, never
        // a page inside it as well.
        auto *page = new QWidget;
        auto *pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(view);
        m_plotPages.push_back(page);
        m_tabs->addTab(m_plotPages.back(), name);
    }
    m_tabs->setTabVisible(m_tabs->indexOf(m_plotPages.back()), false); // over ground only
    m_tunedPage = buildTunedPage();
    m_tabs->addTab(m_tunedPage, QStringLiteral("Tuned"));
    m_tabs->setTabVisible(m_tabs->indexOf(m_tunedPage), false); // once a tune has run

    // The window's buttons, in a row that wraps where the window is narrow, always in view under the rest.
    auto *buttons = new FlowLayout;
    const auto button = [buttons](const QString &text) {
        auto *made = new QPushButton(text);
        made->setAutoDefault(false);
        buttons->addWidget(made);
        return made;
    };
    QPushButton *deck = button(QStringLiteral("Save &deck\u2026"));
    QPushButton *csv = button(QStringLiteral("Save CS&V\u2026"));
    QPushButton *pdf = button(QStringLiteral("Save &PDF\u2026"));
    QPushButton *print = button(QStringLiteral("Pr&int\u2026"));
    QPushButton *touchstone = button(QStringLiteral("Save Tou&chstone\u2026"));
    touchstone->setObjectName(QStringLiteral("saveTouchstone"));
    touchstone->setToolTip(QStringLiteral("The model's sweep as a Touchstone file (.s1p), for an analyser's "
                                          "reference trace"));
    QPushButton *sheet = button(QStringLiteral("S&hop Sheet for This Check"));
    sheet->setObjectName(QStringLiteral("shopSheetForCheck"));
    sheet->setToolTip(QStringLiteral("The shop sheet with each loop's trim for the resonance the model predicts"));
    connect(sheet, &QPushButton::clicked, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::openShopSheetForCheck));
    m_printButton = print;
    QPushButton *close = button(QStringLiteral("Close")); // Esc and Ctrl+W close it too
    close->setObjectName(QStringLiteral("close"));
    close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_resultButtons = {csv, pdf, print, touchstone, sheet};
    connect(touchstone, &QPushButton::clicked, this, [this] {
        runHandler(m_messages, [this] {
            choose(QStringLiteral("Save Touchstone"), QStringLiteral("Touchstone files (*.s1p)"), QStringLiteral("s1p"),
                   &AntennaCheckWindow::saveTouchstone);
        });
    });
    connect(deck, &QPushButton::clicked, this, [this] {
        runHandler(m_messages, [this] {
            choose(QStringLiteral("Save deck"), QStringLiteral("NEC-2 decks (*.nec)"), QStringLiteral("nec"),
                   &AntennaCheckWindow::saveDeck);
        });
    });
    connect(csv, &QPushButton::clicked, this, [this] {
        runHandler(m_messages, [this] {
            choose(QStringLiteral("Save CSV"), QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"),
                   &AntennaCheckWindow::saveCsv);
        });
    });
    connect(pdf, &QPushButton::clicked, this, [this] {
        runHandler(m_messages, [this] {
            choose(QStringLiteral("Save PDF"), QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"),
                   &AntennaCheckWindow::savePdf);
        });
    });
    connect(print, &QPushButton::clicked, this, guardedSlot(m_messages, this, &AntennaCheckWindow::print));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
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
    m_deckButton = deck;
    deck->setObjectName(QStringLiteral("saveDeck"));
    connect(m_frequency, &QLineEdit::textChanged, this, guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    connect(m_height, &QLineEdit::textChanged, this, guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    connect(m_overGround, &QCheckBox::toggled, this, guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    connect(m_wireMm, &QDoubleSpinBox::valueChanged, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    // Every setting, also those that cannot be refused, since Tune Loops needs to know they still are the check's.
    for (QSpinBox *box : {m_elements, m_segments, m_points})
        connect(box, &QSpinBox::valueChanged, this, guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    connect(m_span, &QDoubleSpinBox::valueChanged, this, guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    for (QComboBox *box : {m_z0, m_awg})
        connect(box, &QComboBox::currentIndexChanged, this,
                guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    connect(m_copper, &QCheckBox::toggled, this, guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    connect(m_jacket, &QComboBox::currentIndexChanged, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::validate));
    for (QDoubleSpinBox *box : {m_insulationMm, m_permittivity})
        connect(box, &QDoubleSpinBox::valueChanged, this, guardedSlot(m_messages, this, &AntennaCheckWindow::validate));

    // The status line keeps the room of three lines, so the tabs under it stay where they are as it changes.
    m_status->setMinimumHeight(3 * m_status->fontMetrics().lineSpacing());
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Everything but the buttons scrolls in a window lower or narrower than it, as on a small screen at a large
    // scale; the buttons stay in view under it.
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->addLayout(settings);
    layout->addWidget(m_reading);
    layout->addWidget(m_problem);
    layout->addLayout(runRow);
    layout->addLayout(sweepRow);
    layout->addWidget(m_status);
    layout->addWidget(m_tabs, 1);
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(new WindowScrollArea(content), 1);
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    buttons->setContentsMargins(margin, 0, margin, margin);
    window->addLayout(buttons);
    // Tab reads the settings a column at a time, then the run row from left to right.
    const std::array<QWidget *, 20> reading{
        m_frequency,    m_elements,     m_wireMm,   m_awg,          m_copper,  m_segments,        m_jacket,
        m_insulationMm, m_permittivity, m_span,     m_points,       m_z0,      m_overGround,      m_height,
        m_runButton,    m_tuneButton,   m_tuneBand, m_cancelButton, loadSweep, m_clearSweepButton};
    for (std::size_t i = 1; i < reading.size(); ++i)
        setTabOrder(reading[i - 1], reading[i]);
    setRunning(false);
}

void AntennaCheckWindow::restoreSettings()
{
    const CheckWindowSettings stored = SettingsStore().checkWindow();
    m_wireMm->setValue(stored.wireMm);
    m_awg->setCurrentIndex(std::max(0, m_awg->findData(stored.awg)));
    m_segments->setValue(stored.segments);
    m_elements->setValue(stored.elements);
    m_span->setValue(stored.spanPercent);
    m_points->setValue(stored.points);
    m_tuneBand->setValue(stored.tuneBandPercent);
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
    m_insulationMm->setEnabled(jacket != 0);
    m_permittivity->setEnabled(jacket == m_jacket->count() - 1);
    showMeasured();
}

void AntennaCheckWindow::saveSettings() const
{
    SettingsStore().setCheckWindow({m_wireMm->value(), m_awg->currentData().toInt(), m_segments->value(),
                                    m_span->value(), m_points->value(), m_z0->currentData().toDouble(),
                                    m_copper->isChecked(), m_overGround->isChecked(), m_height->text(),
                                    m_tuneBand->value(), m_jacket->currentIndex() != 0 ? m_insulationMm->value() : 0.0,
                                    m_permittivity->value(), m_elements->value()});
}

void AntennaCheckWindow::setFrequencyText(const QString &text)
{
    m_frequency->setText(text);
}

QString AntennaCheckWindow::status() const
{
    return m_status->text();
}

bool AntennaCheckWindow::running() const
{
    return m_study && m_study->running();
}

bool AntennaCheckWindow::tuning() const
{
    return running() && m_study->study().tuning();
}

EngineRun *AntennaCheckWindow::engineRun() const
{
    return m_study ? m_study->engine() : nullptr;
}

QWidget *AntennaCheckWindow::buildTunedPage()
{
    const auto tableOf = [](ResultTableModel *model, const QString &name, const QString &accessibleName) {
        return new ResultView(name, accessibleName, model);
    };
    m_tunedModel = new ResultTableModel(this);
    m_tuneVerdictModel = new ResultTableModel(this);
    m_tuneNote = new QLabel;
    m_tuneNote->setObjectName(QStringLiteral("tuneNote"));
    m_tuneNote->setWordWrap(true);
    m_tuneNote->setTextFormat(Qt::PlainText);
    auto *sheet = new QPushButton(QStringLiteral("Tuned Shop Shee&t"));
    sheet->setObjectName(QStringLiteral("tunedShopSheet"));
    connect(sheet, &QPushButton::clicked, this, guardedSlot(m_messages, this, &AntennaCheckWindow::openTunedShopSheet));
    auto *deck = new QPushButton(QStringLiteral("Save Tuned Dec&k\u2026"));
    deck->setObjectName(QStringLiteral("saveTunedDeck"));
    connect(deck, &QPushButton::clicked, this, [this] {
        runHandler(m_messages, [this] {
            choose(QStringLiteral("Save tuned deck"), QStringLiteral("NEC-2 decks (*.nec)"), QStringLiteral("nec"),
                   &AntennaCheckWindow::saveTunedDeck);
        });
    });
    auto *design = new QPushButton(QStringLiteral("Save Tuned Design\u2026"));
    design->setObjectName(QStringLiteral("saveTunedDesign"));
    connect(design, &QPushButton::clicked, this, [this] {
        runHandler(m_messages, [this] {
            choose(QStringLiteral("Save tuned design"), QStringLiteral("Tuned designs (*.json)"),
                   QStringLiteral("json"), &AntennaCheckWindow::saveTunedDesign);
        });
    });
    m_tunedButtons = {sheet, deck, design};
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(sheet);
    buttons->addWidget(deck);
    buttons->addWidget(design);
    // The loops and the figures each whole: seven loops and a few figures, never cut to a couple of rows.
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_tuneNote);
    for (ResultView *table :
         {tableOf(m_tunedModel, QStringLiteral("tunedLoops"), QStringLiteral("Tuned loops")),
          tableOf(m_tuneVerdictModel, QStringLiteral("tuneVerdict"), QStringLiteral("Before and after tuning"))}) {
        table->setShownWhole(true);
        layout->addWidget(table, 1);
    }
    layout->addLayout(buttons);
    return page;
}

void AntennaCheckWindow::tune()
{
    if (running() || !m_summary || !m_checkedGeometry)
        return;
    // The tune shown stays until this one has ended and is found to take its place.
    m_tuningSettings = nec::TuneSettings{};
    m_tuningSettings.bandPercent = m_tuneBand->value();
    saveSettings();
    startStudy(
        std::make_unique<nec::Study>(*m_checkedGeometry, m_runSettings, engineCount(), m_tuningSettings, m_summary));
}

void AntennaCheckWindow::showTuned(const nec::Study &study)
{
    const std::optional<nec::TuneResult> &ended = study.tuned();
    if (!ended) {
        m_status->setText(study.failure()
                              ? QStringLiteral("The tune failed: %1").arg(QString::fromStdString(*study.failure()))
                              : QStringLiteral("%1, before a better design was found: no tuned design.")
                                    .arg(QString::fromStdString(study.ranText())));
        return;
    }
    if (m_tuned && !nec::replacesShownTune(*ended, m_tuningSettings, *m_tuned, m_tuneSettings)) {
        m_status->setText(QStringLiteral("%1, before it found a design better than the finished tune's: that tune "
                                         "stays on the Tuned tab.")
                              .arg(QString::fromStdString(study.ranText())));
        return;
    }
    m_tuned = ended;
    m_tuneSettings = m_tuningSettings;
    // Its curves beside the check's, where the tune ran to its end and swept the tuned loops.
    m_tunedCheck = study.tunedCheck();
    for (PlotView *plot : m_plots)
        plot->refresh(m_runSettings.z0Ohms);
    const auto design =
        designLengths(m_runFrequencyText.toStdString(), static_cast<int>(m_checkedGeometry->elementCount()));
    if (const auto *lengths = std::get_if<DesignLengths>(&design))
        m_tunedModel->setTable(nec::tunedTable(*lengths, *m_tuned));
    m_tuneVerdictModel->setTable(nec::tuneVerdictTable(*m_tuned, m_tuneSettings));
    m_tuneNote->setText(QStringLiteral("Modelled for this wire and ground; the specified design on the main "
                                       "window stays as it is. %1")
                            .arg(QString::fromStdString(nec::tuneOutcomeText(*m_tuned, m_tuneSettings))));
    m_status->setText(study.failure() ? QStringLiteral("The tune stopped early: %1 The best design before it is "
                                                       "on the Tuned tab.")
                                            .arg(QString::fromStdString(*study.failure()))
                                      : QStringLiteral("Tuned: see the Tuned tab."));
    m_tabs->setTabVisible(m_tabs->indexOf(m_tunedPage), true);
    m_tabs->setCurrentWidget(m_tunedPage);
}

bool AntennaCheckWindow::saveTunedDeck(const QString &path)
{
    if (!m_tuned || !m_checkedGeometry)
        return false;
    const nec::ArrayGeometry geometry = nec::tunedGeometry(*m_checkedGeometry, *m_tuned);
    const std::vector<double> sweep = nec::sweepFrequencies(geometry.designMHz, m_runSettings);
    return writeFile(path, QByteArray::fromStdString(nec::writeDeck(geometry, m_runSettings, {sweep, true})),
                     QStringLiteral("deck"));
}

// The design as tarvelin-calc --tune --save writes it, for the Shop Sheet's Open Tuned Design... later.
bool AntennaCheckWindow::saveTunedDesign(const QString &path)
{
    if (!m_tuned)
        return false;
    const auto lengths =
        designLengths(m_runFrequencyText.toStdString(), static_cast<int>(m_checkedGeometry->elementCount()));
    const auto *shown = std::get_if<DesignLengths>(&lengths);
    if (!shown)
        return false;
    const nec::TunedDesign design{m_runFrequencyText.toStdString(), m_runSettings, m_tuneSettings, *m_tuned};
    return writeFile(path, QByteArray::fromStdString(nec::tunedDesignText(design, *shown)),
                     QStringLiteral("tuned design"));
}

void AntennaCheckWindow::openTunedShopSheet()
{
    if (!m_tuned || !m_checkedGeometry)
        return;
    const auto lengths =
        designLengths(m_runFrequencyText.toStdString(), static_cast<int>(m_checkedGeometry->elementCount()));
    if (const auto *shown = std::get_if<DesignLengths>(&lengths))
        emit tunedShopSheetRequested(m_runFrequencyText, nec::tunedCutOf(*shown, *m_tuned),
                                     nec::sheetTuningOf(*m_tuned, m_tuneSettings, m_runSettings));
}

// The controls' settings through the same reader as tarvelin-calc's options, so both refuse alike.
std::optional<nec::CheckSettings> AntennaCheckWindow::readSettings(QString &problem) const
{
    const auto text = [](double value) { return QString::number(value, 'g', 17).toStdString(); };
    nec::CheckSettingTexts texts;
    const int gauge = m_awg->currentData().toInt();
    if (gauge != 0)
        texts.awg = std::to_string(gauge);
    else
        texts.wireMm = text(m_wireMm->value());
    texts.segments = std::to_string(m_segments->value());
    texts.span = text(m_span->value());
    texts.points = std::to_string(m_points->value());
    texts.z0 = text(m_z0->currentData().toDouble());
    texts.lossless = !m_copper->isChecked();
    if (m_jacket->currentIndex() != 0) {
        texts.insulation = text(m_insulationMm->value());
        texts.permittivity = text(m_permittivity->value());
    }
    if (m_overGround->isChecked())
        texts.groundHeight = m_height->text().toStdString();
    auto read = nec::readCheckSettings(texts);
    if (const auto *refusal = std::get_if<nec::CheckSettingRefusal>(&read)) {
        problem = QString::fromStdString(refusal->message);
        return std::nullopt;
    }
    return std::get<nec::CheckSettings>(read);
}

void AntennaCheckWindow::run()
{
    if (running())
        return;
    QString problem;
    const std::optional<nec::CheckSettings> settings = readSettings(problem);
    if (!settings)
        return showFailure(problem);
    auto design = nec::designFor(m_frequency->text().toStdString(), m_elements->value(), *settings);
    if (const auto *refusal = std::get_if<nec::DesignRefusal>(&design))
        return showFailure(QString::fromStdString(refusal->message));
    saveSettings();
    clearResults(); // never a stale figure beside a new run

    nec::CheckDesign &checked = std::get<nec::CheckDesign>(design);
    m_runSettings = *settings;
    m_runFrequency = checked.geometry.frequencyLabel;
    m_runFrequencyText = m_frequency->text();
    m_checkedGeometry = checked.geometry;
    m_warnings.clear();
    for (const std::string &warning : checked.warnings)
        m_warnings += QLatin1Char(' ') + QString::fromStdString(warning);
    startStudy(std::make_unique<nec::Study>(std::move(checked.geometry), *settings, engineCount()));
}

int AntennaCheckWindow::engineCount()
{
    return std::max(1, QThread::idealThreadCount());
}

// The study's rounds run on the engines while the window stays usable; its end shows what it gave.
void AntennaCheckWindow::startStudy(std::unique_ptr<nec::Study> study)
{
    if (m_study)
        m_study->deleteLater(); // it may be the run whose end brought us here
    m_study = new StudyRun(std::move(study), this);
    connect(m_study, &StudyRun::roundStarted, m_status, &QLabel::setText);
    connect(m_study, &StudyRun::progress, this,
            [this](int value, int maximum, const QString &text, const QString &detail) {
                // A tune's bar only says it is busy; its status line says how far it has come.
                m_progress->setRange(0, maximum);
                m_progress->setValue(value);
                QString format = text;
                m_progress->setFormat(format.replace(QLatin1Char('%'), QStringLiteral("%%")));
                m_progress->setAccessibleDescription(text);
                if (!detail.isEmpty())
                    m_status->setText(detail);
            });
    connect(m_study, &StudyRun::ended, this, guardedSlot(m_messages, this, &AntennaCheckWindow::studyEnded));
    setRunning(true);
    m_study->start();
}

void AntennaCheckWindow::openShopSheetForCheck()
{
    if (!m_summary)
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
    emit shopSheetRequested(m_runFrequencyText, static_cast<int>(m_checkedGeometry->elementCount()),
                            std::get<double>(predicted), QString::fromStdString(nec::jacketNote(m_runSettings)));
}

void AntennaCheckWindow::cancel()
{
    if (running())
        m_study->cancel(); // a tune ends with its best design so far
}

// A check is soon run again; a tune may have run for minutes, so closing during one asks first.
void AntennaCheckWindow::closeEvent(QCloseEvent *event)
{
    if (tuning()) {
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
    const std::array<QWidget *, 11> settings{m_frequency, m_elements, m_wireMm, m_awg,          m_segments,    m_span,
                                             m_points,    m_z0,       m_height, m_insulationMm, m_permittivity};
    if (enter && std::find(settings.begin(), settings.end(), focusWidget()) != settings.end()) {
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
        m_table->setRowsExpected(m_points->value());
        openAtRememberedSize(*this, QStringLiteral("antennaCheck"));
    }
    QWidget::showEvent(event);
}

void AntennaCheckWindow::hideEvent(QHideEvent *event)
{
    rememberSize(*this, QStringLiteral("antennaCheck"));
    QWidget::hideEvent(event);
}

// The settings, the frequency and the structure, checked as they are typed: what is refused is named and
// its field marked, and neither a run nor a deck can start from it.
void AntennaCheckWindow::validate()
{
    QString problem;
    QLineEdit *field = nullptr;
    const std::optional<nec::CheckSettings> settings = readSettings(problem);
    if (!settings) {
        field = m_height;
    } else if (!m_frequency->text().trimmed().isEmpty()) {
        const auto design = nec::designFor(m_frequency->text().toStdString(), m_elements->value(), *settings);
        if (const auto *refusal = std::get_if<nec::DesignRefusal>(&design)) {
            problem = QString::fromStdString(refusal->message);
            if (refusal->frequency)
                field = m_frequency;
            else if (refusal->setting == nec::StructureCheck::Setting::GroundHeight)
                field = m_height;
        }
    }
    // Tune Loops tunes the check shown, so only while the settings and the frequency are still the ones it ran
    // with; otherwise Run comes first.
    m_checkShown = false;
    if (m_summary && m_checkedGeometry && settings && *settings == m_runSettings) {
        const auto design = nec::designFor(m_frequency->text().toStdString(), m_elements->value(), *settings);
        const auto *checked = std::get_if<nec::CheckDesign>(&design);
        m_checkShown = checked && checked->geometry.designMHz == m_checkedGeometry->designMHz &&
                       checked->geometry.elementCount() == m_checkedGeometry->elementCount();
    }
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    const std::optional<std::string> reading =
        field == m_frequency ? std::nullopt : frequencyReadingNote(m_frequency->text().toStdString());
    m_reading->setText(reading ? QString::fromStdString(*reading) : QString());
    m_reading->setVisible(reading.has_value());
    markField(*m_frequency, field == m_frequency ? problem : QString());
    markField(*m_height, field == m_height ? problem : QString());
    m_ready = problem.isEmpty() && !m_frequency->text().trimmed().isEmpty();
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
    m_progress->setFormat(stale ? QStringLiteral("Out of date") : QStringLiteral("Done"));
    m_status->setText(stale ? QStringLiteral("The results below are of the check run before the settings or the "
                                             "frequency changed: Run to check the design as it stands now.")
                            : m_resultStatus);
}

QString AntennaCheckWindow::problem() const
{
    return m_problem->isHidden() ? QString() : m_problem->text();
}

void AntennaCheckWindow::setRunning(bool running)
{
    // A button that started the run is disabled while it runs: the focus waits on Cancel, not on whatever
    // comes next in the Tab order, and goes back to that button when the run has ended.
    QWidget *focused = focusWidget();
    if (running) {
        m_cancelButton->setEnabled(true);
        if (qobject_cast<QPushButton *>(focused) && focused != m_cancelButton) {
            m_focusAfterRun = focused;
            m_cancelButton->setFocus();
        }
    }
    m_runButton->setEnabled(!running && m_ready);
    m_deckButton->setEnabled(!running && m_ready);
    for (QPushButton *button : m_resultButtons)
        button->setEnabled(!running && m_summary.has_value() && (button != m_printButton || !m_printing));
    m_tuneButton->setEnabled(!running && m_summary.has_value() && m_checkShown);
    // Why it cannot start, where it cannot, on the button itself.
    m_tuneButton->setToolTip(
        running         ? QStringLiteral("A run is under way: Tune Loops can start once it has ended.")
        : !m_summary    ? QStringLiteral("Run the check first: Tune Loops tunes the design the check shows.")
        : !m_checkShown ? QStringLiteral("The settings or the frequency changed since the check: Run it again, then "
                                         "tune.")
                        : QStringLiteral("Tune each loop's length with the model for this wire and ground: SWR 1.5 or "
                                         "less and F/B 20 dB or more across the band beside it, then the most gain. "
                                         "The specified design stays as it is."));
    for (QPushButton *button : m_tunedButtons)
        button->setEnabled(!running && m_tuned.has_value());
    if (!running) {
        if (m_focusAfterRun && m_focusAfterRun->isEnabled() && focused == m_cancelButton)
            m_focusAfterRun->setFocus();
        m_focusAfterRun = nullptr;
        m_cancelButton->setEnabled(false);
    }
}

void AntennaCheckWindow::clearResults()
{
    m_summary.reset();
    m_staleShown = false;
    m_tableModel->setTable(nec::checkTable({}, {}));
    showVerdict();
    // A tune belongs to the check it started from.
    m_tuned.reset();
    m_tunedCheck.reset();
    m_tabs->setTabVisible(m_tabs->indexOf(m_tunedPage), false);
    m_progress->setRange(0, 1);
    m_progress->setFormat(QString()); // nothing to count before a run
    m_progress->setValue(0);
    for (PlotView *plot : m_plots)
        plot->refresh(0.0);
    setRunning(running());
}

void AntennaCheckWindow::showFailure(const QString &message)
{
    clearResults();
    setRunning(false);
    m_status->setText(message);
    emit checkEnded();
}

void AntennaCheckWindow::studyEnded()
{
    const nec::Study &study = m_study->study();
    const QString ran = QString::fromStdString(study.ranText());
    if (!study.tuning() && !study.check())
        return showFailure(study.failure() ? QString::fromStdString(*study.failure())
                                           : ran + QStringLiteral(": no figures."));
    if (study.tuning())
        showTuned(study);
    else
        showCheck(*study.check());
    // The bar says what ran, as the status line does.
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    m_progress->setFormat(QStringLiteral("Done"));
    if (!study.tuning())
        m_status->setText(m_status->text() + QStringLiteral(" Modelled %1.").arg(ran));
    m_resultStatus = m_status->text();
    m_staleShown = false;
    setRunning(false);
    validate(); // the settings may have changed while it ran
    emit checkEnded();
}

void AntennaCheckWindow::showCheck(const nec::CheckSummary &summary)
{
    m_summary = summary;
    m_checkShown = true;
    m_tableModel->setTable(nec::checkTable(*m_summary, m_runFrequency));
    showMeasured(); // compared with this check, and every plot redrawn
    m_tabs->setTabVisible(m_tabs->indexOf(m_plotPages.back()), !m_summary->elevationPattern.empty());
    QStringList warnings;
    for (const std::string &warning : nec::verdictWarnings(*m_summary))
        warnings << QString::fromStdString(warning);
    m_status->setText((warnings.isEmpty() ? QStringLiteral("The model resonates within %1 % of the design frequency.")
                                                .arg(nec::kDetuneWarningPercent)
                                          : warnings.join(QLatin1Char(' '))) +
                      m_warnings);
}

bool AntennaCheckWindow::writeFile(const QString &path, const QByteArray &contents, const QString &what,
                                   const QString &whyEmpty)
{
    const bool saved =
        saveWholeFile(m_messages, path, contents, what,
                      whyEmpty.isEmpty() ? QStringLiteral("there is no check to save; run one first") : whyEmpty);
    if (saved)
        m_status->setText(QStringLiteral("Saved the %1 as %2.").arg(what, QDir::toNativeSeparators(path)));
    return saved;
}

bool AntennaCheckWindow::saveDeck(const QString &path)
{
    QString problem;
    const std::optional<nec::CheckSettings> settings = readSettings(problem);
    if (!settings)
        return writeFile(path, {}, QStringLiteral("deck"), problem);
    const auto design = nec::designFor(m_frequency->text().toStdString(), m_elements->value(), *settings);
    if (const auto *refusal = std::get_if<nec::DesignRefusal>(&design))
        return writeFile(path, {}, QStringLiteral("deck"), QString::fromStdString(refusal->message));
    const nec::ArrayGeometry &array = std::get<nec::CheckDesign>(design).geometry;
    const std::vector<double> sweep = nec::sweepFrequencies(array.designMHz, *settings);
    return writeFile(path, QByteArray::fromStdString(nec::writeDeck(array, *settings, {sweep, true})),
                     QStringLiteral("deck"));
}

bool AntennaCheckWindow::saveCsv(const QString &path)
{
    if (!m_summary)
        return writeFile(path, {}, QStringLiteral("CSV file"));
    std::string csv;
    appendCsvTable(csv, nec::checkTable(*m_summary, m_runFrequency), true);
    return writeFile(path, QByteArray::fromStdString(csv), QStringLiteral("CSV file"));
}

bool AntennaCheckWindow::savePdf(const QString &path)
{
    if (!m_summary)
        return writeFile(path, {}, QStringLiteral("PDF"));
    return writeFile(path,
                     checkReportPdf(m_runFrequency, m_runSettings, *m_summary, localPaperLayout(),
                                    QDateTime::currentDateTime(), m_measured ? &*m_measured : nullptr),
                     QStringLiteral("PDF"));
}

bool AntennaCheckWindow::saveTouchstone(const QString &path)
{
    if (!m_summary)
        return writeFile(path, {}, QStringLiteral("Touchstone file"));
    return writeFile(path, QByteArray::fromStdString(nec::checkTouchstone(*m_summary, m_runSettings)),
                     QStringLiteral("Touchstone file"));
}

bool AntennaCheckWindow::loadMeasuredSweep(const QString &path)
{
    std::optional<touchstone::Sweep> sweep = readSweepFile(m_messages, path);
    if (!sweep)
        return false;
    m_sweep = std::move(sweep);
    m_sweepName = QFileInfo(path).fileName();
    showMeasured();
    if (m_summary)
        m_tabs->setCurrentIndex(0); // the verdict, with the measured column beside the model's
    return true;
}

void AntennaCheckWindow::clearMeasuredSweep()
{
    m_sweep.reset();
    m_sweepName.clear();
    showMeasured();
}

// The sweep's figures on the line of the check shown (or of the settings, before any), compared with it.
void AntennaCheckWindow::showMeasured()
{
    m_measured.reset();
    if (m_sweep) {
        const double z0 = m_summary ? m_runSettings.z0Ohms : m_z0->currentData().toDouble();
        m_measured = nec::measuredSweepOf(*m_sweep, m_sweepName.toStdString(), z0);
        if (m_summary)
            nec::compareWithModel(*m_measured, *m_summary, m_runFrequencyText.toStdString());
    }
    m_clearSweepButton->setEnabled(m_sweep.has_value());
    if (!m_measured)
        m_sweepLabel->setText(QStringLiteral("No measured sweep: load an analyser's sweep of the built antenna, or "
                                             "drop its file here."));
    else
        m_sweepLabel->setText(
            QStringLiteral("Measured: %1, %2 points from %3 to %4 MHz, lowest SWR %5 at %6 MHz.%7")
                .arg(m_sweepName)
                .arg(m_measured->points.size())
                .arg(QString::fromStdString(frequencyLabel(m_measured->points.front().mhz)),
                     QString::fromStdString(frequencyLabel(m_measured->points.back().mhz)),
                     QString::fromStdString(nec::swrText(m_measured->minSwr, 2)),
                     QString::fromStdString(frequencyLabel(m_measured->minSwrMHz)),
                     m_summary ? QString() : QStringLiteral(" Run the check to lay it over the model.")));
    showVerdict();
    for (PlotView *plot : m_plots)
        plot->refresh(m_runSettings.z0Ohms);
}

void AntennaCheckWindow::showVerdict()
{
    if (!m_summary) {
        m_verdictModel->setTable(nec::verdictTable({}, 0.0));
        m_verdict->horizontalHeader()->hide();
        m_verdictNote->setText(QStringLiteral("Run (or Enter in a setting) models the design: the verdict, the "
                                              "table and the plots appear here."));
        return;
    }
    const nec::MeasuredSweep *measured = m_measured ? &*m_measured : nullptr;
    m_verdictModel->setTable(nec::verdictTable(*m_summary, m_runSettings.z0Ohms, measured));
    m_verdict->horizontalHeader()->setVisible(measured != nullptr); // Model beside Measured
    QStringList note;
    if (measured)
        for (const std::string &sentence : nec::measuredSentences(*measured))
            note << QString::fromStdString(sentence);
    if (const std::string jacket = nec::jacketNote(m_runSettings); !jacket.empty())
        note << QString::fromStdString(jacket);
    note << QString::fromStdString(nec::feedAdvice(&*m_summary, m_runSettings.z0Ohms));
    m_verdictNote->setText(note.join(QStringLiteral("\n\n")));
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

void AntennaCheckWindow::choose(const QString &title, const QString &filter, const QString &suffix,
                                bool (AntennaCheckWindow::*save)(const QString &))
{
    // A file is named after what it holds: the check's results for the frequency they were run at, or the
    // deck for the frequency as read now.
    QString label = QString::fromStdString(m_runFrequency);
    if (save == &AntennaCheckWindow::saveDeck || !m_summary) {
        auto geometry = nec::geometryFor(m_frequency->text().toStdString(), m_elements->value());
        const auto *array = std::get_if<nec::ArrayGeometry>(&geometry);
        label = array ? QString::fromStdString(designTitle(array->frequencyLabel, array->elementCount())) : QString();
    } else if (m_checkedGeometry) {
        label = QString::fromStdString(designTitle(m_runFrequency, m_checkedGeometry->elementCount()));
    }
    const QString path = chooseSavePath(this, title,
                                        label.isEmpty() ? QStringLiteral("Antenna check.%1").arg(suffix)
                                                        : QStringLiteral("Antenna check %1.%2").arg(label, suffix),
                                        filter, suffix);
    if (!path.isEmpty())
        (void)(this->*save)(path);
}

void AntennaCheckWindow::print()
{
    if (!m_summary)
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print Antenna Check"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QByteArray pdf = checkReportPdf(m_runFrequency, m_runSettings, *m_summary, printer.pageLayout(),
                                          QDateTime::currentDateTime(), m_measured ? &*m_measured : nullptr);
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        (void)writeFile(printer.outputFileName(), pdf, QStringLiteral("PDF"));
        return;
    }
    // Print again only once the spooler has answered this job.
    m_printButton->setEnabled(false);
    m_printing = true;
    m_printer.printDocument(printer.printerName().toStdString(), "Tarvelin antenna check", pdf, printer.copyCount(),
                            [window = QPointer(this)](const PrintOutcome &outcome) {
                                if (!window)
                                    return;
                                window->m_printing = false;
                                window->setRunning(window->running());
                                reportPrintOutcome(window->m_messages, outcome);
                            });
}

} // namespace tarvelin
