#include "platform/user/html_help.h"

#include <array>
#include <limits>
#include <memory>
#include <string>

#include "platform/kernel/modules.h"
#include "platform/user/chm_file.h"
#include "platform/user/help_viewer.h"

namespace user {
namespace {

HWND HtmlHelpA(HWND caller, const char* file, UINT command, DWORD_PTR data) {
    if (!file) return nullptr;
    std::shared_ptr<const CChmFile> help = CChmFile::Open(file);
    if (!help) return nullptr;
    std::string topic;
    switch (command) {
        case HH_HELP_CONTEXT: {
            if (data > std::numeric_limits<DWORD>::max()) return nullptr;
            const auto mapped = help->TopicOfContext(static_cast<DWORD>(data));
            if (!mapped) return nullptr;
            topic = *mapped;
            break;
        }
        case HH_DISPLAY_TOPIC:
            topic = data ? std::string(reinterpret_cast<const char*>(data)) : help->DefaultTopic();
            break;
        case HH_DISPLAY_TOC: topic = help->DefaultTopic(); break;
        default: return nullptr;
    }
    if (topic.empty()) return nullptr;
    if (topic.front() != '/') topic.insert(topic.begin(), '/');
    return ShowHelpTopic(std::move(help), topic, caller);
}

}  // namespace

void InstallHtmlHelpModule() {
    static const std::array<kernel::ModuleExport, 1> exports{
        {{"HtmlHelpA", reinterpret_cast<kernel::FARPROC>(&HtmlHelpA)}}};
    kernel::RegisterModule("hhctrl.ocx", exports);
}

}  // namespace user
