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

std::wstring WideFromCodePage(LPCSTR text)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

CString CodePageFromWide(const wchar_t* text, int length)
{
    // Flags 0 and no default character: the only ones UTF-8 accepts.
    int size = length > 0 ? ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr) : 0;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text, length, &bytes[0], size, nullptr, nullptr);
    return CString(bytes.c_str(), size);
}
