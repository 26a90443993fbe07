#include "SafeDelete.h"
#include <cstring>
#include <string>

static bool IsLink(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Reads the entry `path` as the listing of its folder shows it: asked for by
// its exact name, a link may report what it leads to instead of itself.
static bool ReadEntry(const std::string& path, WIN32_FIND_DATAA* found)
{
    size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return false;
    std::string name = path.substr(slash + 1);
    HANDLE find = ::FindFirstFileA((path.substr(0, slash + 1) + "*").c_str(), found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool match = false;
    do {
        match = ::lstrcmpiA(found->cFileName, name.c_str()) == 0;
    } while (!match && ::FindNextFileA(find, found));
    ::FindClose(find);
    return match;
}

FolderState CheckListedFolder(LPCSTR path, LPCSTR name)
{
    if (std::strpbrk(path, "?*"))
        return FolderState::Refused;
    if (!PathExists(path)) {
        DWORD error = ::GetLastError();
        bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return gone ? FolderState::Gone : FolderState::Refused;
    }
    WIN32_FIND_DATAA entry;
    if (!ReadEntry(path, &entry) || !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        IsLink(entry.dwFileAttributes) || !MbsEqual(entry.cFileName, name))
        return FolderState::Refused;

    // No folder on the way may have become a link: the path would lead elsewhere.
    std::string full(path);
    for (size_t at = full.find('\\', 3); at != std::string::npos; at = full.find('\\', at + 1)) {
        if (!ReadEntry(full.substr(0, at), &entry) || IsLink(entry.dwFileAttributes))
            return FolderState::Refused;
    }
    return FolderState::Ready;
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

bool IsInsideFolder(LPCSTR path, LPCSTR ancestor)
{
    size_t length = std::strlen(ancestor);
    if (length == 0 || std::strlen(path) <= length || path[length] != '\\')
        return false;
    return ::CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, static_cast<int>(length),
                            ancestor, static_cast<int>(length)) == CSTR_EQUAL;
}

bool PathExists(LPCSTR path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
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
