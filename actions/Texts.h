#pragma once
// Every text of the program, exactly as the user and the outside tools see it, leading and
// trailing blanks included: each message whole, its numbered places {1} to {9} filled by
// Fill; the two formats' table, which is mostly their texts; and the pure functions that cut a
// selected name and compose the paths and command lines the program starts. Nothing else in
// the program spells these out.

#include "actions/FormControls.h"
#include "actions/HostServices.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qarvel {

// The text with each {N} replaced by the N-th value (counting from 1); a place without a
// value, and every other brace, stays as it is.
std::wstring Fill(std::wstring_view text, std::initializer_list<std::wstring_view> values);

// The number's digits in the base (10 or 16, capitals), at least `width` of them; written here
// because std::to_wstring would bring the C library's whole formatted printing into Qarvel.exe.
std::wstring Digits(std::uint64_t number, unsigned base = 10, std::size_t width = 1);

// A file's size as Explorer counts it, in units of 1024: "1 byte", "900 bytes", "12.5 KB",
// "700.0 MB", "4.4 GB"; one decimal, rounded, and the next unit from 1024.0 on.
std::wstring SizeText(std::uint64_t bytes);

// A run's length, rounded to the second: "less than 1 s", "8 s", "1 min 12 s", "2 h 5 min".
std::wstring DurationText(std::uint64_t milliseconds);

// The share of part in whole, in whole percent, rounded: "59". A whole of 0 gives "0".
std::wstring PercentText(std::uint64_t part, std::uint64_t whole);

// "exit code 3"; above 0xFFFF in hex, as Windows' status codes are known: "exit code 0xC000013A".
std::wstring ExitCodeText(ExitCode code);

// What differs between the two formats.
struct Format {
    FormatBox box;
    const wchar_t *name;      // "CHD", as its box and the question say it
    const wchar_t *toolFile;  // "chdman.exe", beside Qarvel.exe; the line names it without ".exe"
    const wchar_t *arguments; // what follows the tool's name, before the quoted image
    const wchar_t *beforeOutput; // between the quoted image and the quoted output
    const wchar_t *output;       // "NEW.CHD", in the program folder
    bool copiesCommand;          // only the ZSO line goes on the clipboard
    bool takesCueSheet;          // a ZSO is made from the image itself, never from a track list
    bool leavesPartOnFailure;    // chdman may leave part of its output; ziso.py never does
    const wchar_t *scriptType;   // ziso.py runs through the program that opens ".py" files
    const wchar_t *notFound;     // {1} tool, {2} output: the interpreter found no tool
    // The exit code by which the tool says a package it needs is missing; {1} image, {2} output.
    std::optional<ExitCode> missingPackageCode;
    const wchar_t *missingPackage;
};

namespace texts {

// The window's title and its controls' captions, and the caption of every message box.
inline constexpr const wchar_t *WindowTitle = L"Qarvel Compression Tool v0.1 ";
inline constexpr const wchar_t *FileLabelAtStart = L"File: Not Set";
inline constexpr const wchar_t *CompressCaption = L" iSO";
inline constexpr const wchar_t *ConvertCaption = L"BIN2ISO";
inline constexpr const wchar_t *ChdCaption = L"CHD";
inline constexpr const wchar_t *ZsoCaption = L"ZSO";
inline constexpr const wchar_t *AuthorCaption = L"Written by Mordwin";
inline constexpr const wchar_t *CompanyCaption = L"Halvoren";
inline constexpr const wchar_t *Lz4Caption = L"pip install lz4";
inline constexpr const wchar_t *MessageBoxCaption = L"Qarvel";

// The file label and the image test.
inline constexpr const wchar_t *FileLabel = L"File: {1}";
inline constexpr wchar_t NameSeparator = L'.';
inline constexpr wchar_t PathSeparator = L'\\';
inline constexpr wchar_t Quote = L'"';
inline constexpr const wchar_t *AcceptedLastPieces[] = {L"iso", L"cue"};
// The last piece of a cue sheet's name: a list of tracks, not an image in itself.
inline constexpr const wchar_t *CueSheetPiece = L"cue";

// The command lines: the interpreter's head, and the converter, installer and site lines.
inline constexpr const wchar_t *CommandHead = L"cmd.exe /c ";
inline constexpr const wchar_t *ConverterFile = L"bin2iso.exe";
inline constexpr const wchar_t *Lz4Command = L"cmd.exe /c pip install lz4";
inline constexpr const wchar_t *SiteCommand = L"cmd.exe /c start {1}";
// The maker's site, handed to the default browser by the interpreter's start command. It must
// hold no blank and none of the characters the interpreter treats specially.
inline constexpr const wchar_t *SiteAddress = L"https://halvoren.example/qarvel";

// Asked and told around the compress button. {1} name, {2} format.
inline constexpr const wchar_t *NotAnImage = L"Selected file is not an iSO or cue!";
inline constexpr const wchar_t *Confirm = L"Proceed to compress {1} with {2}?";
// {1} path
inline constexpr const wchar_t *FileGone =
    L"The selected file cannot be found; it may have been moved or deleted, or its folder may "
    L"no longer be readable:\r\n{1}";
// {1} the text the interpreter would replace
inline constexpr const wchar_t *Expansion =
    L"The command interpreter would replace {1} in this path with the value of an environment "
    L"variable, so the tool would be given another path. Rename the file or folder and try "
    L"again.";
inline constexpr const wchar_t *LaunchFailed =
    L"The command could not be started: Windows could not run the command interpreter "
    L"(cmd.exe) with it, or the line is longer than the interpreter takes. Nothing was started.";
inline constexpr const wchar_t *ClipboardFailed =
    L"The command line could not be copied to the clipboard: another program is holding it. "
    L"The compression was started all the same.";

// Refused before the question. {1} output, {2} folder, {3} tool.
inline constexpr const wchar_t *OutputExists =
    L"There is already a {1} in {2}.\r\n\r\n{3} will not overwrite it: move or rename it, then "
    L"press iSO again.";
// {1} output, {2} folder
inline constexpr const wchar_t *OutputInUse =
    L"{1} in {2} is still being written by another program: another Qarvel, or a tool still "
    L"running.\r\n\r\nWait until it has finished, then press iSO again.";
// {1} name
inline constexpr const wchar_t *CueForZso =
    L"{1} is a cue sheet: it only lists the tracks of a disc. A ZSO is made from the .iso image "
    L"itself; select the .iso file, or tick CHD to compress the disc through its cue sheet.";
// {1} name
inline constexpr const wchar_t *EmptyImage =
    L"{1} is empty (0 bytes): there is nothing in it to compress.\r\n\r\nSelect the disc image "
    L"itself; if it is still being copied or downloaded, wait until that has finished.";
// {1} tool, {2} output, {3} image
inline constexpr const wchar_t *StillRunning =
    L"{1} is still making {2} from {3}.\r\n\r\nWait until it has ended, then press iSO again.";
// {1} tool, {2} output, {3} folder
inline constexpr const wchar_t *FolderNotWritable =
    L"{1} could not make {2} in {3}: Qarvel cannot write to that folder. Windows lets only "
    L"administrators write to folders such as Program Files.\r\n\r\nMove Qarvel to a folder "
    L"of your own, such as Documents, with what lies beside it, and start it from there.";
inline constexpr const wchar_t *NoPython =
    L"ziso.py needs Python 3.8 or later, and no program on this computer opens .py files."
    L"\r\n\r\nInstall Python from https://www.python.org/downloads/ and keep \"Associate "
    L"files with Python\" ticked (the installer's default), then press iSO again.";

// Told when a compression has ended. {1} output, {2} image name, {3} its size, {4} the
// output's size, {5} percent, {6} time.
inline constexpr const wchar_t *Created = L"{1} created!\r\n{2} {3} -> {1} {4} ({5} %) in {6}";
// {1} tool, {2} output, {3} folder, {4} command line
inline constexpr const wchar_t *NoOutput =
    L"{1} ended without an error, but there is no {2} in {3}: the tool did not make it."
    L"\r\n\r\nTo read {1}'s own message, run this command line in a command prompt opened in "
    L"Qarvel's folder (Ctrl+C copies the text of this box):\r\n\r\n{4}";
// {1} tool, {2} exit code, {3} output, {4} image, {5} command line
inline constexpr const wchar_t *Failed =
    L"{1} ended with {2} while making {3} from {4}, so {3} was not made.\r\n\r\nTo read {1}'s "
    L"own message, run this command line in a command prompt opened in Qarvel's folder (Ctrl+C "
    L"copies the text of this box):\r\n\r\n{5}";
// The same, when the line was put on the clipboard at the start.
inline constexpr const wchar_t *FailedCopied =
    L"{1} ended with {2} while making {3} from {4}, so {3} was not made.\r\n\r\nTo read {1}'s "
    L"own message, run this command line in a command prompt opened in Qarvel's folder (Ctrl+C "
    L"copies the text of this box):\r\n\r\n{5}\r\n\r\nThe command line was also put on the "
    L"clipboard when the compression started.";
// Asked with Yes and No. {1} tool, {2} exit code, {3} output, {4} image, {5} folder,
// {6} command line
inline constexpr const wchar_t *FailedLeftover =
    L"{1} ended with {2} while making {3} from {4}. The {3} it left in {5} is incomplete."
    L"\r\n\r\nTo read {1}'s own message, delete it, then run this command line in a command "
    L"prompt opened in Qarvel's folder (Ctrl+C copies the text of this box):\r\n\r\n{6}"
    L"\r\n\r\nDelete the incomplete {3} now?";
// {1} output, {2} folder
inline constexpr const wchar_t *NotRemoved =
    L"The incomplete {1} in {2} could not be deleted: another program has it open, or Qarvel "
    L"may not change that folder.\r\n\r\nDelete it yourself before you press iSO again.";
// {1} tool, {2} output, {3} image, {4} folder
inline constexpr const wchar_t *UnknownEnd =
    L"Qarvel could not learn how {1} ended while making {2} from {3}, so it cannot tell "
    L"whether a {2} in {4} is complete.\r\n\r\nCheck it before you use it.";
// {1} tool, {2} output
inline constexpr const wchar_t *ChdmanNotFound =
    L"{1} was not found, so {2} was not made.\r\n\r\nchdman.exe must lie beside Qarvel.exe, "
    L"and Qarvel must be started from its own folder (as Explorer and shortcuts do).";
inline constexpr const wchar_t *ZisoNotFound =
    L"{1} was not found, so {2} was not made.\r\n\r\nEither ziso.py does not lie beside "
    L"Qarvel.exe, with Qarvel started from its own folder (as Explorer and shortcuts do), or "
    L"Python is not installed: install Python 3.8 or later from "
    L"https://www.python.org/downloads/ with its .py file association (the installer's "
    L"default).";
// {1} image, {2} output
inline constexpr const wchar_t *MissingLz4 =
    L"ziso.py could not compress {1}: the Python package lz4 is missing, so {2} was not made."
    L"\r\n\r\nClick \"pip install lz4\" in Qarvel's window to install it, then press iSO again.";
// The number part of the exit code.
inline constexpr const wchar_t *ExitCodeNumber = L"exit code {1}";

// Told when the converter or the package installer has ended. {1} program directory.
inline constexpr const wchar_t *ConverterNotFound =
    L"bin2iso.exe was not found beside Qarvel.exe in {1}, so the converter did not start.";
inline constexpr const wchar_t *PipNotFound =
    L"pip was not found, so lz4 was not installed: Python is not installed, or its folder is "
    L"not on the search path.\r\n\r\nRun py -m pip install lz4 in a command prompt instead.";
// {1} exit code
inline constexpr const wchar_t *PipFailed =
    L"pip install lz4 ended with {1}: lz4 may not be installed.\r\n\r\nRun py -m pip install "
    L"lz4 in a command prompt to see why and to try again.";

// Told by the window. {1} folder, {2} the system's reason.
inline constexpr const wchar_t *FolderUnreadable =
    L"The folder \"{1}\" cannot be read.\n\n{2}\n\nThe lists still show the folder that was "
    L"open before.";
inline constexpr const wchar_t *NoDrives = L"Windows reported no drives on this computer.";
// {1} the system's reason
inline constexpr const wchar_t *NoWindow = L"Qarvel could not open its window.\n\n{1}";

} // namespace texts

inline constexpr Format Chd{.box = FormatBox::Chd,
                            .name = L"CHD",
                            .toolFile = L"chdman.exe",
                            .arguments = L" createcd -i ",
                            .beforeOutput = L" -o ",
                            .output = L"NEW.CHD",
                            .copiesCommand = false,
                            .takesCueSheet = true,
                            .leavesPartOnFailure = true,
                            .scriptType = nullptr,
                            .notFound = texts::ChdmanNotFound,
                            .missingPackageCode = std::nullopt,
                            .missingPackage = nullptr};

inline constexpr Format Zso{.box = FormatBox::Zso,
                            .name = L"ZSO",
                            .toolFile = L"ziso.py",
                            .arguments = L" -c 1 ",
                            .beforeOutput = L" ",
                            .output = L"NEW.ZSO",
                            .copiesCommand = true,
                            .takesCueSheet = false,
                            .leavesPartOnFailure = false,
                            .scriptType = L".py",
                            .notFound = texts::ZisoNotFound,
                            .missingPackageCode = 3, // ziso.py's own, for lz4
                            .missingPackage = texts::MissingLz4};

// In the order the compress button looks at their boxes: CHD wins when both are ticked.
inline constexpr const Format *Formats[] = {&Chd, &Zso};

// --- names, paths and command lines, as text ---

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
