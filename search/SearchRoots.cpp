// Search roots: every local drive, recorded when the dialog opens, or the one
// folder picked with Select Drive; and the Windows directory, never walked.
#include "../app/CleanerDlg.h"

void CCleanerDlg::FillSearchRoots()
{
    DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1UL << i)))
            continue;
        char root[4];
        ::wsprintfA(root, "%c:\\", 'A' + i);   // the type is asked of the root
        if (::GetDriveTypeA(root) == DRIVE_REMOTE)
            continue;
        ::wsprintfA(m_szDrives[m_nDriveCount], "%c:", 'A' + i);
        ++m_nDriveCount;
    }

    // The shared Windows directory: on a Remote Desktop host
    // GetWindowsDirectory may name a private one of the user's instead
    // (Wine has no such hosts: both give C:\windows).
    ::GetSystemWindowsDirectoryA(m_szWindowsDir, MAX_PATH);
    m_windowsDirId = ReadFolderId(m_szWindowsDir);
    LPCSTR name = reinterpret_cast<LPCSTR>(_mbsrchr(reinterpret_cast<const unsigned char*>(m_szWindowsDir), '\\'));
    m_strWindowsName = name ? name + 1 : m_szWindowsDir;
}

// Picks the folder to search instead of the drives; a cancelled picker
// returns to the drives. Only file-system folders can be picked (OK is
// greyed on a Library, This PC, Network and the like). The path is read in
// UTF-16 and taken only when the code page holds it exactly: the walk could
// not open a look-alike, or would open another folder. A picked item with no
// path, or one the code page cannot hold, is named to the user as not
// searchable, and the search returns to the drives.
void CCleanerDlg::OnSelectDrive()
{
    BROWSEINFOA info = {};
    char displayName[MAX_PATH] = "";
    info.hwndOwner = m_hWnd;   // no other button can be used while it is open
    info.pszDisplayName = displayName;
    info.lpszTitle = "Browse for Search Directory";
    info.ulFlags = BIF_EDITBOX | BIF_RETURNONLYFSDIRS;

    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderA(&info);   // COM is set up for the UI thread's life
    wchar_t path[MAX_PATH] = L"";
    if (item) {
        if (!::SHGetPathFromIDListW(item, path))   // no path ("\\server"), or one of MAX_PATH or more
            path[0] = L'\0';
        ::CoTaskMemFree(item);
    }
    CString picked = path[0] ? CodePageFromWide(path, lstrlenW(path)) : CString();
    m_bUseSearchDir = 0;
    LPCSTR why = nullptr;
    if (!picked.IsEmpty() && WideFromCodePage(picked) == path) {
        m_strSearchDir = picked;
        m_bUseSearchDir = 1;
    } else if (!picked.IsEmpty()) {
        why = "its path holds characters that the system's code page cannot show";
    } else if (item) {
        why = "it is not a folder of the file system, or its path is too long";
    }
    if (why)
        MessageBox(CString("The folder you picked cannot be searched: ") + why +
                   ".\n\nThe search will cover all local drives.", kProductName, MB_OK | MB_ICONWARNING);
}
