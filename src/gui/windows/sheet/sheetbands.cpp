// SPDX-License-Identifier: MIT
// The Shop Sheet of a quad of several bands: the bands typed under the frequency cut together, every loop with
// its marks on its arms, on a tab of its own with the drawing of the loops on their spreaders.
#include "gui/windows/sheet/shopsheetwindow.h"

#include "core/document/nestedsheet.h"
#include "core/format/document.h"
#include "gui/runtime/qtext.h"
#include "gui/windows/rows/bandsrow.h"
#include "gui/windows/sheet/nesteddrawing.h"
#include "gui/windows/sheet/sheetsettingspanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>

namespace tarvelin {

QWidget *ShopSheetWindow::buildNestedPage()
{
    m_nestedText = new QTextBrowser;
    m_nestedText->setObjectName(QStringLiteral("nestedSheet"));
    m_nestedText->setAccessibleName(QStringLiteral("Cut list of the nested quad"));
    m_nestedDrawing = new NestedDrawing;
    auto *page = new QSplitter(Qt::Vertical);
    page->setObjectName(QStringLiteral("nestedQuad"));
    page->addWidget(m_nestedText);
    page->addWidget(m_nestedDrawing);
    page->setStretchFactor(0, 3);
    page->setStretchFactor(1, 2);
    m_nestedPage = page;
    return page;
}

bool ShopSheetWindow::recalculateBands(std::optional<QString> &oneBand)
{
    const auto refuse = [this](const QString &message) {
        m_nested.reset();
        showNested(true);
        m_problem->setText(message);
        m_problem->show();
        markRefused(m_settings->bandsRow()->bandsField());
        showStale(true);
        return true;
    };
    const auto read = m_settings->bandsRow()->read();
    if (const auto *refusal = std::get_if<QString>(&read))
        return refuse(*refusal);
    const std::optional<BandsRow::Choice> &choice = std::get<std::optional<BandsRow::Choice>>(read);
    if (!choice || choice->bands.size() == 1) {
        if (choice)
            oneBand = QString::fromStdString(choice->bands.front().frequencyText);
        showNested(false);
        return false;
    }
    if (m_settings->match().kind != design::MatchKind::Direct)
        return refuse(QStringLiteral("Each band's driver is fed direct here: set Match to direct "
                                     "(tarvelin-calc --match 20m=quarter-wave:RG-11 cuts a band's section)."));
    auto geometry = design::nestedGeometry(choice->bands, m_settings->elements(), choice->nested);
    if (const auto *refusal = std::get_if<std::string>(&geometry))
        return refuse(qText(*refusal));
    auto settings = shop::readShopSettings(m_settings->texts());
    if (const auto *refusal = std::get_if<shop::ShopRefusal>(&settings))
        return refuse(qText(refusal->message));
    // A saved tune's loops while the bands, the layout and the elements are still its own.
    if (m_tunedBands && m_tunedBandsKey != tunedBandsKey())
        m_tunedBands.reset();
    const bool tuned = m_tunedBands.has_value();
    if (tuned)
        geometry = design::withPerimeterFactors(std::get<design::NestedGeometry>(geometry), m_tunedBands->factors);
    auto made =
        shop::makeNestedSheet(std::get<design::NestedGeometry>(geometry), std::get<shop::ShopSettings>(settings), tuned);
    if (const auto *refusal = std::get_if<shop::ShopRefusal>(&made))
        return refuse(qText(refusal->message));
    markRefused(nullptr);
    m_problem->hide();
    m_nested = std::get<shop::NestedSheet>(std::move(made));
    showNested(true);
    const format::Document sheet = document::nestedSheetDocument(*m_nested);
    m_nestedText->setHtml(qText(format::documentHtml(sheet, {})));
    m_nestedDrawing->setSheet(*m_nested);
    m_summary->setText(qText(sheet.title + ". Lengths on the Nested quad tab; each loop's marks are on its arms, "
                                           "from the hub's centre."));
    saveSettings();
    showStale(false);
    return true;
}

void ShopSheetWindow::openTunedBands(tune::TunedBands saved)
{
    BandsRow::Choice choice{saved.bands, saved.nested, saved.idle};
    {
        const QSignalBlocker quiet(m_settings); // one sheet, of the whole of it, once it is all shown
        m_settings->setElements(saved.elements);
        m_settings->bandsRow()->setChoice(choice);
    }
    m_tunedBands = std::move(saved);
    m_tunedBandsKey = tunedBandsKey();
    recalculate();
}

QString ShopSheetWindow::tunedBandsKey() const
{
    return m_settings->bandsRow()->key(m_settings->elements());
}

// The nested quad's tab in place of the tables of one band's design, and its drawing in place of theirs.
void ShopSheetWindow::showNested(bool shown)
{
    if (!shown)
        m_nested.reset();
    if (!m_tabs || !m_nestedPage) // the settings are read before the tables are built
        return;
    for (int i = 0; i < m_tabs->count(); ++i)
        m_tabs->setTabVisible(i, (m_tabs->widget(i) == m_nestedPage) == shown);
    if (shown)
        m_tabs->setCurrentWidget(m_nestedPage);
    else if (m_tabs->currentWidget() == m_nestedPage)
        m_tabs->setCurrentIndex(0);
    m_drawingPane->setVisible(!shown);
}

} // namespace tarvelin
