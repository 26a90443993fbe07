// The application object: runs the main dialog once, then ends the program.
#pragma once
#include "../framework/afxwin.h"

class CCleanerApp : public CWinApp {
public:
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
