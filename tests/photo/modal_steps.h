#pragma once
// Acting on a dialog from inside its own modal run: a list of steps, each
// run on the GUI thread once its condition holds. A step that waits too
// long ends the list as timed out and cancels the dialog the list names,
// so that a lost key fails the test instead of hanging it.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/records.h"

namespace phototest {

class CModalSteps {
public:
    // Runs act once ready() holds. Conditions are polled every 10 ms.
    CModalSteps& Then(std::function<bool()> ready, std::function<void()> act);
    // Runs act once the program has handled all the input that the steps
    // before sent (see testsupport::Settle).
    CModalSteps& AfterInput(std::function<void()> act);
    // What the steps cancel when they give up (returns null when nothing).
    CModalSteps& CancelOnTimeout(std::function<user::HWND()> dialog);

    // Starts polling; the steps run inside whatever loop serves messages.
    void Start();
    bool Finished() const { return state_->next == state_->steps.size(); }
    bool TimedOut() const { return state_->timedOut; }
    // The step that timed out, from 0.
    std::size_t StepReached() const { return state_->next; }

private:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
        bool afterInput = false;
        long marker = 0;  // sent once the step is reached
    };
    struct State {
        std::vector<Step> steps;
        std::size_t next = 0;
        bool timedOut = false;
        std::function<user::HWND()> dialog;
        std::chrono::steady_clock::time_point since;
    };
    static void Poll(std::shared_ptr<State> state);

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace phototest
