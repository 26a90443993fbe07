// A folder's identity, and whether the drive or share it was found on still
// leads where the search found it. They know nothing of the dialog.
#pragma once
#include "FolderCheck.h"

// The final path of `path` (a "\\?\" path) as the system resolves it on its
// volume (see FolderRoots.cpp); `flags` FILE_NAME_NORMALIZED or _OPENED. ""
// when it cannot be opened or read.
std::wstring FinalPath(const std::wstring& path, DWORD flags);

// The folder at `path` (a "\\?\" path) as the system resolves it, on its volume (from its
// drive letter or mount folder, else an NT path; letter case folded): the same through every drive letter, share or mapped
// drive that leads to it. Empty when it cannot be read.
std::wstring FolderIdentity(const std::wstring& path);

// True when the drive or share that `path` (a "\\?\" path) starts with
// answers: it is there.
bool RootThere(const std::wstring& path);

// True when nothing is at `path` (a "\\?\" path). A drive letter that has
// left answers as a folder gone does: only a root that still leads where the
// search found it tells that the folder is gone.
bool NothingAt(const std::wstring& path);

// What a root of the search leads to now, against what it led to then. For
// a drive's root (`picked` false) `found` is the root's identity, and it must
// be the same folder now (a substituted or mapped letter may lead to another
// folder of the same volume). For the picked folder `found` is its identity
// and `foundRoot` that of its path's root ("S:\", "\\server\share\"): the
// root must be the same folder, the picked folder on the same volume (it may
// have been rebuilt). Ready when so, or when nothing was known at the search
// and the root answers; OtherVolume when it leads elsewhere now. When the
// picked folder cannot be opened, its nearest folder above that opens tells:
// on the same volume, the picked folder is gone from a volume still there
// (Ready: its rows are gone); else, or with none, DriveGone.
FolderState VolumeNow(const CString& root, const FolderId& found, bool picked, const FolderId& foundRoot);
