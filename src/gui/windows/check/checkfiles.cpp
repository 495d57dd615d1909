// SPDX-License-Identifier: MIT
// The Antenna Check's buttons and the files they save: the deck, the table, the report, the model's sweep and
// the tuned design, saved or printed, each named after what it holds; and the analyser's sweeps it loads.
#include "gui/windows/check/antennacheckwindow.h"

#include "core/design/designlengths.h"
#include "core/format/resulttable.h"
#include "core/document/checktable.h"
#include "core/nec/deck.h"
#include "core/nec/nesteddeck.h"
#include "core/tune/tuneddesign.h"
#include "gui/print/checkreport.h"
#include "gui/print/confirmprint.h"
#include "gui/print/documentprint.h"
#include "gui/runtime/printer.h"
#include "gui/windows/check/checkresults.h"
#include "gui/windows/check/checksettingspanel.h"
#include "gui/windows/check/sweeprow.h"
#include "gui/windows/rows/bandsrow.h"
#include "gui/windows/rows/throughrow.h"
#include "gui/windows/check/tunedpage.h"
#include "gui/windows/widgets/flowlayout.h"
#include "gui/windows/widgets/resultview.h"
#include "gui/runtime/unhandlederror.h"
#include "gui/windows/userfiles.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

namespace tarvelin {

// The window's buttons, in a row that wraps where the window is narrow, always in view under the rest.
QLayout *AntennaCheckWindow::buildButtons()
{
    auto *buttons = new FlowLayout;
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    buttons->setContentsMargins(margin, 0, margin, margin);
    const auto button = [this, buttons](const QString &text, const QString &name, auto action) {
        auto *made = new QPushButton(text);
        made->setObjectName(name);
        made->setAutoDefault(false);
        buttons->addWidget(made);
        connect(made, &QPushButton::clicked, this, [this, action] { runHandler(m_messages, action); });
        return made;
    };
    const auto saving = [this](QString title, QString filter, QString suffix,
                               bool (AntennaCheckWindow::*save)(const QString &)) {
        return [=, this] { choose(title, filter, suffix, save); };
    };
    m_deckButton = button(QStringLiteral("Save &deck\u2026"), QStringLiteral("saveDeck"),
                          saving(QStringLiteral("Save deck"), QStringLiteral("NEC-2 decks (*.nec)"),
                                 QStringLiteral("nec"), &AntennaCheckWindow::saveDeck));
    QPushButton *csv = button(QStringLiteral("Save CS&V\u2026"), QStringLiteral("saveCsv"),
                              saving(QStringLiteral("Save CSV"), QStringLiteral("CSV files (*.csv)"),
                                     QStringLiteral("csv"), &AntennaCheckWindow::saveCsv));
    QPushButton *pdf = button(QStringLiteral("Save &PDF\u2026"), QStringLiteral("savePdf"),
                              saving(QStringLiteral("Save PDF"), QStringLiteral("PDF files (*.pdf)"),
                                     QStringLiteral("pdf"), &AntennaCheckWindow::savePdf));
    m_printButton = button(QStringLiteral("Pr&int\u2026"), QStringLiteral("print"), [this] { print(); });
    QPushButton *touchstone =
        button(QStringLiteral("Save Tou&chstone\u2026"), QStringLiteral("saveTouchstone"),
               saving(QStringLiteral("Save Touchstone"), QStringLiteral("Touchstone files (*.s1p)"),
                      QStringLiteral("s1p"), &AntennaCheckWindow::saveTouchstone));
    touchstone->setToolTip(QStringLiteral("The model's sweep as a Touchstone file (.s1p), for an analyser's "
                                          "reference trace"));
    QPushButton *sheet = button(QStringLiteral("S&hop Sheet for This Check"), QStringLiteral("shopSheetForCheck"),
                                [this] { openShopSheetForCheck(); });
    sheet->setToolTip(QStringLiteral("The shop sheet with each loop's trim for the resonance the model predicts"));
    QPushButton *close = button(QStringLiteral("Close"), QStringLiteral("close"), [this] { this->close(); });
    close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    m_resultButtons = {csv, pdf, m_printButton, touchstone, sheet}; // the sheet last: it is of one band's design
    TunedPage *tuned = m_results->tunedPage();
    connect(tuned, &TunedPage::shopSheetRequested, this,
            guardedSlot(m_messages, this, &AntennaCheckWindow::openTunedShopSheet));
    connect(tuned, &TunedPage::saveDeckRequested, this, [this, saving] {
        runHandler(m_messages, saving(QStringLiteral("Save tuned deck"), QStringLiteral("NEC-2 decks (*.nec)"),
                                      QStringLiteral("nec"), &AntennaCheckWindow::saveTunedDeck));
    });
    connect(tuned, &TunedPage::saveDesignRequested, this, [this, saving] {
        runHandler(m_messages, saving(QStringLiteral("Save tuned design"), QStringLiteral("Tuned designs (*.json)"),
                                      QStringLiteral("json"), &AntennaCheckWindow::saveTunedDesign));
    });
    // Esc and the desktop's close keys (Ctrl+W) close the window, as they close any document window.
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    return buttons;
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
    const std::optional<design::CheckSettings> settings = m_settings->read(problem);
    if (!settings)
        return writeFile(path, {}, QStringLiteral("deck"), problem);
    // Several bands typed: the deck of all their loops together.
    const auto bands = m_settings->bandsRow()->read();
    if (const auto *choice = std::get_if<std::optional<BandsRow::Choice>>(&bands);
        choice && *choice && (*choice)->bands.size() > 1) {
        auto nested = design::nestedGeometry((*choice)->bands, m_settings->elements(), (*choice)->nested);
        if (const auto *refusal = std::get_if<std::string>(&nested))
            return writeFile(path, {}, QStringLiteral("deck"), QString::fromStdString(*refusal));
        return writeFile(path,
                         QByteArray::fromStdString(
                             nec::nestedCheckDeck(std::get<design::NestedGeometry>(nested), *settings).text),
                         QStringLiteral("deck"));
    }
    const auto design = design::designFor(m_settings->frequencyText().toStdString(), m_settings->elements(), *settings);
    if (const auto *refusal = std::get_if<design::DesignRefusal>(&design))
        return writeFile(path, {}, QStringLiteral("deck"), QString::fromStdString(refusal->message));
    return writeFile(path, QByteArray::fromStdString(nec::checkDeck(std::get<design::Design>(design))),
                     QStringLiteral("deck"));
}

bool AntennaCheckWindow::saveCsv(const QString &path)
{
    if (!m_summary)
        return writeFile(path, {}, QStringLiteral("CSV file"));
    std::string csv;
    format::appendCsvTable(csv, document::checkTable(*m_summary, m_checked->array.frequencyLabel), true);
    return writeFile(path, QByteArray::fromStdString(csv), QStringLiteral("CSV file"));
}

bool AntennaCheckWindow::savePdf(const QString &path)
{
    if (!m_summary)
        return writeFile(path, {}, QStringLiteral("PDF"));
    return writeFile(path,
                     checkReportPdf(runSettings(), *m_summary, localPaperLayout(),
                                    QDateTime::currentDateTime(), m_sweeps, goals()),
                     QStringLiteral("PDF"));
}

bool AntennaCheckWindow::saveTouchstone(const QString &path)
{
    if (!m_summary)
        return writeFile(path, {}, QStringLiteral("Touchstone file"));
    return writeFile(path, QByteArray::fromStdString(document::checkTouchstone(*m_summary, runSettings())),
                     QStringLiteral("Touchstone file"));
}

bool AntennaCheckWindow::saveTunedDeck(const QString &path)
{
    if (!m_tuned || !m_checked)
        return false;
    return writeFile(path, QByteArray::fromStdString(nec::checkDeck(tune::tunedDesign(*m_checked, *m_tuned))),
                     QStringLiteral("deck"));
}

// The design as tarvelin-calc --tune --save writes it, for the Shop Sheet's Open Tuned Design... later.
bool AntennaCheckWindow::saveTunedDesign(const QString &path)
{
    if (!m_tuned || !m_checked)
        return false;
    const tune::TunedDesign design{m_checked->frequencyText(), runSettings(), m_tuneSettings, *m_tuned};
    const bool saved = writeFile(path, QByteArray::fromStdString(tune::tunedDesignText(design, m_checked->lengths)),
                                 QStringLiteral("tuned design"));
    m_tunedSaved = m_tunedSaved || saved;
    return saved;
}

void AntennaCheckWindow::choose(const QString &title, const QString &filter, const QString &suffix,
                                bool (AntennaCheckWindow::*save)(const QString &))
{
    // A file is named after what it holds: the check's results for the design they were run for, or the deck
    // for the design as it stands now.
    QString label;
    if (save == &AntennaCheckWindow::saveDeck || !m_summary) {
        auto geometry = design::geometryFor(m_settings->frequencyText().toStdString(), m_settings->elements());
        if (const auto *array = std::get_if<design::ArrayGeometry>(&geometry))
            label = QString::fromStdString(design::designTitle(array->frequencyLabel, array->elementCount()));
    } else if (m_checked) {
        label = QString::fromStdString(
            design::designTitle(m_checked->array.frequencyLabel, m_checked->array.elementCount()));
    }
    // A tuned design or its deck is not the check's: its name says tuned, so it is not taken for the specified
    // design's a season later.
    const bool tuned = save == &AntennaCheckWindow::saveTunedDesign || save == &AntennaCheckWindow::saveTunedDeck;
    const QString what = !tuned                                         ? QStringLiteral("Antenna check")
                         : save == &AntennaCheckWindow::saveTunedDesign ? QStringLiteral("Tuned design")
                                                                        : QStringLiteral("Tuned deck");
    const QString path = chooseSavePath(this, title,
                                        label.isEmpty() ? QStringLiteral("%1.%2").arg(what, suffix)
                                                        : QStringLiteral("%1 %2.%3").arg(what, label, suffix),
                                        filter, suffix);
    if (!path.isEmpty())
        (void)(this->*save)(path);
}

void AntennaCheckWindow::print()
{
    if (!m_summary)
        return;
    m_print->print(*this, {QStringLiteral("Print Antenna Check"), "Tarvelin antenna check",
                           [this](const QPageLayout &paper) {
                               return checkReportPdf(runSettings(), *m_summary, paper,
                                                     QDateTime::currentDateTime(), m_sweeps, goals());
                           },
                           [this](const QString &path, const QByteArray &pdf) {
                               (void)writeFile(path, pdf, QStringLiteral("PDF"));
                           }});
}

bool AntennaCheckWindow::loadMeasuredSweep(const QString &path)
{
    if (!m_sweepRow->load(m_messages, path))
        return false;
    showMeasured();
    if (m_summary) {
        m_results->showVerdict(); // with the measured column beside the model's
        if (isVisible())
            growToShowContents(*this); // that column whole, where the screen has room for it
    }
    return true;
}

void AntennaCheckWindow::clearMeasuredSweep()
{
    m_sweepRow->clear();
    showMeasured();
}

// The sweeps' figures on the line of the check shown, through its match (or on the settings' line, before any),
// compared with it.
void AntennaCheckWindow::showMeasured()
{
    if (m_summary && !m_bandChecks.empty()) {
        showBandMeasured();
        return;
    }
    measure::SweepReading reading{m_settings->z0Ohms(), {}, 0.0, {}};
    if (m_summary)
        reading = {runSettings().z0Ohms, runSettings().match, m_summary->design.mhz, {}};
    m_sweepRow->through().offerMatch(reading.match.kind != design::MatchKind::Direct);
    m_sweeps = m_sweepRow->measured(reading, m_summary ? &*m_summary : nullptr,
                                    m_checked ? m_checked->frequencyText() : std::string());
    m_sweepRow->show(m_sweeps, m_summary.has_value());
    m_results->showMeasured(runSettings(), m_sweeps, goals());
}

} // namespace tarvelin
