// SPDX-License-Identifier: MIT
#include "gui/windows/check/verdictpage.h"

#include "core/document/checktable.h"
#include "gui/windows/widgets/resulttablemodel.h"
#include "gui/windows/widgets/resultview.h"

#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

namespace tarvelin {

namespace {

// The verdict's rows with a measured sweep, over ground.
constexpr int kVerdictRows = 13;

} // namespace

VerdictPage::VerdictPage(QWidget *parent) : QWidget(parent)
{
    m_headline = new QLabel;
    m_headline->setObjectName(QStringLiteral("verdictHeadline"));
    m_headline->setAccessibleName(QStringLiteral("What to do"));
    m_headline->setWordWrap(true);
    m_headline->setTextFormat(Qt::PlainText);
    m_headline->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont larger = m_headline->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.25);
    larger.setBold(true);
    m_headline->setFont(larger);
    m_headline->hide();
    m_model = new ResultTableModel(this);
    m_model->setTable(document::verdictTable({}, 0.0));
    m_view = new ResultView(QStringLiteral("verdict"), QStringLiteral("Verdict"), m_model);
    m_view->setShownWhole(true);
    // Room for the verdict's rows before the first run fills them: the window opens at the size it will need.
    m_view->setRowsExpected(kVerdictRows);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setShowGrid(false);
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("verdictNote"));
    m_note->setAccessibleName(QStringLiteral("Measured sweep and feed notes"));
    m_note->setWordWrap(true);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // What to do first, the table with the room its rows need, and the advice where it is seen at once.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_headline);
    layout->addWidget(m_view);
    layout->addWidget(m_note);
    layout->addStretch(1);
}

void VerdictPage::show(const check::CheckSummary *summary, const design::CheckSettings &settings,
                       const std::vector<measure::MeasuredSweep> &sweeps, const check::Goals &goals)
{
    const measure::MeasuredSweep *measured = sweeps.empty() ? nullptr : &sweeps.back();
    if (!summary) {
        m_headline->hide();
        m_view->setRowsExpected(kVerdictRows);
        m_model->setTable(document::verdictTable({}, 0.0));
        m_view->horizontalHeader()->hide();
        m_note->setText(QStringLiteral("Run (or Enter in a setting) models the design: the verdict, the table and "
                                       "the plots appear here."));
        return;
    }
    format::Document report = document::checkDocument(*summary, settings, sweeps, goals);
    m_headline->setText(QString::fromStdString(report.sections[document::kHeadlineSection].before.front().text));
    m_headline->setVisible(!m_headline->text().isEmpty());
    m_model->setTable(std::move(*report.sections[document::kVerdictSection].table));
    m_view->setRowsExpected(m_model->rowCount());                // the room its rows need, the advice right under them
    m_view->horizontalHeader()->setVisible(measured != nullptr); // Model beside Measured
    QStringList note;
    for (const format::Paragraph &paragraph : report.sections[document::kNotesSection].before)
        note << QString::fromStdString(paragraph.text);
    m_note->setText(note.join(QStringLiteral("\n\n")));
}

} // namespace tarvelin
