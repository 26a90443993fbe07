// The identity of a folder on its volume: the same folder reached through
// another drive letter, link or letter case has the same identity.
#pragma once
#include "../framework/Platform.h"

struct FolderId {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool valid = false;

    bool operator==(const FolderId& other) const
    {
        return valid && other.valid && volume == other.volume &&
               indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
};

// Reads the identity of the folder at `path`; invalid when it cannot be opened.
FolderId ReadFolderId(LPCSTR path);
