#include "Wnd.h"
#include <vector>

void CWnd::GetWindowText(CString& text) const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    text = CString(buffer.data(), copied > 0 ? copied : 0);
}
