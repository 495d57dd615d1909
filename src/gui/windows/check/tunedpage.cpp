// SPDX-License-Identifier: MIT
#include "gui/windows/check/tunedpage.h"

#include "gui/windows/widgets/resulttablemodel.h"
#include "gui/windows/widgets/resultview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvelin {

TunedPage::TunedPage(QWidget *parent) : QWidget(parent)
{
    m_loops = new ResultTableModel(this);
    m_figures = new ResultTableModel(this);
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("tuneNote"));
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    const auto button = [this](const QString &text, const QString &name, void (TunedPage::*request)()) {
        auto *made = new QPushButton(text);
        made->setObjectName(name);
        connect(made, &QPushButton::clicked, this, request);
        m_buttons.push_back(made);
        return made;
    };
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(
        button(QStringLiteral("Tuned Shop Shee&t"), QStringLiteral("tunedShopSheet"), &TunedPage::shopSheetRequested));
    buttons->addWidget(button(QStringLiteral("Save Tuned Dec&k\u2026"), QStringLiteral("saveTunedDeck"),
                              &TunedPage::saveDeckRequested));
    buttons->addWidget(button(QStringLiteral("Save Tuned Design\u2026"), QStringLiteral("saveTunedDesign"),
                              &TunedPage::saveDesignRequested));
    // The loops and the figures each whole: a few loops and a few figures, never cut to a couple of rows.
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_note);
    for (ResultView *table :
         {new ResultView(QStringLiteral("tunedLoops"), QStringLiteral("Tuned loops"), m_loops),
          new ResultView(QStringLiteral("tuneVerdict"), QStringLiteral("Before and after tuning"), m_figures)}) {
        table->setShownWhole(true);
        layout->addWidget(table, 1);
    }
    layout->addLayout(buttons);
}

void TunedPage::show(const design::DesignLengths &design, const tune::TuneResult &tuned, const tune::TuneSettings &tune)
{
    m_loops->setTable(tune::tunedTable(design, tuned));
    m_figures->setTable(tune::tuneVerdictTable(tuned, tune));
    m_note->setText(QStringLiteral("Modelled for this wire and ground; the specified design on the main window "
                                   "stays as it is. %1")
                        .arg(QString::fromStdString(tune::tuneOutcomeText(tuned, tune))));
}

void TunedPage::setButtonsEnabled(bool enabled)
{
    for (QPushButton *button : m_buttons)
        button->setEnabled(enabled);
}

} // namespace tarvelin
