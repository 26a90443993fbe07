#include "SafeDelete.h"
#include <cstring>
#include <string>

// Reads the entry `path` as the listing of its folder shows it (asked for by
// its exact name, a link may report what it leads to instead of itself). An
// entry with the very name wins over one that differs in letter case only.
static bool ReadEntry(const CString& path, bool* isFolder, bool* isLink, CString* storedName)
{
    int slash = path.ReverseFind('\\');
    if (slash < 0)
        return false;
    CString name(static_cast<LPCSTR>(path) + slash + 1);
    CFileFind finder;
    if (!finder.FindFile(path.Left(slash + 1) + "*"))
        return false;
    bool found = false;
    BOOL more;
    do {
        more = finder.FindNextFile();
        CString entry = finder.GetFileName();
        bool exact = MbsEqual(entry, name);
        if (exact || (!found && SameFileName(entry, name))) {
            found = true;
            *isFolder = finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) != 0;
            *isLink = finder.IsLink() != 0;
            *storedName = entry;
            if (exact)
                break;
        }
    } while (more);
    return found;
}

// Bytes of the root that `path` starts with: "C:\" or "\\server\share\";
// -1 for any other start.
static int RootLength(const CString& path)
{
    LPCSTR text = path;
    if (path.GetLength() >= 3 && text[1] == ':' && text[2] == '\\')
        return 3;
    if (path.GetLength() < 2 || text[0] != '\\' || text[1] != '\\')
        return -1;
    int server = path.Find('\\', 2);
    int share = server > 2 ? path.Find('\\', server + 1) : -1;
    return share > server + 1 ? share + 1 : -1;
}

FolderState CheckListedFolder(LPCSTR listedPath, LPCSTR name, FolderSet* safeAncestors)
{
    CString path(listedPath);
    int root = RootLength(path);
    if (root < 0 || path.GetLength() <= root || std::strpbrk(path, "?*"))
        return FolderState::Refused;
    if (IsGone(path))
        return FolderState::Gone;
    bool isFolder = false, isLink = false;
    CString stored;
    if (!ReadEntry(path, &isFolder, &isLink, &stored) || !isFolder || isLink || !MbsEqual(stored, name))
        return FolderState::Refused;

    // No folder on the way below the root may have become a link: the path
    // would lead elsewhere.
    for (int at = path.Find('\\', root); at >= 0; at = path.Find('\\', at + 1)) {
        CString ancestor = path.Left(at);
        if (safeAncestors && safeAncestors->Contains(ancestor))
            continue;
        if (!ReadEntry(ancestor, &isFolder, &isLink, &stored) || !isFolder || isLink)
            return FolderState::Refused;
        if (safeAncestors)
            safeAncestors->Add(ancestor);
    }
    return FolderState::Ready;
}

// The final path of what `path` names, or "" when it cannot be opened.
static std::wstring FinalPath(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::wstring();
    std::wstring final(MAX_PATH * 4, L'\0');
    DWORD length = ::GetFinalPathNameByHandleW(file, &final[0], MAX_PATH * 4, FILE_NAME_NORMALIZED);
    ::CloseHandle(file);
    final.resize(length < MAX_PATH * 4 ? length : 0);
    return final;
}

// Removes the links inside `folder` (whose final path is `folderFinal`). The
// walk uses the wide API: names that the code page cannot show must be seen
// as they are, or a link behind one would go unnoticed. A file must be itself,
// not a link to another (some platforms list a link to a file as a plain
// file, and deleting it there deletes what it leads to): its final path must
// be its folder's final path and its name, so that a drive letter mapped
// onto another drive or share cancels out.
static bool RemoveLinksInsideW(const std::wstring& folder, const std::wstring& folderFinal)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    bool ok = !folderFinal.empty();
    while (ok) {
        std::wstring name = entry.cFileName;
        std::wstring path = folder + L"\\" + name;
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool isDots = name == L"." || name == L"..";
        if (!isDots && CFileFind::IsLinkEntry(entry.dwFileAttributes, entry.dwReserved0))
            ok = isFolder ? ::RemoveDirectoryW(path.c_str()) != 0 : ::DeleteFileW(path.c_str()) != 0;
        else if (!isDots && isFolder)
            ok = RemoveLinksInsideW(path, folderFinal + L"\\" + name);
        else if (!isDots)
            ok = SameFileName(FinalPath(path), folderFinal + L"\\" + name);
        if (ok && !::FindNextFileW(find, &entry)) {
            ok = ::GetLastError() == ERROR_NO_MORE_FILES;
            break;
        }
    }
    ::FindClose(find);
    return ok;
}

bool RemoveLinksInside(LPCSTR folder)
{
    std::wstring wide = WideFromCodePage(folder);
    if (wide.empty())
        return false;
    if (wide.size() >= MAX_PATH)
        wide = L"\\\\?\\" + wide;
    return RemoveLinksInsideW(wide, FinalPath(wide));
}

bool IsGone(LPCSTR path)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);   // characters, not bytes
    if (length == 0 || length > MAX_PATH || ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void FolderSet::Add(LPCSTR folder)
{
    m_keys.insert(FileNameKey(folder));
}

bool FolderSet::Contains(LPCSTR folder) const
{
    return m_keys.count(FileNameKey(folder)) != 0;
}

bool FolderSet::HasAncestorOf(LPCSTR path) const
{
    std::wstring key = FileNameKey(path);
    for (size_t at = key.find(L'\\'); at != std::wstring::npos; at = key.find(L'\\', at + 1))
        if (m_keys.count(key.substr(0, at)))
            return true;
    return false;
}

bool ShellDelete(const std::vector<CString>& paths, HWND owner, bool showErrors)
{
    CString list;   // each path with its NUL, then one more NUL
    for (const CString& path : paths) {
        list += path;
        list += '\0';
    }
    list += '\0';

    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = list;
    operation.pTo = nullptr;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | (showErrors ? 0 : FOF_NOERRORUI);
    operation.fAnyOperationsAborted = FALSE;
    operation.hNameMappings = nullptr;
    operation.lpszProgressTitle = "Cleaner";
    ::SHFileOperationA(&operation);
    return operation.fAnyOperationsAborted != FALSE;
}
