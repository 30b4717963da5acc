#include "platform/framework/file_dialog.h"

#include "platform/framework/internal/modal_owner.h"
#include "platform/kernel/code_page.h"
#include "platform/user/activation.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

// Room for any path: the dialog cannot be asked again for a longer one.
constexpr DWORD pathBufferSize = 32768;

// The pairs of a '|'-separated filter ("text|pattern|...||"), scanning
// double-byte characters whole.
std::vector<CFileDialog::Filter> SplitFilter(const std::string& filter) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < filter.size(); ++i) {
        const auto c = static_cast<unsigned char>(filter[i]);
        if (kernel::IsDBCSLeadByte(c) && i + 1 < filter.size()) {
            parts.back() += filter.substr(i, 2);
            ++i;
        } else if (c == '|') {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(c);
        }
    }
    std::vector<CFileDialog::Filter> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) break;  // the list ends at an empty description
        pairs.push_back(CFileDialog::Filter{parts[i], parts[i + 1]});
    }
    return pairs;
}

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension, LPCSTR fileName, DWORD flags, LPCSTR filter,
                         CWnd* parent)
    : open_(openFileDialog),
      defaultExtension_(defaultExtension ? defaultExtension : ""),
      initialName_(fileName ? fileName : ""),
      flags_(flags | OFN_EXPLORER | OFN_ENABLEHOOK),
      parent_(parent) {
    if (filter) filters_ = SplitFilter(filter);
}

CFileDialog::~CFileDialog() = default;

std::string CFileDialog::GetFileName() const {
    const std::size_t slash = path_.rfind('/');
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
    const std::string name = GetFileName();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

INT_PTR CFileDialog::DoModal() {
    path_.clear();
    const HWND focus = GetFocus();
    HWND top = nullptr;
    const HWND owner = internal::GetSafeOwner(parent_ ? parent_->GetSafeHwnd() : nullptr, &top);
    const bool enableOwner = owner && IsWindowEnabled(owner);
    if (enableOwner) EnableWindow(owner, FALSE);

    std::string filterList;  // "description\0patterns\0...", its end the string's own NUL
    for (const Filter& filter : filters_) {
        filterList.append(filter.description).push_back('\0');
        filterList.append(filter.patterns).push_back('\0');
    }
    std::string file(pathBufferSize, '\0');
    initialName_.copy(file.data(), file.size() - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filterList.empty() ? nullptr : filterList.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = pathBufferSize;
    ofn.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
    // The framework has no hook procedure of its own to give.
    ofn.Flags = flags_ & ~OFN_ENABLEHOOK;
    const BOOL chosen = open_ ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
    if (chosen) path_ = file.c_str();

    if (enableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner) && !GetActiveWindow()) SetActiveWindow(owner);
    if (top && IsWindow(top)) EnableWindow(top, TRUE);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return chosen ? IDOK : IDCANCEL;
}

}  // namespace user
