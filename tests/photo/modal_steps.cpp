#include "tests/photo/modal_steps.h"

#include "platform/user/user.h"
#include "tests/support/gui_pump.h"

namespace phototest {

namespace {
constexpr auto stepLimit = std::chrono::seconds(10);
}

CModalSteps& CModalSteps::Then(std::function<bool()> ready, std::function<void()> act) {
    state_->steps.push_back(Step{std::move(ready), std::move(act)});
    return *this;
}

CModalSteps& CModalSteps::AfterInput(std::function<void()> act) {
    state_->steps.push_back(Step{[] { return true; }, std::move(act), true});
    return *this;
}

CModalSteps& CModalSteps::CancelOnTimeout(std::function<user::HWND()> dialog) {
    state_->dialog = std::move(dialog);
    return *this;
}

void CModalSteps::Start() {
    state_->since = std::chrono::steady_clock::now();
    Poll(state_);
}

void CModalSteps::Poll(std::shared_ptr<State> state) {
    testsupport::RunSoon(
        [state] {
            if (state->next == state->steps.size()) return;
            Step& step = state->steps[state->next];
            const auto now = std::chrono::steady_clock::now();
            if (step.afterInput && step.marker == 0) step.marker = testsupport::SendMarker();
            if ((!step.afterInput || testsupport::MarkerSeen(step.marker)) && step.ready()) {
                ++state->next;
                state->since = now;
                // Polling goes on even when the step opens a loop of its own.
                Poll(state);
                if (step.act) step.act();
                return;
            }
            if (now - state->since > stepLimit) {
                state->timedOut = true;
                if (state->dialog) {
                    if (const user::HWND dialog = state->dialog()) {
                        user::SendMessageA(dialog, user::WM_COMMAND, user::IDCANCEL, 0);
                    }
                }
                return;
            }
            Poll(state);
        },
        std::chrono::milliseconds(10));
}

}  // namespace phototest
