#include "FileFind.h"

// Converts to the system code page without best-fit look-alikes.
static CString ToCodePage(const wchar_t* text)
{
    char buffer[MAX_PATH * 2];
    int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, buffer, sizeof buffer, "?", nullptr);
    return CString(buffer, length > 0 ? length - 1 : 0);
}

BOOL CFileFind::FindFile(LPCSTR pattern)
{
    Close();
    wchar_t widePattern[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pattern, -1, widePattern, MAX_PATH))
        return FALSE;
    m_hFind = ::FindFirstFileW(widePattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHasNext = TRUE;

    char full[MAX_PATH];
    LPSTR namePart = nullptr;
    DWORD length = ::GetFullPathNameA(pattern, MAX_PATH, full, &namePart);
    if (length == 0 || length >= MAX_PATH || !namePart) {
        Close();
        return FALSE;
    }
    // Keep the separator only where it belongs to a drive root ("C:\").
    size_t rootLength = static_cast<size_t>(namePart - full);
    if (rootLength > 3 || (rootLength > 0 && full[rootLength - 2] != ':'))
        --rootLength;
    m_strRoot = CString(full, static_cast<int>(rootLength));
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHasNext)
        return FALSE;
    m_found = m_next;
    m_strName = ToCodePage(m_found.cFileName);
    m_bHasNext = ::FindNextFileW(m_hFind, &m_next);
    return m_bHasNext;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHasNext = FALSE;
}

CString CFileFind::GetFilePath() const
{
    CString path = m_strRoot;
    if (path.GetLength() == 0 || static_cast<LPCSTR>(path)[path.GetLength() - 1] != '\\')
        path += '\\';
    return path + m_strName;
}

BOOL CFileFind::IsDots() const
{
    const wchar_t* name = m_found.cFileName;
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}
