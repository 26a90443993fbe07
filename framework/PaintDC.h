// CPaintDC: the paint context of one WM_PAINT, open for the object's lifetime.
#pragma once
#include "Wnd.h"

class CPaintDC {
public:
    HDC m_hDC;

    explicit CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
};
