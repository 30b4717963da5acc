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
    // Runs act after the loop has served messages for that long.
    CModalSteps& After(std::chrono::milliseconds wait, std::function<void()> act);
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
        std::chrono::milliseconds wait{0};
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
