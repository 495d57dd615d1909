// SPDX-License-Identifier: MIT
#pragma once

#include <sys/types.h>

namespace tarvelin::nec {

// Makes the calling process, a child between fork and exec, an engine of the program `parent`: the leader of a
// process group of its own, so that stopping the group stops whatever the engine starts, killed as soon as
// `parent` ends however it ends, and with the stop signals' default actions whatever the parent had. A child
// whose parent has already gone ends at once. Both programs' launchers start their engines through it; it
// makes only async-signal-safe calls.
void becomeEngineChild(pid_t parent) noexcept;

} // namespace tarvelin::nec
