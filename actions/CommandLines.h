#pragma once
// Pure functions that cut a selected name and compose the command lines the program starts.

#include <string>
#include <vector>

namespace qarvel {

// Cuts a name at every "."; empty pieces stay, and an empty name gives no pieces at all.
std::vector<std::wstring> SplitName(const std::wstring& name);

// True when the last piece is exactly "iso" or "cue" (letter case matters). No pieces: false.
bool IsImagePieces(const std::vector<std::wstring>& pieces);

// directory + one backslash + name, with nothing normalised (a drive root gives two in a row).
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);

// cmd.exe /c chdman createcd -i "<input>" -o "<programDirectory>\NEW.CHD"
std::wstring ChdCommand(const std::wstring& inputPath, const std::wstring& programDirectory);

// cmd.exe /c ziso.py -c 1 "<input>" "<programDirectory>\NEW.ZSO"
std::wstring ZsoCommand(const std::wstring& inputPath, const std::wstring& programDirectory);

// cmd.exe /c ""<programDirectory>\bin2iso.exe"": the doubled quotes survive the interpreter's
// quote stripping, so the converter starts from a folder with parentheses, "&" or no blank.
std::wstring ConvertCommand(const std::wstring& programDirectory);

// cmd.exe /c start <site address>
std::wstring SiteCommand();

} // namespace qarvel
