#pragma once
// Pure functions that cut a selected name and compose the paths and command lines the program
// starts.

#include "Texts.h"

#include <functional>
#include <string>
#include <vector>

namespace qarvel {

// Cuts a name at every "."; empty pieces stay, and an empty name gives no pieces at all.
std::vector<std::wstring> SplitName(const std::wstring &name);

// True when the last piece is exactly "iso" or "cue" (letter case matters). No pieces: false.
bool IsImagePieces(const std::vector<std::wstring> &pieces);

// directory + one backslash + name, always: after a drive root's own backslash ("C:\") there
// are two in a row. Nothing is normalised.
std::wstring JoinWithBackslash(const std::wstring &directory, const std::wstring &name);

// The tool as the command line names it: its file's name without ".exe" ("chdman").
std::wstring ToolName(const Format &format);

// cmd.exe /c chdman createcd -i "<input>" -o "<programDirectory>\NEW.CHD", and for ZSO
// cmd.exe /c ziso.py -c 1 "<input>" "<programDirectory>\NEW.ZSO"
std::wstring CompressCommand(const Format &format, const std::wstring &inputPath,
                             const std::wstring &programDirectory);

// cmd.exe /c ""<programDirectory>\bin2iso.exe"": the doubled quotes survive the interpreter's
// quote stripping, so the converter starts from a folder with parentheses, "&" or no blank.
std::wstring ConvertCommand(const std::wstring &programDirectory);

// The command interpreter replaces %NAME% with the value of the variable NAME even inside
// quotes (and %NAME:...% with part of it), so a file or folder name holding such text would
// reach the tool as another path. Gives the first such text in the line, or empty text.
std::wstring FindExpansion(const std::wstring &commandLine,
                           const std::function<bool(const std::wstring &)> &isVariable);

} // namespace qarvel
