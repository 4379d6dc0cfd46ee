#pragma once
// Pure functions that cut a selected name and compose the command lines the program starts.

#include <functional>
#include <string>
#include <vector>

namespace qarvel {

// Cuts a name at every "."; empty pieces stay, and an empty name gives no pieces at all.
std::vector<std::wstring> SplitName(const std::wstring &name);

// True when the last piece is exactly "iso" or "cue" (letter case matters). No pieces: false.
bool IsImagePieces(const std::vector<std::wstring> &pieces);

// directory + one backslash + name, with nothing normalised (a drive root gives two in a row).
std::wstring JoinPath(const std::wstring &directory, const std::wstring &name);

// cmd.exe /c chdman createcd -i "<input>" -o "<programDirectory>\NEW.CHD"
std::wstring ChdCommand(const std::wstring &inputPath, const std::wstring &programDirectory);

// cmd.exe /c ziso.py -c 1 "<input>" "<programDirectory>\NEW.ZSO"
std::wstring ZsoCommand(const std::wstring &inputPath, const std::wstring &programDirectory);

// cmd.exe /c ""<programDirectory>\bin2iso.exe"": the doubled quotes survive the interpreter's
// quote stripping, so the converter starts from a folder with parentheses, "&" or no blank.
std::wstring ConvertCommand(const std::wstring &programDirectory);

// cmd.exe /c start <site address>
std::wstring SiteCommand();

// The command interpreter replaces %NAME% with the value of the variable NAME even inside
// quotes (and %NAME:...% with part of it), so a file or folder name holding such text would
// reach the tool as another path. Gives the first such text in the line, or empty text.
std::wstring FindExpansion(const std::wstring &commandLine,
                           const std::function<bool(const std::wstring &)> &isVariable);

} // namespace qarvel
