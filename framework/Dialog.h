// CDialog: a modal dialog built from a template of the program's resources,
// with control binding (DDX_Control) and the dispatch table of its class.
#pragma once
#include "Wnd.h"

class CDataExchange {
public:
    CWnd* m_pDlgWnd;
};

// Binds the dialog's control `id` to `control` (the control keeps its own
// window procedure; the object only holds the handle).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Runs the dialog until EndDialog; returns the value passed to it, or -1
    // when the dialog cannot be created. The owner is the parent given at
    // construction, else the thread's main window; it is disabled meanwhile.
    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // Converts a rectangle in dialog units of this dialog's font to pixels.
    void MapDialogRect(LPRECT rect) const { ::MapDialogRect(m_hWnd, rect); }

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Binds the controls (DoDataExchange).
    BOOL UpdateData(BOOL saveAndValidate);
    // Centres the window over its owner, or in the work area when it has none.
    void CenterWindow();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    WNDPROC m_pfnSuper = nullptr;   // the dialog manager's window procedure
};
