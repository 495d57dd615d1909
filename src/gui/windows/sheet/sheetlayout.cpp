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
#include "gui/runtime/messagebox.h"
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
#include "gui/windows/sheet/sheetsettingspanel.h"
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
    m_tabs->addTab(buildNestedPage(), QStringLiteral("&Nested quad"));

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_tabs);
    m_drawingPane = new WholeScrollArea(m_drawing);
    splitter->addWidget(m_drawingPane);
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
    m_settings = new SheetSettingsPanel;
    connect(m_settings, &SheetSettingsPanel::changed, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::recalculate));
    connect(m_settings, &SheetSettingsPanel::designCommitted, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::frequencyCommitted));
    connect(m_settings, &SheetSettingsPanel::measuredEdited, this,
            guardedSlot(m_messages, this, &ShopSheetWindow::measuredEdited));
    connect(m_settings, &SheetSettingsPanel::fromSweepRequested, this, [this] {
        runHandler(m_messages, [this] {
            const QString path = chooseSweepPath(this, QStringLiteral("Measured resonance from a sweep"));
            if (!path.isEmpty())
                measuredFromSweep(path);
        });
    });
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
    layout->addWidget(m_settings);
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
    m_summary->setText(QStringLiteral("Type the centre frequency in MHz to see the sheet."));
}

} // namespace tarvelin
