#include "WinApp.h"
#include <process.h>

static CWinApp* g_pApp = nullptr;
static thread_local CWinThread* t_pThread = nullptr;

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CWinThread::~CWinThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

CWinApp::CWinApp(LPCSTR)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinThread* AfxGetThread()
{
    return t_pThread ? t_pThread : (g_pApp && g_pApp->m_nThreadID == ::GetCurrentThreadId() ? g_pApp : nullptr);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

struct ThreadStart {
    CWinThread* thread;
    AFX_THREADPROC proc;
    LPVOID param;
};

static unsigned __stdcall ThreadEntry(void* arg)
{
    ThreadStart start = *static_cast<ThreadStart*>(arg);
    delete static_cast<ThreadStart*>(arg);
    t_pThread = start.thread;
    UINT exitCode = start.proc(start.param);
    t_pThread = nullptr;
    if (start.thread->m_bAutoDelete)
        delete start.thread;
    return exitCode;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize,
                           DWORD createFlags, LPSECURITY_ATTRIBUTES security)
{
    CWinThread* thread = new CWinThread;
    CWinThread* creator = AfxGetThread();
    thread->m_pMainWnd = creator ? creator->m_pMainWnd : nullptr;
    ThreadStart* start = new ThreadStart{ thread, proc, param };
    unsigned id = 0;
    uintptr_t handle = _beginthreadex(security, stackSize, ThreadEntry, start,
                                      createFlags | CREATE_SUSPENDED, &id);
    if (!handle) {
        delete start;
        delete thread;
        return nullptr;
    }
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    thread->m_nThreadID = id;
    ::SetThreadPriority(thread->m_hThread, priority);
    if (!(createFlags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    app->m_hInstance = instance;
    app->m_nThreadID = ::GetCurrentThreadId();
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_LISTVIEW_CLASSES };
    ::InitCommonControlsEx(&controls);
    // Without a pump of its own: a program whose InitInstance returns false
    // ends here, as do all programs built on this framework so far.
    app->InitInstance();
    return app->ExitInstance();
}
