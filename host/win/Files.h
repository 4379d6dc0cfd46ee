#pragma once
// Asking the file system about a path, and the few changes Qarvel makes to it.

#include "actions/HostServices.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qarvel::host {

// True when a file, not a directory, exists at the path. Letter case does not matter, as
// everywhere on Windows; paths of any length work, here and below.
bool FileExists(const std::wstring &path);

// True when a file or a folder exists at the path, by the same rules.
bool PathExists(const std::wstring &path);

// The size of the file at the path; nothing when there is no file (a folder is none).
std::optional<std::uint64_t> FileSize(const std::wstring &path);

// True when another program holds the file open, so that it cannot be opened alone.
bool IsFileInUse(const std::wstring &path);

// Deletes the file when nobody else has it open; true when it is gone.
bool RemoveFile(const std::wstring &path);

// True when a file can be made in the folder: one is made with a name of this process's own
// and is gone again when its handle closes.
bool CanWriteInFolder(const std::wstring &folder);

// The file read whole when it holds at most `limit` bytes; its text as UTF-8 when it is valid
// UTF-8, otherwise in the ANSI code page, without a byte-order mark.
TextFile ReadTextFile(const std::wstring &path, std::uint64_t limit);

// The names of the files, not folders, in the folder that match the pattern.
std::vector<std::wstring> FilesIn(const std::wstring &folder, const std::wstring &pattern);

// Gives the file a new name in its folder; never replaces what has that name.
Renamed RenameFile(const std::wstring &path, const std::wstring &newName);

// The root of the folder's disk and the room this user may still fill there.
std::optional<DiskRoom> RoomOnDisk(const std::wstring &folder);

} // namespace qarvel::host
