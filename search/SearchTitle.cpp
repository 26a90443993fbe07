// The window title during a walk. The walk sets one title for every folder it
// enters, hundreds a second; repainting the caption for each would cost far
// more than the walk itself. So while the walk runs, a title is kept here at
// once (GetWindowText returns it) and shown on screen at most every
// kTitleIntervalMs, the last one at the latest kTitleIntervalMs after it was
// set. Outside a walk, and for the run's final title, every title is shown at
// once. All of this runs on the UI thread.
#include "../app/CleanerDlg.h"
#include <algorithm>
#include <cstring>

static const UINT_PTR kTitleTimer = 1;
// The caption may lag the title by 50 ms at most. Half of that is the
// interval; the other half is for what else holds the UI thread when a
// caption is due (painting a new row takes up to 20 ms on Wine) and for the
// scheduler.
static const DWORD kTitleIntervalMs = 25;

// Milliseconds of a clock finer than GetTickCount, which moves in steps of
// about 16 ms (on Windows by default, and on Wine): with it, "25 ms since the
// caption was shown" could be 41.
static DWORD NowMs()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);   // fixed at boot
        return value.QuadPart;
    }();
    LARGE_INTEGER count;
    ::QueryPerformanceCounter(&count);
    return static_cast<DWORD>(count.QuadPart * 1000 / frequency);
}

LRESULT CCleanerDlg::OnSetText(WPARAM, LPARAM lParam)
{
    m_title.text = reinterpret_cast<LPCSTR>(lParam);
    DWORD sinceShown = NowMs() - m_title.shownMs;
    if (!m_bWalking || sinceShown >= kTitleIntervalMs) {
        ShowTitle();
    } else if (!m_title.pending) {
        m_title.pending = true;
        SetTimer(kTitleTimer, kTitleIntervalMs - sinceShown);
    }
    return TRUE;
}

// WM_GETTEXT: the title kept here while it waits to be shown.
LRESULT CCleanerDlg::OnGetText(WPARAM size, LPARAM buffer)
{
    if (!m_title.pending) {
        Default();
        return 0;
    }
    if (size == 0)
        return 0;
    size_t length = std::min(static_cast<size_t>(m_title.text.GetLength()), static_cast<size_t>(size) - 1);
    std::memcpy(reinterpret_cast<char*>(buffer), static_cast<LPCSTR>(m_title.text), length);
    reinterpret_cast<char*>(buffer)[length] = '\0';
    return static_cast<LRESULT>(length);
}

LRESULT CCleanerDlg::OnGetTextLength(WPARAM, LPARAM)
{
    if (!m_title.pending)
        Default();
    return m_title.text.GetLength();
}

void CCleanerDlg::OnTimer(UINT_PTR id)
{
    if (id == kTitleTimer)
        ShowTitle();
}

// Stores the kept title as the window's own and repaints the caption.
void CCleanerDlg::ShowTitle()
{
    if (m_title.pending)
        KillTimer(kTitleTimer);
    m_title.pending = false;
    DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(m_title.text)));
    m_title.shownMs = NowMs();
}
