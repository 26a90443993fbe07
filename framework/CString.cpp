#include "CString.h"
#include "WinApp.h"
#include <cstdarg>

void CString::MakeLower()
{
    if (!m_str.empty())
        CharLowerBuffA(&m_str[0], static_cast<DWORD>(m_str.size()));
}

BOOL CString::LoadString(UINT id)
{
    char buffer[256];
    int length = ::LoadStringA(AfxGetInstanceHandle(), id, buffer, sizeof buffer);
    m_str.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    return length > 0;
}

void CString::Format(LPCSTR format, ...)
{
    char buffer[1025];
    va_list args;
    va_start(args, format);
    int length = wvsprintfA(buffer, format, args);
    va_end(args);
    m_str.assign(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
