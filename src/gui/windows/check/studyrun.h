// SPDX-License-Identifier: MIT
#pragma once

#include "gui/windows/check/roundsrun.h"

#include <memory>

namespace tarvelin {

// A check or a tune run for the window, telling how far it has come. Cancel stops the round under way: a check
// ends with nothing, a tune with its best design so far.
class StudyRun final : public RoundsRun
{
    Q_OBJECT

public:
    explicit StudyRun(std::unique_ptr<study::Study> study, QObject *parent = nullptr);

    [[nodiscard]] const study::Study &study() const { return static_cast<const study::Study &>(rounds()); }

signals:
    // A round has started: what the engines do now.
    void roundStarted(const QString &text);
    // How far the study has come, with the text to show on the bar; a maximum of 0 has no end to fill towards,
    // and a tune's detail says its time and best design so far.
    void progress(int value, int maximum, const QString &text, const QString &detail);

protected:
    void onRoundStarted() override;
    void onCancel() override;

private:
    void report(int frequenciesDone);
    [[nodiscard]] study::Study &underWay() const { return static_cast<study::Study &>(rounds()); }

    int m_frequenciesDone = 0; // in the round under way
};

} // namespace tarvelin
