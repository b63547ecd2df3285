#pragma once
// A file written beside the one it is to replace, so that the old file stays
// whole until the new one is: the platform's part of storing a log.
#include <cstdio>
#include <string>

// Creates a new file for binary writing in the folder of `target`, under a
// name no other file has; its path goes to `path`. nullptr when it cannot.
std::FILE* CreateFileBeside(const std::wstring& target, std::wstring& path);

// Hands everything written to `file` to the disk (not only to the system's
// cache); false when the system reports a failure.
bool FlushFileToDisk(std::FILE* file);

// Puts the file at `from` in the place of `to` in one step, replacing an
// existing `to`, and returns once the change is on the disk.
bool ReplaceFileWith(const std::wstring& from, const std::wstring& to);

void RemoveFileAt(const std::wstring& path);
