#include "PathName.h"

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

CString NameInCodePage(const wchar_t* name, UINT codePage)
{
    // UTF-8 holds every name, and refuses the flags and default character
    // that keep the other code pages from look-alikes. The buffer holds any
    // name or path of MAX_PATH characters in any code page.
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    LPCSTR fallback = utf8 ? nullptr : "?";
    char text[MAX_PATH * 4];
    int length = ::WideCharToMultiByte(codePage, flags, name, -1, text, sizeof text, fallback, nullptr);
    return length > 1 ? CString(text, length - 1) : CString("?");
}

std::wstring FileNameKey(const std::wstring& name)
{
    std::wstring key = name;
    if (!key.empty())
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.c_str(), static_cast<int>(name.size()),
                        &key[0], static_cast<int>(key.size()), nullptr, nullptr, 0);
    return key;
}

std::wstring FileNameKey(LPCSTR name)
{
    return FileNameKey(WideFromCodePage(name));
}

bool SameFileName(const std::wstring& left, const std::wstring& right)
{
    return left.size() == right.size() && FileNameKey(left) == FileNameKey(right);
}

bool SameFileName(LPCSTR left, LPCSTR right)
{
    return FileNameKey(left) == FileNameKey(right);
}

CString JoinPath(const CString& folder, const CString& name)
{
    // A trailing byte '\\' may be the second byte of a double-byte character.
    int length = folder.GetLength();
    if (length > 0 && static_cast<LPCSTR>(folder)[length - 1] == '\\' &&
        !_mbsbtype(reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(folder)), length - 1))
        return folder + name;
    return folder + "\\" + name;
}

int RootLength(const CString& path)
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

CString PathRoot(const CString& path)
{
    int length = RootLength(path);
    if (length > 0)
        return path.Left(length);
    int server = path.Find('\\', 2);
    bool share = RootLength(path + "\\") == path.GetLength() + 1 && server > 2;
    return share ? path + "\\" : CString();
}

std::wstring LongPath(LPCSTR path)
{
    std::wstring wide = WideFromCodePage(path);
    if (wide.size() > 2 && wide[0] == L'\\' && wide[1] == L'\\')
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide.empty() ? wide : L"\\\\?\\" + wide;
}

size_t LongRootLength(const std::wstring& path)
{
    const std::wstring unc = L"\\\\?\\UNC\\";
    if (path.compare(0, unc.size(), unc) != 0)
        return path.size() >= 7 && path[5] == L':' && path[6] == L'\\' ? 7 : 0;
    size_t server = path.find(L'\\', unc.size());
    size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
    return server > unc.size() && share != std::wstring::npos && share > server + 1 ? share + 1 : 0;
}

FolderId ReadFolderId(LPCSTR path)
{
    FolderId id;
    // No access rights are asked for: reading the identity needs none.
    HANDLE handle = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return id;
    // FILE_ID_INFO, of Windows 8 and later (the headers show it only to
    // programs for Windows 8): a 128-bit id, unique on ReFS too, where the
    // 64-bit index is not. Where the class is refused (Windows 7, some file
    // systems) or gives 0 (no 128-bit id), the 64-bit index: one file system
    // always answers in the same form. Any other failure: not read.
    struct {
        ULONGLONG volume;
        BYTE file[16];
    } info128;
    const auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
    static const BYTE kNone[16] = {};
    BY_HANDLE_FILE_INFORMATION info;
    DWORD error = ERROR_SUCCESS;
    if (::GetFileInformationByHandleEx(handle, kFileIdInfo, &info128, sizeof info128)) {
        id.volume = info128.volume;
        std::memcpy(id.file, info128.file, sizeof id.file);
        id.valid = std::memcmp(id.file, kNone, sizeof kNone) != 0;
    } else {
        error = ::GetLastError();
    }
    bool refused = error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
    if (!id.valid && (error == ERROR_SUCCESS || refused) && ::GetFileInformationByHandle(handle, &info)) {
        id.volume = info.dwVolumeSerialNumber;
        ULONGLONG index = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        std::memcpy(id.file, &index, sizeof index);
        id.valid = true;
    }
    ::CloseHandle(handle);
    id.fileKnown = id.valid && std::memcmp(id.file, kNone, sizeof kNone) != 0;
    return id;
}
