#include "SafeDelete.h"
#include <cstring>
#include <cwchar>
#include <string>

static bool IsLink(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Reads the entry `path` as the listing of its folder shows it (asked for by
// its exact name, a link may report what it leads to instead of itself). An
// entry with the very name wins over one that differs in letter case only.
static bool ReadEntry(const std::string& path, bool* isFolder, bool* isLink, CString* storedName)
{
    size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return false;
    std::string name = path.substr(slash + 1);
    CFileFind finder;
    if (!finder.FindFile((path.substr(0, slash + 1) + "*").c_str()))
        return false;
    bool found = false;
    BOOL more;
    do {
        more = finder.FindNextFile();
        CString entry = finder.GetFileName();
        bool exact = MbsEqual(entry, name.c_str());
        if (exact || (!found && ::lstrcmpiA(entry, name.c_str()) == 0)) {
            found = true;
            *isFolder = finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) != 0;
            *isLink = finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            *storedName = entry;
            if (exact)
                break;
        }
    } while (more);
    return found;
}

FolderState CheckListedFolder(LPCSTR path, LPCSTR name, FolderSet* safeAncestors)
{
    if (std::strpbrk(path, "?*"))
        return FolderState::Refused;
    if (IsGone(path))
        return FolderState::Gone;
    bool isFolder = false, isLink = false;
    CString stored;
    if (!ReadEntry(path, &isFolder, &isLink, &stored) || !isFolder || isLink || !MbsEqual(stored, name))
        return FolderState::Refused;

    // No folder on the way may have become a link: the path would lead elsewhere.
    std::string full(path);
    for (size_t at = full.find('\\', 3); at != std::string::npos; at = full.find('\\', at + 1)) {
        std::string ancestor = full.substr(0, at);
        if (safeAncestors && safeAncestors->Contains(ancestor.c_str()))
            continue;
        if (!ReadEntry(ancestor, &isFolder, &isLink, &stored) || !isFolder || isLink)
            return FolderState::Refused;
        if (safeAncestors)
            safeAncestors->Add(ancestor.c_str());
    }
    return FolderState::Ready;
}

// True when the file at `path` is itself, not a link to another: opened, it
// must report its own path as its final path. (Some platforms list a link to
// a file as a plain file, and deleting it there deletes what it leads to.)
static bool IsOwnFile(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    wchar_t final[MAX_PATH * 4];
    DWORD length = ::GetFinalPathNameByHandleW(file, final, MAX_PATH * 4, FILE_NAME_NORMALIZED);
    ::CloseHandle(file);
    if (length == 0 || length >= MAX_PATH * 4)
        return false;
    auto plain = [](const wchar_t* text) { return std::wcsncmp(text, L"\\\\?\\", 4) == 0 ? text + 4 : text; };
    return ::lstrcmpiW(plain(final), plain(path.c_str())) == 0;
}

// The walk inside a folder uses the wide API: names that the code page cannot
// show must be seen as they are, or a link behind one would go unnoticed.
static bool RemoveLinksInsideW(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    bool ok = true;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + L"\\" + name;
        bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (IsLink(entry.dwFileAttributes))
            ok = isFolder ? ::RemoveDirectoryW(path.c_str()) != 0 : ::DeleteFileW(path.c_str()) != 0;
        else if (isFolder)
            ok = RemoveLinksInsideW(path);
        else
            ok = IsOwnFile(path);
    } while (ok && ::FindNextFileW(find, &entry));
    if (ok && ::GetLastError() != ERROR_NO_MORE_FILES)
        ok = false;
    ::FindClose(find);
    return ok;
}

bool RemoveLinksInside(LPCSTR folder)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, folder, -1, nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, folder, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    if (wide.size() >= MAX_PATH)
        wide = L"\\\\?\\" + wide;
    return RemoveLinksInsideW(wide);
}

bool IsGone(LPCSTR path)
{
    if (std::strlen(path) >= MAX_PATH || ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

static std::string FolderKey(LPCSTR path)
{
    std::string key(path);
    if (!key.empty())
        ::CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

void FolderSet::Add(LPCSTR folder)
{
    m_keys.insert(FolderKey(folder));
}

bool FolderSet::Contains(LPCSTR folder) const
{
    return m_keys.count(FolderKey(folder)) != 0;
}

bool FolderSet::HasAncestorOf(LPCSTR path) const
{
    std::string key = FolderKey(path);
    for (size_t at = key.find('\\'); at != std::string::npos; at = key.find('\\', at + 1))
        if (m_keys.count(key.substr(0, at)))
            return true;
    return false;
}

BOOL ShellDelete(const std::vector<CString>& paths)
{
    CString list;   // each path with its NUL, then one more NUL
    for (const CString& path : paths) {
        list += path;
        list += '\0';
    }
    list += '\0';

    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = list;
    operation.pTo = nullptr;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    operation.fAnyOperationsAborted = FALSE;
    operation.hNameMappings = nullptr;
    operation.lpszProgressTitle = "Cleaner";
    ::SHFileOperationA(&operation);
    return operation.fAnyOperationsAborted;
}
