#include "FileFind.h"

bool CFileFind::IsLinkEntry(DWORD attributes, DWORD reparseTag)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    if ((reparseTag & 0xFFFF0FFF) == 0x9000001A)   // IO_REPARSE_TAG_CLOUD and CLOUD_1 to CLOUD_F
        return false;
    switch (reparseTag) {
    case 0x80000013:   // IO_REPARSE_TAG_DEDUP
    case 0x80000017:   // IO_REPARSE_TAG_WOF
    case 0xC0000004:   // IO_REPARSE_TAG_HSM
    case 0x80000006:   // IO_REPARSE_TAG_HSM2
    case 0x80000007:   // IO_REPARSE_TAG_SIS
    case 0x8000001E:   // IO_REPARSE_TAG_STORAGE_SYNC
    case 0x80000021:   // IO_REPARSE_TAG_ONEDRIVE
        return false;
    default:
        return true;
    }
}

HANDLE CFileFind::FindFirst(LPCWSTR pattern, WIN32_FIND_DATAW* entry)
{
    // The basic information leaves out the short 8.3 names, which nothing here
    // reads (cAlternateFileName stays empty); the large fetch asks the file
    // system for entries in larger batches, fewer round trips on a share.
    // Both are of Windows 7 and later, documented to list folders faster.
    // (Wine takes both; its listing skips the short names and ignores the
    // large fetch.) A file system or redirector that refuses either is asked
    // as FindFirstFileW asks: on any failure that does not say the folder is
    // empty, missing or closed to the user (some FAT32 volumes fail the basic
    // information with ERROR_NO_UNICODE_TRANSLATION where the plain call works).
    HANDLE find = ::FindFirstFileExW(pattern, FindExInfoBasic, entry, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE)
        return find;
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_ACCESS_DENIED)
        return find;
    return ::FindFirstFileW(pattern, entry);
}

BOOL CFileFind::FindFile(LPCSTR pattern)
{
    Close();
    wchar_t widePattern[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pattern, -1, widePattern, MAX_PATH))
        return FALSE;
    wchar_t full[MAX_PATH];
    LPWSTR namePart = nullptr;
    DWORD length = ::GetFullPathNameW(widePattern, MAX_PATH, full, &namePart);
    if (length == 0 || length >= MAX_PATH || !namePart)
        return FALSE;
    // Keep the separator only where it belongs to a drive root ("C:\").
    size_t rootLength = static_cast<size_t>(namePart - full);
    m_bRootIsDrive = rootLength == 3 && full[1] == L':';
    if (!m_bRootIsDrive && rootLength > 0)
        --rootLength;
    full[rootLength] = L'\0';
    m_strRoot = NameInCodePage(full, ::GetACP());
    if (rootLength > 0 && MbsEqual(m_strRoot, "?"))
        return FALSE;

    m_hFind = FindFirst(widePattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHasNext = TRUE;
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHasNext)
        return FALSE;
    m_found = m_next;
    m_strName = NameInCodePage(m_found.cFileName, ::GetACP());
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
    return m_bRootIsDrive ? m_strRoot + m_strName : m_strRoot + "\\" + m_strName;
}

BOOL CFileFind::IsDots() const
{
    const wchar_t* name = m_found.cFileName;
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}
