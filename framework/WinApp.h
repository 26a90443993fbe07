// CWinThread and CWinApp: the program's threads and its one application object.
#pragma once
#include "CmdTarget.h"

class CWnd;

// The standard Help command of the framework's applications.
#define ID_HELP 0xE146

class CWinThread : public CCmdTarget {
public:
    CWnd* m_pMainWnd = nullptr;   // not owned
    HANDLE m_hThread = nullptr;   // owned; closed by the destructor
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;    // delete the object when the thread ends

    ~CWinThread() override;
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
};

typedef UINT (*AFX_THREADPROC)(LPVOID);

// Starts `proc(param)` on a new thread, which inherits the calling thread's
// main window. Returns nullptr when the thread cannot be created. Start it
// with CREATE_SUSPENDED and clear m_bAutoDelete to keep (and later delete)
// the returned object and its handle.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param,
                           int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;

    // Called once at start-up; false ends the program at once.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // Kept for its place in start-up: the 3-D look is the system's own.
    BOOL Enable3dControls() { return TRUE; }
    // The standard Help command: there is no help file to show.
    void OnHelp() {}

    DECLARE_MESSAGE_MAP()
};

// The thread object of the calling thread (the application object on the
// main thread), or nullptr on a thread not started by the framework.
CWinThread* AfxGetThread();
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// No ActiveX controls are hosted: nothing to enable.
inline void AfxEnableControlContainer() {}

// The framework's entry: called from WinMain.
int AfxWinMain(HINSTANCE instance);
