// SPDX-License-Identifier: MIT
#include "cli/stopsignals.h"

#include <csignal>
#include <cstdlib>

namespace tarvelin::cli {

void StopSignals::endOf(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal); // a signal whose default action is not to end the program
}

} // namespace tarvelin::cli
