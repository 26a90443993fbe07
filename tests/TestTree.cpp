#include "TestTree.h"
#include <windows.h>

static std::wstring Wide(const std::string& text)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

static std::string Utf8(const std::wstring& text)
{
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length) - 1);
    return narrow;
}

static void RemoveTreeW(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        ::RemoveDirectoryW(path.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // Under Wine a link to a file looks like a file, and deleting it
        // deletes what it leads to: such a file is left alone.
        HANDLE file = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        wchar_t final[1024] = L"";
        ::GetFinalPathNameByHandleW(file, final, 1024, 0);
        ::CloseHandle(file);
        if (::lstrcmpiW(final + 4, path.c_str()) == 0) {
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
        }
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                RemoveTreeW(path + L"\\" + name);
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

void RemoveTree(const std::string& path)
{
    RemoveTreeW(Wide(path));
}

std::string FreshFolder(const std::string& name)
{
    ::CreateDirectoryA("C:\\t", nullptr);
    std::string root = "C:\\t\\" + name;
    RemoveTree(root);
    ::CreateDirectoryA(root.c_str(), nullptr);
    return root;
}

void MakeFolders(const std::string& root, const std::vector<std::string>& relative)
{
    for (const std::string& folder : relative) {
        std::string path = root;
        size_t start = 0;
        while (start <= folder.size()) {
            size_t end = folder.find('\\', start);
            if (end == std::string::npos)
                end = folder.size();
            path += "\\" + folder.substr(start, end - start);
            ::CreateDirectoryA(path.c_str(), nullptr);
            start = end + 1;
        }
    }
}

void WriteFile(const std::string& path, const std::string& content)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
}

bool PathExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static std::string ReadAll(const std::wstring& path)
{
    std::string content;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<unreadable>";
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    ::CloseHandle(file);
    return content;
}

static void Walk(const std::wstring& root, const std::wstring& relative, Snapshot& snapshot)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((root + relative + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = relative + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            snapshot[Utf8(path)] = "link";
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            snapshot[Utf8(path)] = "dir";
            Walk(root, path, snapshot);
        } else {
            snapshot[Utf8(path)] = ReadAll(root + path);
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

Snapshot TakeSnapshot(const std::string& root)
{
    Snapshot snapshot;
    Walk(Wide(root), L"", snapshot);
    return snapshot;
}

std::string Differences(const Snapshot& before, const Snapshot& after)
{
    std::string report;
    for (const auto& entry : before) {
        auto found = after.find(entry.first);
        if (found == after.end())
            report += "missing: " + entry.first + "\n";
        else if (found->second != entry.second)
            report += "changed: " + entry.first + "\n";
    }
    return report;
}

std::string FolderTree(const std::string& name, int tops)
{
    const std::string root = "C:\\t\\" + name;
    if (PathExists(root + "\\complete"))
        return root;
    FreshFolder(name);
    for (int a = 0; a < tops; ++a) {
        std::string top = root + "\\top" + std::to_string(a);
        ::CreateDirectoryA(top.c_str(), nullptr);
        for (int b = 0; b < 10; ++b) {
            std::string mid = top + "\\mid" + std::to_string(b);
            ::CreateDirectoryA(mid.c_str(), nullptr);
            for (int c = 0; c < 98; ++c)
                ::CreateDirectoryA((mid + "\\leaf" + std::to_string(c)).c_str(), nullptr);
            ::CreateDirectoryA((mid + "\\Debug").c_str(), nullptr);
        }
    }
    WriteFile(root + "\\complete", "");
    return root;
}

std::string BigTree()
{
    return FolderTree("big", 10);
}
