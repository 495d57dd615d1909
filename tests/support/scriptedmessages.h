// SPDX-License-Identifier: MIT
#pragma once

#include "gui/runtime/messagebox.h"

#include <deque>
#include <vector>

// Stands in for the message box in tests: answers each box with the next scripted answer (OK, or No where a
// Yes/No box is asked and nothing was scripted) and keeps every request, so nothing ever blocks on a modal box.
class ScriptedMessages final : public tarvelin::MessageBoxService
{
public:
    int MessageBox(const tarvelin::MessageBoxRequest &request) override
    {
        requests.push_back(request);
        if (!answers.empty()) {
            const int next = answers.front();
            answers.pop_front();
            return next;
        }
        return (request.buttons & 0x7) == tarvelin::buttons::kYesNo ? tarvelin::answer::kNo : tarvelin::answer::kOk;
    }

    std::deque<int> answers;
    std::vector<tarvelin::MessageBoxRequest> requests;
};
