// Paths and file names: how they convert between the system code page and
// UTF-16, how they compare, how they join, and how a folder is identified.
// Every rule on names the program follows lives here.
#pragma once
#include "CString.h"
#include <cstring>
#include <string>

// Byte-wise, letter-case sensitive equality of two strings of the code page.
inline bool MbsEqual(LPCSTR left, LPCSTR right)
{
    return _mbscmp(reinterpret_cast<const unsigned char*>(left),
                   reinterpret_cast<const unsigned char*>(right)) == 0;
}

// `text` of the system code page in UTF-16; empty when it cannot be converted.
std::wstring WideFromCodePage(LPCSTR text);
// The first `length` characters of `text` in the system code page, as the
// ANSI functions give them.
CString CodePageFromWide(const wchar_t* text, int length);
// `name` in `codePage`, without best-fit look-alikes; "?" when it cannot be
// converted (a name that opens nothing and matches nothing).
CString NameInCodePage(const wchar_t* name, UINT codePage);

// File names compare as the file system compares them: ordinal, letter case
// ignored (upper-cased by the system's file-system rules). A key is the
// upper-cased wide name; two names are the same when their keys are equal.
std::wstring FileNameKey(const std::wstring& name);
std::wstring FileNameKey(LPCSTR name);   // a name in the system code page
bool SameFileName(const std::wstring& left, const std::wstring& right);
bool SameFileName(LPCSTR left, LPCSTR right);

// True when `text` holds a wildcard character. A name the code page cannot
// hold comes back from the finder as "?"; the shell would expand either
// character to other names.
inline bool HasWildcard(LPCSTR text)
{
    return std::strpbrk(text, "?*") != nullptr;
}

// "folder\name", without doubling the separator of a root such as "C:\".
CString JoinPath(const CString& folder, const CString& name);
// Bytes of the root that `path` starts with: "C:\" or "\\server\share\";
// -1 for any other start.
int RootLength(const CString& path);
// The root that `path` starts with, with its separator ("C:\",
// "\\server\share\", also for a bare "\\server\share"); "" for any other start.
CString PathRoot(const CString& path);
// `path` (a drive path or \\server\share\...) as a path the wide functions
// take at any length, with no normalisation: "\\?\C:\..." or "\\?\UNC\...".
std::wstring LongPath(LPCSTR path);
// Characters of the root that a path from LongPath starts with: "\\?\C:\"
// or "\\?\UNC\server\share\"; 0 for any other start.
size_t LongRootLength(const std::wstring& path);

// The identity of a folder on its volume: the same folder reached through
// another drive letter, link or letter case has the same identity. Invalid
// when it cannot be read. Some file systems give no file id (0: the root of
// a FAT volume, some servers): then only the volume is known, and two such
// folders of one volume compare equal; fileKnown tells.
struct FolderId {
    ULONGLONG volume = 0;
    BYTE file[16] = {};   // the 128-bit file id, or the 64-bit index in its first 8 bytes
    bool fileKnown = false;
    bool valid = false;

    bool operator==(const FolderId& other) const
    {
        return valid && other.valid && volume == other.volume && fileKnown == other.fileKnown &&
               std::memcmp(file, other.file, sizeof file) == 0;
    }
};

// Reads the identity of the folder at `path`.
FolderId ReadFolderId(LPCSTR path);
