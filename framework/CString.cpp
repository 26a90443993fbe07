#include "CString.h"
#include "WinApp.h"

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

int CString::Find(char ch, int start) const
{
    const unsigned char* text = reinterpret_cast<const unsigned char*>(m_str.c_str());
    const unsigned char* found = _mbschr(text + start, static_cast<unsigned char>(ch));
    return found ? static_cast<int>(found - text) : -1;
}

int CString::ReverseFind(char ch) const
{
    const unsigned char* text = reinterpret_cast<const unsigned char*>(m_str.c_str());
    const unsigned char* found = _mbsrchr(text, static_cast<unsigned char>(ch));
    return found ? static_cast<int>(found - text) : -1;
}
