#include "platform/framework/data_exchange.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/user/activation.h"
#include "platform/user/controls.h"
#include "platform/user/dialogs.h"
#include "platform/framework/internal/exchange_failure.h"
#include "platform/user/messages.h"
#include "platform/framework/win_app.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

// The text read from a field: 63 bytes at most, as a 64-byte buffer holds.
constexpr int fieldBuffer = 64;

bool Blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool Digit(char c) { return c >= '0' && c <= '9'; }

// C's "%d" without its undefined behaviour: an integer beyond 32 bits is
// no integer here.
bool ParseInteger(const char* text, int* value) {
    const char* p = text;
    while (Blank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!Digit(*p)) return false;
    long long magnitude = 0;
    for (; Digit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) return false;
    *value = static_cast<int>(signedValue);
    return true;
}

void SetTextIfDifferent(HWND control, const char* text) {
    const int length = GetWindowTextLengthA(control);
    std::string current(static_cast<std::size_t>(length) + 1, '\0');
    const int read = GetWindowTextA(control, current.data(), length + 1);
    current.resize(static_cast<std::size_t>(read));
    if (current != text) SetWindowTextA(control, text);
}

}  // namespace

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate) : saveAndValidate(saveAndValidate), dialog(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
    const HWND control = dialog ? dialog->GetDlgItem(id) : nullptr;
    if (!control) throw internal::CExchangeFailure();
    lastControl_ = control;
    lastIsEdit_ = false;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    const HWND control = PrepareCtrl(id);
    lastIsEdit_ = true;
    return control;
}

void CDataExchange::Fail() {
    if (saveAndValidate && IsWindow(lastControl_)) {
        SetFocus(lastControl_);
        if (lastIsEdit_) SendMessageA(lastControl_, EM_SETSEL, 0, -1);
    }
    throw internal::CExchangeFailure();
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    const HWND control = dx->PrepareEditCtrl(id);
    if (!dx->saveAndValidate) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", value);
        SetTextIfDifferent(control, text);
        return;
    }
    char text[fieldBuffer] = {};
    GetWindowTextA(control, text, fieldBuffer);
    int parsed = 0;
    if (!ParseInteger(text, &parsed)) {
        AfxMessageBox(AFX_IDP_PARSE_INT, MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
    value = parsed;
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->saveAndValidate) value = -1;
    int index = 0;
    do {
        if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (dx->saveAndValidate) {
                if (SendMessageA(control, BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = index;
            } else {
                SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        control = GetWindow(control, GW_HWNDNEXT);
    } while (control && !(GetWindowLongPtrA(control, GWL_STYLE) & WS_GROUP));
}

}  // namespace user
