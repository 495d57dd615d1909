// SPDX-License-Identifier: MIT
#include "gui/windows/check/runrow.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

namespace tarvelin {

RunRow::RunRow(QWidget *parent) : QWidget(parent)
{
    m_run = new QPushButton(QStringLiteral("&Run"));
    m_run->setObjectName(QStringLiteral("run"));
    m_run->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Canc&el"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setAutoDefault(false);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_run);
    layout->addWidget(m_cancel);
    layout->addWidget(m_progress, 1);
    setTabOrder(m_run, m_cancel);
    connect(m_run, &QPushButton::clicked, this, &RunRow::runRequested);
    connect(m_cancel, &QPushButton::clicked, this, &RunRow::cancelRequested);
}

void RunRow::setRunning(bool running, bool ready)
{
    QWidget *focused = window()->focusWidget();
    if (running) {
        m_cancel->setEnabled(true);
        if (qobject_cast<QPushButton *>(focused) && focused != m_cancel) {
            m_focusAfterRun = focused;
            m_cancel->setFocus();
        }
    }
    m_run->setEnabled(!running && ready);
    if (!running) {
        if (m_focusAfterRun && m_focusAfterRun->isEnabled() && focused == m_cancel)
            m_focusAfterRun->setFocus();
        m_focusAfterRun = nullptr;
        m_cancel->setEnabled(false);
    }
}

void RunRow::showProgress(int value, int maximum, const QString &text)
{
    // A tune's bar only says it is busy, with no end to fill towards.
    m_progress->setRange(0, maximum);
    m_progress->setValue(value);
    QString format = text;
    m_progress->setFormat(format.replace(QLatin1Char('%'), QStringLiteral("%%")));
    m_progress->setAccessibleDescription(text);
}

void RunRow::showDone(bool stale)
{
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    m_progress->setFormat(stale ? QStringLiteral("Out of date") : QStringLiteral("Done"));
}

void RunRow::clear()
{
    m_progress->setRange(0, 1);
    m_progress->setFormat(QString()); // nothing to count before a run
    m_progress->setValue(0);
}

} // namespace tarvelin
