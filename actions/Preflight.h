#pragma once
// What Qarvel reads of the user's own setup before it starts a tool: the track files that a
// cue sheet names, and whether the program that opens .py files runs them as scripts.

#include <string>
#include <string_view>
#include <vector>

namespace qarvel {

// The names that the FILE lines of a cue sheet give, in order, as written: quoted or not,
// the command in any letter case.
std::vector<std::wstring> CueSheetFiles(std::wstring_view sheet);

// Where a name from a cue sheet in the folder points: a relative name lies in that folder, an
// absolute one ("D:\x.bin", "\\server\share\x.bin", "\x.bin") where it says.
std::wstring CueFilePath(const std::wstring &sheetFolder, const std::wstring &name);

// The program an open command starts: its first word, without its quotes ("C:\Windows\py.exe"
// for "C:\Windows\py.exe" "%L" %*, quoted).
std::wstring OpenerProgram(std::wstring_view command);

// The file name at the end of a path.
std::wstring FileNameOf(const std::wstring &path);

// True when the program's file name is py.exe, pyw.exe or python*.exe, in any letter case.
bool IsPythonProgram(const std::wstring &program);

// True when the command passes the script the words after its name: %* or one of %2 to %9.
bool PassesArguments(std::wstring_view command);

// True when the two paths name the same file or folder as Windows compares names: letters in any
// case, with or without a closing backslash.
bool IsSamePath(const std::wstring &a, const std::wstring &b);

} // namespace qarvel
