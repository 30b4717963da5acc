#pragma once
// CFileDialog: the open and save dialogs, run modally like any dialog of
// the framework (owner chosen and disabled, the main window disabled, the
// focus given back afterwards) through GetOpenFileNameA and
// GetSaveFileNameA.
//
//   CFileDialog dialog(TRUE, "jpg", "*.jpg", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
//                      "JPEG Files (*.jpg)|*.jpg|PNG Files (*.png)|*.png||");
//   if (dialog.DoModal() == IDOK) Open(dialog.GetPathName().c_str());

#include <string>
#include <vector>

#include "platform/framework/cwnd.h"
#include "platform/user/common_dialogs.h"
#include "platform/user/records.h"

namespace user {

class CFileDialog {
public:
    struct Filter {
        std::string description;
        std::string patterns;  // ';'-separated, as "*.jpg;*.jpeg"
    };

    // Texts are in the ANSI code page. filter: description and pattern
    // pairs separated by '|', ending in "||"; the first pair is selected.
    // defaultExtension is added to a name typed without an extension;
    // fileName starts in the name field. OFN_FILEMUSTEXIST (open) accepts
    // only existing files; OFN_OVERWRITEPROMPT (save) asks before an
    // existing file is chosen.
    CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension = nullptr, LPCSTR fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr, CWnd* parent = nullptr);
    virtual ~CFileDialog();
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK with a confirmed full path, or IDCANCEL.
    virtual INT_PTR DoModal();

    // The chosen file's full path, as the file system names it: the bytes
    // of a name that is not valid text come back unchanged, and the path
    // is as long as it is.
    const std::string& GetPathName() const { return path_; }
    std::string GetFileName() const;
    // The extension without its dot; empty when there is none.
    std::string GetFileExt() const;

    // The flags in effect: those given, with OFN_EXPLORER and
    // OFN_ENABLEHOOK added as the framework does.
    DWORD Flags() const { return flags_; }
    const std::vector<Filter>& Filters() const { return filters_; }
    BOOL IsOpenDialog() const { return open_; }

private:
    BOOL open_;
    std::string defaultExtension_;
    std::string initialName_;
    DWORD flags_;
    std::vector<Filter> filters_;
    CWnd* parent_;
    std::string path_;
};

}  // namespace user
