#pragma once
// Serving the message queue: modal runs, menus and message boxes run a
// nested loop on the one GUI thread while every window keeps working.

#include <memory>

namespace user {

// Handles every message and event already waiting, then returns.
void ProcessMessages();

// One nested run of the message loop. Run returns the result End gave;
// ending an outer run while an inner one is going ends it once the inner one
// has returned.
class CModalLoop {
public:
    CModalLoop();
    ~CModalLoop();
    CModalLoop(const CModalLoop&) = delete;
    CModalLoop& operator=(const CModalLoop&) = delete;

    int Run();
    void End(int result);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace user
