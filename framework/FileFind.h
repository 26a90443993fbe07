// CFileFind: the entries of one folder listing, one at a time. Names come in
// the system code page exactly: a name it cannot hold comes back as "?"
// (never as a look-alike, which would name another file or none).
#pragma once
#include "PathName.h"

class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts the listing of the entries matching `pattern` (a folder, a
    // separator and a wildcard name). False when nothing can be listed.
    BOOL FindFile(LPCSTR pattern);
    // Moves to the next entry (the first call: to the first one). Returns
    // whether a further entry follows the one moved to.
    BOOL FindNextFile();
    void Close();

    // The listed folder, absolute and normalised, joined with the entry name.
    CString GetFilePath() const;
    CString GetFileName() const { return m_strName; }
    BOOL IsDots() const;
    BOOL MatchesMask(DWORD mask) const { return (m_found.dwFileAttributes & mask) != 0; }
    // True when the entry leads elsewhere (see IsLinkEntry).
    BOOL IsLink() const { return IsLinkEntry(m_found.dwFileAttributes, m_found.dwReserved0); }

    // Opens the listing of `pattern` as every walk of the program asks for
    // one; INVALID_HANDLE_VALUE when nothing can be listed. FindNextFileW and
    // FindClose go on with it.
    static HANDLE FindFirst(LPCWSTR pattern, WIN32_FIND_DATAW* entry);

    // True for an entry that is a link of any kind (junction, symbolic link,
    // mount point), or a reparse point whose kind is not known to keep its
    // data in place (cloud placeholders, deduplicated and compressed files
    // do); a tag of 0, as some platforms report for every link, is unknown.
    static bool IsLinkEntry(DWORD attributes, DWORD reparseTag);

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW m_found = {};
    WIN32_FIND_DATAW m_next = {};
    CString m_strName;
    BOOL m_bHasNext = FALSE;
    CString m_strRoot;            // the listed folder, in the code page
    bool m_bRootIsDrive = false;  // m_strRoot ends in its separator ("C:\")
};
