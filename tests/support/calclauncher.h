// SPDX-License-Identifier: MIT
#pragma once

#include "cli/processlauncher.h"

// tarvelin-calc's own launcher, with the program's stop signals: the real engine, run as the program runs it.
inline tarvelin::cli::ProcessLauncher &calcLauncher()
{
    static tarvelin::cli::StopSignals stops;
    static tarvelin::cli::ProcessLauncher launcher(stops);
    return launcher;
}
