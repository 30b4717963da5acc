#include "platform/imaging/startup.h"

#include <mutex>
#include <set>

namespace gdiplus {
namespace {

struct Startups {
    std::mutex mutex;
    std::set<ULONG_PTR> live;
    ULONG_PTR lastToken = 0;
};

Startups& State() {
    static Startups startups;
    return startups;
}

}  // namespace

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
    if (token == nullptr || input == nullptr) return InvalidParameter;
    if (input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
    if (output != nullptr) *output = GdiplusStartupOutput{};

    Startups& s = State();
    std::lock_guard lock(s.mutex);
    *token = ++s.lastToken;
    s.live.insert(*token);
    return Ok;
}

void GdiplusShutdown(ULONG_PTR token) {
    Startups& s = State();
    std::lock_guard lock(s.mutex);
    s.live.erase(token);
}

bool IsStarted() {
    Startups& s = State();
    std::lock_guard lock(s.mutex);
    return !s.live.empty();
}

}  // namespace gdiplus
