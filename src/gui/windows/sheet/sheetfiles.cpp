// SPDX-License-Identifier: MIT
// The Shop Sheet's files: sweeps and tuned designs read, the sheet saved, copied and printed.
#include "gui/windows/sheet/shopsheetwindow.h"

#include "gui/windows/sheet/sheetsettingspanel.h"

#include "core/design/arraydesign.h"
#include "core/design/designlengths.h"
#include "gui/print/confirmprint.h"
#include "gui/print/documentprint.h"
#include "gui/print/nestedsheetdrawing.h"
#include "gui/print/shopsheetprintout.h"
#include "gui/runtime/printer.h"
#include "gui/runtime/settingsstore.h"
#include "core/shop/shopsheettext.h"
#include "core/document/bandscheck.h"
#include "core/document/checktable.h"
#include "core/document/nestedsheet.h"
#include "core/measure/measured.h"
#include "core/tune/tunedbands.h"
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

} // namespace

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
    const design::MeasuredThrough through = m_settings->through().through(&problem);
    if (!problem.isEmpty())
        return refuse(problem.toStdString());
    const std::optional<double> design = designMHz(m_settings->frequencyText());
    const auto read = measure::sheetSweepOf(
        *sweep, name.toStdString(), {m_settings->lineZ0Ohms(), m_settings->match(), design.value_or(0.0), through});
    if (const auto *refusal = std::get_if<shop::ShopRefusal>(&read))
        return refuse(refusal->message);
    const measure::SheetSweep &measured = std::get<measure::SheetSweep>(read);
    const QString resonanceText = QString::fromStdString(measured.resonanceText);
    const std::string replaced = m_settings->measuredText().toStdString();
    // The sweep's doing, not the builder's typing (set quietly): what it replaces may be the sweep before it.
    m_settings->setMeasuredText(resonanceText);
    const std::string throughText = through.declared() ? measure::throughText(through) : std::string();
    m_source.measuredFromSweep(design, m_settings->elements(), name.toStdString(), replaced,
                               resonanceText.toStdString(), throughText);
    m_settings->cutSince().clear(); // nothing said yet of what was cut before this sweep
    updateTitle();
    recalculate();
    showNote(QStringLiteral("The measured resonance is where the reactance of %1 passes zero at the feed point%4: "
                            "%3 MHz (its lowest SWR %2).")
                 .arg(name, QString::fromStdString(check::swrText(measured.minSwr, 2)), resonanceText,
                      throughText.empty()
                          ? QString()
                          : QStringLiteral(", read at the feed point through ") + QString::fromStdString(throughText)) +
             (measured.lossyLine ? QStringLiteral(" ") + QString::fromStdString(*measured.lossyLine) : QString()));
    return true;
}

bool ShopSheetWindow::openTunedDesign(const QString &path)
{
    const SmallFile file = readSmallFile(path, QStringLiteral("tuned design"));
    std::variant<tune::TunedDesign, std::string> read = std::string();
    if (file.text && tune::isTunedBandsText(*file.text)) {
        auto bands = tune::readTunedBands(*file.text);
        if (auto *saved = std::get_if<tune::TunedBands>(&bands)) {
            openTunedBands(std::move(*saved));
            return true;
        }
        read = std::get<std::string>(bands);
    } else if (file.text) {
        read = tune::readTunedDesign(*file.text);
    }
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
    const tune::TunedDesign &design = std::get<tune::TunedDesign>(read);
    setTunedDesign(QString::fromStdString(design.frequencyText), tune::tunedCutOf(design.result, design.check),
                   tune::sheetTuningOf(design.result, design.tune, design.check));
    return true;
}

void ShopSheetWindow::copyToClipboard()
{
    if (m_nested) {
        if (QClipboard *clipboard = QGuiApplication::clipboard())
            clipboard->setText(qText(format::documentTabSeparated(document::nestedSheetDocument(*m_nested))));
        return;
    }
    if (!m_sheet)
        return;
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(qText(format::documentTabSeparated(shop::shopSheetDocument(*m_sheet))));
}

bool ShopSheetWindow::saveCsv(const QString &path)
{
    if (!m_sheet && !m_nested)
        return false;
    std::string csv;
    format::appendCsvTable(csv, m_nested ? document::nestedLoopsTable(*m_nested) : shop::shopCsvTable(*m_sheet), true);
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
    if (!m_sheet && !m_nested)
        return false;
    return saved(saveWholeFile(m_messages, path,
                               m_nested ? nestedSheetPdf(*m_nested, {}, localPaperLayout(), QDateTime::currentDateTime())
                                        : shopSheetPdf(*m_sheet, localPaperLayout(), QDateTime::currentDateTime()),
                               QStringLiteral("PDF"), QStringLiteral("cannot draw the pages")),
                 QStringLiteral("PDF"), path);
}

// Named after the sheet that is saved, never after the field, which may hold something else by now.
QString ShopSheetWindow::suggestedName(const QString &suffix) const
{
    QString label =
        m_sheet ? qText(design::designTitle(m_sheet->frequencyLabel, m_sheet->elements.size())) : QString();
    if (m_nested)
        label = qText(document::bandNames(m_nested->geometry));
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
    if (m_nested) {
        const shop::NestedSheet sheet = *m_nested;
        m_print->print(*this, {QStringLiteral("Print Shop Sheet"), "Tarvelin shop sheet",
                               [sheet](const QPageLayout &paper) {
                                   return nestedSheetPdf(sheet, {}, paper, QDateTime::currentDateTime());
                               },
                               [this](const QString &path, const QByteArray &) { (void)savePdf(path); }});
        return;
    }
    if (!m_sheet)
        return;
    const shop::ShopSheet sheet = *m_sheet;
    m_print->print(
        *this, {QStringLiteral("Print Shop Sheet"), "Tarvelin shop sheet",
                [sheet](const QPageLayout &paper) { return shopSheetPdf(sheet, paper, QDateTime::currentDateTime()); },
                [this](const QString &path, const QByteArray &) { (void)savePdf(path); }});
}

} // namespace tarvelin
