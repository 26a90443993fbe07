#include "FileFind.h"

BOOL CFileFind::FindFile(LPCSTR pattern)
{
    Close();
    m_hFind = ::FindFirstFileA(pattern, &m_next);
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
    m_bHasNext = ::FindNextFileA(m_hFind, &m_next);
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
    return path + m_found.cFileName;
}

BOOL CFileFind::IsDots() const
{
    LPCSTR name = m_found.cFileName;
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
