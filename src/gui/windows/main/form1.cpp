// SPDX-License-Identifier: MIT
#include "gui/windows/main/form1.h"

#include "core/calc/calculationpass.h"
#include "core/calc/dec2frac.h"
#include "core/calc/gridtable.h"
#include "gui/print/printouts.h"
#include "gui/runtime/pdffileprinter.h"
#include "gui/runtime/qtmessagebox.h"
#include "core/runtime/runtimeerror.h"
#include "gui/runtime/unhandlederror.h"
#include "gui/windows/main/captionlabel.h"
#include "gui/windows/styling/colors.h"
#include "gui/windows/main/facebutton.h"
#include "gui/windows/main/fixedwindow.h"
#include "gui/windows/styling/fonts.h"
#include "gui/windows/main/form1layout.h"
#include "gui/windows/main/form2.h"
#include "gui/windows/sheet/shopsheetwindow.h"
#include "gui/windows/check/antennacheckwindow.h"
#include "gui/windows/styling/twips.h"
#include "gui/windows/userfiles.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QShortcut>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QScopedValueRollback>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace tarvelin {

namespace {

using namespace form1layout;

constexpr std::array<std::string_view, calc::kElementRowCount> kRowArrayNames{"Label1", "Label2", "Label3", "Label4",
                                                                              "Label5", "Label6", "Label7"};

constexpr std::array<std::string_view, calc::kGridColumnCount> kColumnRoles{
    "element total length, inches",  "element total length, centimetres",  "wire, one side, inches",
    "wire, one side, centimetres",   "spreader half length, inches",       "spreader half length, centimetres",
    "spreader total length, inches", "spreader total length, centimetres", "element spacing, inches",
    "element spacing, centimetres"};

QString nameOf(std::string_view name, int index)
{
    const QString base = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    return index < 0 ? base : QStringLiteral("%1(%2)").arg(base).arg(index);
}

Qt::Alignment toQt(Align align)
{
    switch (align) {
    case Align::Centre:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft;
}

// A step of the clearing pass: one that fails, such as reaching a Reflector cell in the spacing columns, is
// skipped without a word and the pass goes on with the next.
template <typename Step> void guarded(Step &&step)
{
    try {
        step();
    } catch (const RuntimeError &) {
    }
}

} // namespace

Form1::Form1(MessageBoxService &messages, PrinterService &printer, QWidget *parent)
    : QWidget(parent, fixedWindowFlags(WindowKind::Main)), m_messages(messages), m_printer(printer)
{
    setUpFixedWindow(*this, QStringLiteral("Form1"), QString::fromLatin1(kApplicationTitle), bgr::kDarkGreen,
                     toPixels(kClientWidthTwips, kClientHeightTwips));

    buildControls();
    buildMenu();
    centreOnScreen();
    // The load step, before the window is first shown: whatever the layout put in the cells is never seen.
    clearingPass();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    const auto makeLabel = [this](const LabelRow &row) {
        auto *label = new CaptionLabel(this);
        label->setObjectName(nameOf(row.name, row.index));
        label->setGeometry(toPixels(row.rect));
        label->setCaption(QString::fromUtf8(row.caption.data(), static_cast<qsizetype>(row.caption.size())));
        label->setBackground(row.opaque ? CaptionLabel::Background::Opaque : CaptionLabel::Background::Transparent);
        label->setBackColor(row.back ? fromBgr(*row.back) : palette().color(QPalette::Button));
        label->setForeColor(row.fore ? fromBgr(*row.fore) : palette().color(QPalette::ButtonText));
        label->setAlignment(toQt(row.align));
        label->setFont(fontFor(row.font));
        label->setAccessibleDescription(QString::fromUtf8(row.role.data(), static_cast<qsizetype>(row.role.size())));
        label->setVisible(row.visible);
        m_labels[{row.name, row.index}] = label;
    };

    // Stacking follows creation: the backdrop first, the cells on it, the other labels in the table's order,
    // and the windowed controls above every label.
    const std::span<const LabelRow> rows = form1layout::labels();
    for (std::size_t i = 0; i < kCellsAfterLabelRows; ++i)
        makeLabel(rows[i]);

    for (const calc::ElementRow row : calc::kElementRows) {
        const int r = calc::rowIndex(row);
        for (int c = 0; c < calc::columnCount(row); ++c) {
            auto *cellLabel = new CaptionLabel(this);
            const std::string_view arrayName = kRowArrayNames[static_cast<std::size_t>(r)];
            cellLabel->setObjectName(nameOf(arrayName, c));
            cellLabel->setGeometry(toPixels(cellRect(r, c)));
            // The layout names each cell after its array; start-up clears them before anyone sees it.
            cellLabel->setCaption(QString::fromLatin1(arrayName.data(), static_cast<qsizetype>(arrayName.size())));
            cellLabel->setBackground(CaptionLabel::Background::Opaque);
            cellLabel->setBackColor(fromBgr(bgr::kLightGrey));
            cellLabel->setForeColor(fromBgr(bgr::kBlack));
            cellLabel->setAlignment(Qt::AlignHCenter);
            cellLabel->setOverflow(CaptionLabel::Overflow::ShrinkToFit);
            cellLabel->setFont(fontFor(FontRole::Control));
            cellLabel->setAccessibleDescription(QStringLiteral("%1, %2").arg(
                QString::fromLatin1(calc::elementRowName(row).data(),
                                    static_cast<qsizetype>(calc::elementRowName(row).size())),
                QString::fromLatin1(kColumnRoles[static_cast<std::size_t>(c)].data())));
            m_grid[static_cast<std::size_t>(r)].append(cellLabel);
        }
    }

    for (std::size_t i = kCellsAfterLabelRows; i < rows.size(); ++i)
        makeLabel(rows[i]);
    for (const calc::BoomTotal total : {calc::BoomTotal::Feet, calc::BoomTotal::Inches, calc::BoomTotal::Centimetres})
        boomTotal(total)->setOverflow(CaptionLabel::Overflow::ShrinkToFit);

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QString::fromLatin1(kFrequencyBoxName.data()));
    m_text1->setAccessibleName(QStringLiteral("Center frequency in MHz"));
    m_text1->setGeometry(toPixels(kFrequencyBoxRect));
    m_text1->setFont(fontFor(FontRole::Control));
    m_text1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette box = m_text1->palette();
    box.setColor(QPalette::Base, fromBgr(bgr::kLightGrey));
    m_text1->setPalette(box);
    m_text1->setMaxLength(std::numeric_limits<int>::max()); // no limit on what may be typed
    m_text1->installEventFilter(this);

    std::vector<std::pair<int, QWidget *>> tabStops{{kFrequencyBoxTabIndex, m_text1}};
    for (const ButtonRow &row : form1layout::buttons()) {
        auto *button =
            new FaceButton(QString::fromLatin1(row.caption.data(), static_cast<qsizetype>(row.caption.size())), this);
        button->setObjectName(QString::fromLatin1(row.name.data(), static_cast<qsizetype>(row.name.size())));
        button->setGeometry(toPixels(row.rect));
        button->setFaceColor(fromBgr(bgr::kDarkYellow));
        button->setFont(fontFor(FontRole::Control));
        tabStops.emplace_back(row.tabIndex, button);
    }
    m_command1 = findChild<FaceButton *>(QStringLiteral("Command1"), Qt::FindDirectChildrenOnly);
    m_command2 = findChild<FaceButton *>(QStringLiteral("Command2"), Qt::FindDirectChildrenOnly);
    m_command3 = findChild<FaceButton *>(QStringLiteral("Command3"), Qt::FindDirectChildrenOnly);
    m_command4 = findChild<FaceButton *>(QStringLiteral("Command4"), Qt::FindDirectChildrenOnly);

    // Tab order by tab index, which is not the buttons' order on screen.
    std::sort(tabStops.begin(), tabStops.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);

    connect(m_command1, &QPushButton::clicked, this, &Form1::calculate);
    connect(m_command2, &QPushButton::clicked, this, &Form1::reset);
    connect(m_command3, &QPushButton::clicked, this, &Form1::print);
    connect(m_command4, &QPushButton::clicked, this, &Form1::conversion);
}

// The frame, not the client area, is centred. Before the window is first shown the window manager has not
// said how large its frame is, so the window is placed by its client area, and placed again by its frame
// when it first appears on screen; with no window manager there is no frame and it stays where it is.
void Form1::centreOnScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // A window's position is that of its frame.
    move(centredFramePosition(screen->availableGeometry(), frameGeometry().size()));
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!std::exchange(m_placed, true) && windowHandle())
        windowHandle()->installEventFilter(this);
}

void Form1::buildMenu()
{
    const auto makeAction = [this](const QString &text, const QKeySequence &shortcut, void (Form1::*slot)()) {
        auto *action = new QAction(text, this);
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action); // the shortcut works with the menu closed
        return action;
    };
    m_copyResults = makeAction(QStringLiteral("&Copy Results"), QKeySequence::Copy, &Form1::copyResults);
    m_saveAsPdf = makeAction(QStringLiteral("Save as &PDF\u2026"), QKeySequence::Save, &Form1::chooseAndSavePdf);
    m_shopSheetAction =
        makeAction(QStringLiteral("S&hop Sheet\u2026"), QKeySequence(Qt::CTRL | Qt::Key_L), &Form1::openShopSheet);
    m_antennaCheckAction = makeAction(QStringLiteral("Antenna Chec&k\u2026"), QKeySequence(Qt::CTRL | Qt::Key_R),
                                      &Form1::openAntennaCheck);
    m_about = makeAction(QStringLiteral("&About Tarvelin"), QKeySequence(Qt::Key_F1), &Form1::about);
    // Closing the main window closes the others with it, and so ends the program.
    m_quit = makeAction(QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &Form1::quit);
    m_copyResults->setEnabled(false);
    // The other windows are opened, the About box shown and the program ended from whichever Tarvelin window
    // has the keyboard; copying and saving stay with the window they copy and save.
    for (QAction *action : {m_shopSheetAction, m_antennaCheckAction, m_about, m_quit})
        action->setShortcutContext(Qt::ApplicationShortcut);

    // The keyboard's way to the menu, wherever the focus is.
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] {
            const QWidget *anchor = focusWidget() ? focusWidget() : this;
            popUpMenu(anchor->mapToGlobal(QPoint(0, anchor->height())));
        });
    }
}

QMenu &Form1::contextMenu()
{
    if (!m_menu) {
        m_menu = std::make_unique<QMenu>();
        m_menu->setObjectName(QStringLiteral("contextMenu"));
        m_menu->addAction(m_copyResults);
        m_menu->addAction(m_saveAsPdf);
        m_menu->addSeparator();
        m_menu->addAction(m_shopSheetAction);
        m_menu->addAction(m_antennaCheckAction);
        m_menu->addSeparator();
        m_menu->addAction(m_about);
        m_menu->addAction(m_quit);
    }
    return *m_menu;
}

void Form1::popUpMenu(const QPoint &globalPos)
{
    m_copyResults->setEnabled(boomCaptionVisible());
    contextMenu().popup(globalPos);
}

void Form1::contextMenuEvent(QContextMenuEvent *event)
{
    popUpMenu(event->globalPos());
}

// The grid goes to the clipboard as a spreadsheet pastes it. Where there is no clipboard to be had, nothing
// happens.
void Form1::copyResults()
{
    if (!boomCaptionVisible())
        return;
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(calc::resultsAsTabSeparated(*this)));
}

// A file keeps the grid it was made from: while the grid is shown, the frequency that produced it names the
// file and heads the page, whatever the box holds since.
QString Form1::gridFrequencyText() const
{
    return boomCaptionVisible() && !m_lastCalculatedFrequency.isEmpty() ? m_lastCalculatedFrequency : m_text1->text();
}

void Form1::chooseAndSavePdf()
{
    const QString frequency = gridFrequencyText().trimmed();
    const QString suggested =
        frequency.isEmpty() ? QStringLiteral("Tarvelin.pdf") : QStringLiteral("Tarvelin %1 MHz.pdf").arg(frequency);
    const QString path = chooseSavePath(this, QStringLiteral("Save as PDF"), suggested,
                                        QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (!path.isEmpty())
        saveAsPdf(path);
}

// Exactly the page Print sends, through the same print layout, so the window ends with the colours a printout
// leaves; no printer is asked.
void Form1::saveAsPdf(const QString &path)
{
    PdfFilePrinter file(path);
    PrintOutcome outcome{PrintOutcome::Status::Failed, "cannot draw the page"};
    printMainWindowPage(*this, file, gridFrequencyText(),
                        [&outcome](const PrintOutcome &written) { outcome = written; });
    if (outcome.status == PrintOutcome::Status::Accepted)
        return;
    MessageBoxRequest request;
    request.prompt =
        "The PDF could not be saved: " + outcome.reason + "\n\nNothing was written to " + path.toStdString() + ".";
    request.buttons = buttons::kWarning;
    request.title = kApplicationTitle;
    m_messages.MessageBox(request);
}

// The sheet of the specified design, for the frequency last calculated; a tuned or predicted sheet gives way.
// Opened from the Antenna Check, it is the sheet of the check's design: its frequency and its array.
void Form1::openShopSheet()
{
    const bool fromCheck = m_antennaCheck && QApplication::activeWindow() == m_antennaCheck;
    if (!m_shopSheet)
        m_shopSheet = new ShopSheetWindow(this, m_messages, m_printer);
    m_shopSheet->showSpecified();
    if (fromCheck && !m_antennaCheck->frequencyText().trimmed().isEmpty())
        m_shopSheet->setDesign(m_antennaCheck->frequencyText(), m_antennaCheck->elements());
    else if (!m_lastCalculatedFrequency.isEmpty())
        m_shopSheet->setFrequencyText(m_lastCalculatedFrequency);
    bringToFront(*m_shopSheet);
}

void Form1::openAntennaCheck()
{
    if (!m_antennaCheck) {
        m_antennaCheck = new AntennaCheckWindow(this, m_messages, m_printer);
        connect(m_antennaCheck, &AntennaCheckWindow::shopSheetRequested, this,
                [this](const QString &frequencyText, int elements, double predictedMHz, const QString &modelNote) {
                    runHandler(m_messages, [&] {
                        openShopSheet();
                        m_shopSheet->setPredictedResonance(frequencyText, elements, predictedMHz, modelNote);
                    });
                });
        connect(m_antennaCheck, &AntennaCheckWindow::tunedBandsSheetRequested, this,
                [this](const tune::TunedBands &tuned) {
                    runHandler(m_messages, [&] {
                        openShopSheet();
                        m_shopSheet->openTunedBands(tuned);
                    });
                });
        connect(m_antennaCheck, &AntennaCheckWindow::tunedShopSheetRequested, this,
                [this](const QString &frequencyText, const shop::TunedCut &tuned, const shop::SheetTuning &tuning) {
                    runHandler(m_messages, [&] {
                        openShopSheet();
                        m_shopSheet->setTunedDesign(frequencyText, tuned, tuning);
                    });
                });
    }
    if (!m_lastCalculatedFrequency.isEmpty() && !m_antennaCheck->running())
        m_antennaCheck->setFrequencyText(m_lastCalculatedFrequency);
    bringToFront(*m_antennaCheck);
}

void Form1::about()
{
    MessageBoxRequest request;
    request.prompt = "Tarvelin " TARVELIN_VERSION "\n\nWorks out every length of a seven-element cubical quad "
                     "antenna from its centre frequency.\n\nFree software under the MIT licence.";
    request.buttons = buttons::kInformation;
    request.title = "About Tarvelin";
    m_messages.MessageBox(request);
}

CaptionLabel *Form1::label(std::string_view name, int index) const
{
    const auto found = m_labels.find({name, index});
    if (found == m_labels.end())
        throw RuntimeError(ErrorNumber::NoSuchMember);
    return found->second;
}

CaptionLabel *Form1::cell(calc::ElementRow row, int gridColumn) const
{
    return m_grid[static_cast<std::size_t>(calc::rowIndex(row))].member(gridColumn);
}

CaptionLabel *Form1::boomTotal(calc::BoomTotal total) const
{
    switch (total) {
    case calc::BoomTotal::Feet:
        return label("Label25");
    case calc::BoomTotal::Inches:
        return label("Label26");
    case calc::BoomTotal::Centimetres:
        return label("Label27");
    }
    throw RuntimeError(ErrorNumber::NoSuchMember);
}

std::string Form1::Dec2Frac(double value) const
{
    return tarvelin::calc::Dec2Frac(value);
}

std::string Form1::frequencyText() const
{
    return m_text1->text().toStdString();
}

std::string Form1::cellText(calc::ElementRow row, int gridColumn) const
{
    return cell(row, gridColumn)->caption().toStdString();
}

void Form1::setCellText(calc::ElementRow row, int gridColumn, const std::string &text)
{
    cell(row, gridColumn)->setCaption(QString::fromStdString(text));
}

std::string Form1::boomText(calc::BoomTotal total) const
{
    return boomTotal(total)->caption().toStdString();
}

void Form1::setBoomText(calc::BoomTotal total, const std::string &text)
{
    boomTotal(total)->setCaption(QString::fromStdString(text));
}

bool Form1::boomCaptionVisible() const
{
    return !boomCaption()->isHidden();
}

void Form1::setBoomCaptionVisible(bool visible)
{
    boomCaption()->setVisible(visible);
}

void Form1::setOuterHeightTwips(int outerHeightTwips)
{
    setFixedSize(toPixels(kClientWidthTwips, clientHeightForOuterTwips(outerHeightTwips)));
}

void Form1::setLabelVisible(std::string_view name, bool visible)
{
    label(name)->setVisible(visible);
}

void Form1::setLabelForeColor(std::string_view name, int index, std::uint32_t bgr)
{
    label(name, index)->setForeColor(fromBgr(bgr));
}

void Form1::setLabelCaption(std::string_view name, const QString &caption)
{
    label(name)->setCaption(caption);
}

QString Form1::frequencyBoxText() const
{
    return m_text1->text();
}

// Ten turns, one per grid column, each clearing that column's cells, then the boom totals, the frequency box
// and the boom caption again; the repeats change nothing visible. The Reflector steps of the spacing columns
// fail on every pass and are skipped.
void Form1::clearingPass()
{
    for (int c = 0; c < calc::kGridColumnCount; ++c) {
        for (const calc::ElementRow row : calc::kElementRows)
            guarded([&] { cell(row, c)->setCaption(QString()); });
        for (const calc::BoomTotal total :
             {calc::BoomTotal::Feet, calc::BoomTotal::Inches, calc::BoomTotal::Centimetres})
            guarded([&] { boomTotal(total)->setCaption(QString()); });
        guarded([&] { m_text1->setText(QString()); });
        guarded([&] { boomCaption()->hide(); });
    }
    guarded([&] { m_text1->setFocus(); });
}

// An information box with no title: it carries the application's.
void Form1::tellRefused()
{
    MessageBoxRequest request;
    request.prompt = calc::kRefusedFrequencyMessage;
    request.buttons = buttons::kInformation;
    m_messages.MessageBox(request);
}

void Form1::calculate()
{
    runHandler(m_messages, [this] {
        if (calc::runCalculationPass(*this))
            m_lastCalculatedFrequency = m_text1->text();
        else
            tellRefused();
    });
    m_copyResults->setEnabled(boomCaptionVisible());
}

void Form1::reset()
{
    clearingPass();
    m_copyResults->setEnabled(boomCaptionVisible());
}

void Form1::print()
{
    // While the spooler is asked, the window goes on taking clicks, and a second Print does nothing until the
    // first has ended.
    if (m_printing)
        return;
    m_printing = true;
    bool started = false;
    runHandler(m_messages, [this, &started] {
        printMainWindow(*this, m_messages, m_printer, [this] { m_printing = false; });
        started = true;
    });
    if (!started)
        m_printing = false;
}

void Form1::conversion()
{
    runHandler(m_messages, [this] {
        if (!m_chart)
            m_chart = new Form2(this, m_messages, m_printer);
        m_chart->showModeless();
    });
}

// Enter in the frequency box calculates, whatever modifier is held, and is not consumed: the box still
// receives the key, and the focus stays in it.
bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // By the time the window is first exposed, the window manager has framed it.
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QTimer::singleShot(0, this, &Form1::centreOnScreen);
    }
    // Ctrl+C in the frequency box copies its selection, as ever; with nothing selected it copies the results.
    if (watched == m_text1 && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy) && !m_text1->hasSelectedText()) {
        copyResults();
        event->accept();
        return true;
    }
    if (watched == m_text1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            calculate();
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::quit()
{
    close();
}

void Form1::closeWithoutAsking()
{
    m_asking = false;
    close();
    m_asking = true;
}

void Form1::closeEvent(QCloseEvent *event)
{
    // The program ends with this window: a tune running or one not saved is asked about first.
    if (m_asking && m_antennaCheck && !m_antennaCheck->mayQuit()) {
        event->ignore();
        return;
    }
    if (m_chart)
        m_chart->close();
    if (m_shopSheet)
        m_shopSheet->close();
    if (m_antennaCheck)
        m_antennaCheck->closeWithoutAsking(); // asked above, where it was for asking
    event->accept();
}

} // namespace tarvelin
