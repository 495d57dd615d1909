// SPDX-License-Identifier: MIT
#include "core/nec/enginechild.h"

#include <csignal>
#include <initializer_list>

#include <sys/prctl.h>
#include <unistd.h>

namespace tarvelin::nec {

void becomeEngineChild(pid_t parent) noexcept
{
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGCHLD})
        ::signal(signal, SIG_DFL);
}

} // namespace tarvelin::nec
