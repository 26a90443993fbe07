// Folder trees for the tests, made through the Win32 API on the test prefix's
// drive C:, and snapshots of everything in a tree to compare before and after.
#pragma once
#include <map>
#include <string>
#include <vector>

// An empty folder C:\t\<name> (whatever was there is removed first; links
// are removed, never followed).
std::string FreshFolder(const std::string& name);
// Creates each folder of `relative` (with its parents) below `root`.
void MakeFolders(const std::string& root, const std::vector<std::string>& relative);
void WriteFile(const std::string& path, const std::string& content);
bool PathExists(const std::string& path);
// Removes a tree without following links.
void RemoveTree(const std::string& path);

// Every folder, file and link below `root`, by relative path: "dir", the
// file's bytes, or "link". Names are read with the wide API, so that names
// the code page cannot show are seen as they are (kept as UTF-8).
typedef std::map<std::string, std::string> Snapshot;
Snapshot TakeSnapshot(const std::string& root);
// The entries of `before` missing or changed in `after`, one per line.
std::string Differences(const Snapshot& before, const Snapshot& after);

// C:\t\<name>: `tops` x 1,000 folders below it, 1 % of them named Debug;
// made once (kept for later runs in the same prefix).
std::string FolderTree(const std::string& name, int tops);
// FolderTree("big", 10): 10,000 folders.
std::string BigTree();
