// SPDX-License-Identifier: MIT
#pragma once

#include "cli/stopsignals.h"
#include "core/study/study.h"

namespace tarvelin::cli {

// tarvelin-calc's launcher: one nec2c process per deck, all at once, started by fork and exec in the engine
// job's private folder, and waited for before start() returns. Each engine leads a process group of its own,
// so stopping it stops whatever it started too; it dies with this program however that ends. A process still
// running at the round's time limit is stopped, and so are all the others. A TERM, HUP or INT during the
// round stops the engines and removes the folder, then ends this program of that same signal, as the
// program's StopSignals have it. Waiting is on a pipe the signal handlers write to, SIGCHLD among them, never
// by polling.
class ProcessLauncher final : public study::EngineLauncher
{
public:
    explicit ProcessLauncher(StopSignals &stops) : m_stops(stops) {}

    void start(const study::EngineRound &round, std::function<void(study::EngineOutputs)> done) override;
    // The round has ended before start() returns: there is nothing left to stop.
    void cancel() override {}

    // The same, given back rather than handed to a callback.
    [[nodiscard]] study::EngineOutputs run(const study::EngineRound &round);

private:
    StopSignals &m_stops;
};

} // namespace tarvelin::cli
