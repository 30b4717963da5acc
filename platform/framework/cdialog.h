#pragma once
// CDialog: a dialog made from a template resource, run modally. A dialog
// class names its template, exchanges its fields with the controls in
// DoDataExchange, and overrides the steps and handlers it needs:
//
//   class CResizeDialog : public user::CDialog {
//   public:
//       CResizeDialog() : CDialog(139) {}
//       int length = 0;
//   protected:
//       void DoDataExchange(user::CDataExchange* dx) override {
//           user::DDX_Text(dx, 1002, length);
//       }
//   };
//
// The run: the owner is the given parent or else the main window's most
// recently active pop-up; that owner and the main window are disabled while
// the dialog runs and enabled again after; every other window keeps
// working, and modal runs nest. After WM_INITDIALOG a dialog whose template
// is not visible and which did not move meanwhile is centred over its
// owner when the owner is disabled (or missing).

#include "platform/framework/cwnd.h"
#include "platform/framework/data_exchange.h"
#include "platform/user/dialogs.h"
#include "platform/user/message_loop.h"

namespace user {

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // IDOK or IDCANCEL (or what EndDialog was given); -1 when the dialog
    // cannot be created (no such template, or a control that cannot be).
    virtual INT_PTR DoModal();
    // Ends the modal run with result; the dialog disappears at once.
    void EndDialog(int result);
    // Runs DoDataExchange in one direction. FALSE when a field could not
    // be read (the user has been told, and the focus is on the field).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT TemplateId() const { return templateId_; }

protected:
    // WM_INITDIALOG: writes the fields into the controls. TRUE: the first
    // tab stop gets the focus.
    virtual BOOL OnInitDialog();
    // IDOK: reads the fields; ends with IDOK only when that succeeds.
    virtual void OnOK();
    // IDCANCEL (also Esc and the close box): ends with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    // WM_COMMANDHELP: with lParam 0, help for this dialog's own context
    // (HID_BASE_RESOURCE + template id). Nonzero when help was shown.
    virtual LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);

    // Routes WM_INITDIALOG, the dialog's commands (commands the dialog does
    // not take go on to the application object) and WM_COMMANDHELP.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT HandleInitDialog();
    LRESULT HandleCommand(WPARAM wParam, LPARAM lParam);
    // Notes how the run ends and ends it when it is going.
    void EndModal(INT_PTR result, bool active);

    UINT templateId_;
    CWnd* parent_;
    CModalLoop loop_;
    bool running_ = false;
    bool ended_ = false;
    bool activeWhenEnded_ = false;  // the owner takes the activation back
    bool templateVisible_ = false;
    INT_PTR result_ = IDCANCEL;
};

}  // namespace user
