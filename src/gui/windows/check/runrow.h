// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>

class QProgressBar;
class QPushButton;

namespace tarvelin {

// Run, Cancel and the bar that shows how far the study under way has come, or what the results shown are.
// While a run started from a button goes on, the focus waits on Cancel, and goes back to that button after.
class RunRow final : public QWidget
{
    Q_OBJECT

public:
    explicit RunRow(QWidget *parent = nullptr);

    [[nodiscard]] QPushButton *runButton() const { return m_run; }
    [[nodiscard]] QPushButton *cancelButton() const { return m_cancel; }

    // `ready`: the settings and the frequency can be modelled.
    void setRunning(bool running, bool ready);
    void showProgress(int value, int maximum, const QString &text);
    // The results shown: done, or out of date.
    void showDone(bool stale = false);
    void clear();

signals:
    void runRequested();
    void cancelRequested();

private:
    QPushButton *m_run = nullptr;
    QPushButton *m_cancel = nullptr;
    QProgressBar *m_progress = nullptr;
    QPointer<QWidget> m_focusAfterRun; // the button that started the run under way
};

} // namespace tarvelin
