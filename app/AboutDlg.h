// CAboutDlg: the About box, opened from the main dialog's window menu.
#pragma once
#include "../framework/afxwin.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    DECLARE_MESSAGE_MAP()
};
