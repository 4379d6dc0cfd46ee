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
#include <span>
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

// A tool's own exit code and the whole message that tells it. Places: {1} image, {2} output,
// {3} the disk of Qarvel's folder, {4} the image's size, {5} the compress button, {6} the lz4
// label.
struct ToolCode {
    ExitCode code;
    const wchar_t *text;
};

// What differs between the two formats.
struct Format {
    FormatBox box;
    const wchar_t *name;      // "CHD", as its box and the question say it
    const wchar_t *extension; // "chd", the output's when it is named after its image
    const wchar_t *toolFile;  // "chdman.exe", beside Qarvel.exe; the line names it without ".exe"
    const wchar_t *arguments; // what follows the tool's name, before the quoted image
    const wchar_t *beforeOutput; // between the quoted image and the quoted output
    const wchar_t *output;       // "NEW.CHD", in the program folder
    bool copiesCommand;          // only the ZSO line goes on the clipboard
    bool takesCueSheet;          // a ZSO is made from the image itself, never from a track list
    bool leavesPartOnFailure;    // chdman may leave part of its output; ziso.py never does
    // chdman on Windows opens its input through the ANSI code page: a path with a letter
    // outside ASCII is not found.
    bool opensInputNarrowly;
    const wchar_t *scriptType; // ziso.py runs through the program that opens ".py" files
    // What a killed run may leave in the output's folder, as a pattern ("?" one character).
    const wchar_t *temporaryFiles;
    std::span<const ToolCode> codes; // the tool's own exit codes, each told by its own message
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
// A cue sheet is a short text; a larger file is not one.
inline constexpr std::uint64_t LargestCueSheet = 1 << 20;
// The cue sheet's command that names a track file, in any letter case.
inline constexpr const wchar_t *CueFileCommand = L"FILE";

// What the command interpreter does with a line: its head, the exit code with which it says
// it found nothing by the name given, and the longest line it runs. Windows' cmd.exe refuses a
// longer one ("The command line is too long.") after it has started, so the caller would
// believe the tool runs; Wine's cmd.exe overruns its buffer and crashes. Such a line is not
// started at all.
inline constexpr const wchar_t *CommandHead = L"cmd.exe /c ";
inline constexpr ExitCode NotRecognized = 9009;
inline constexpr std::size_t LongestCommandLine = 8191;

// The converter, installer and site lines.
inline constexpr const wchar_t *ConverterFile = L"bin2iso.exe";
inline constexpr const wchar_t *Lz4Command = L"cmd.exe /c pip install lz4";
inline constexpr const wchar_t *SiteCommand = L"cmd.exe /c start {1}";
// The maker's site, handed to the default browser by the interpreter's start command. It must
// hold no blank and none of the characters the interpreter treats specially.
inline constexpr const wchar_t *SiteAddress = L"https://halvoren.example/qarvel";

// The programs that run a .py script, by their file names: "python*.exe" is any name that
// begins with "python" and ends in ".exe" ("python3.12.exe").
inline constexpr const wchar_t *PythonPrograms[] = {L"py.exe", L"pyw.exe"};
inline constexpr const wchar_t *PythonProgramStart = L"python";
inline constexpr const wchar_t *ProgramEnd = L".exe";
// The places of an open command that pass on the words after the script's name.
inline constexpr const wchar_t *ArgumentPlaces[] = {L"%*", L"%2", L"%3", L"%4", L"%5",
                                                    L"%6", L"%7", L"%8", L"%9"};

// The units of sizes, times and shares, each after a no-break space, so that a box never
// wraps a number apart from its unit.
inline constexpr const wchar_t *ByteUnit = L"\u00a0byte";
inline constexpr const wchar_t *BytesUnit = L"\u00a0bytes";
inline constexpr const wchar_t *SizeUnits[] = {L"\u00a0KB", L"\u00a0MB", L"\u00a0GB", L"\u00a0TB",
                                               L"\u00a0PB"};
inline constexpr const wchar_t *LessThanASecond = L"less than 1\u00a0s";
inline constexpr const wchar_t *Seconds = L"{1}\u00a0s";
inline constexpr const wchar_t *MinutesAndSeconds = L"{1}\u00a0min {2}\u00a0s";
inline constexpr const wchar_t *HoursAndMinutes = L"{1}\u00a0h {2}\u00a0min";

// Asked and told around the compress button. {1} name, {2} format.
inline constexpr const wchar_t *NotAnImage = L"Selected file is not an iSO or cue!";
inline constexpr const wchar_t *Confirm = L"Proceed to compress {1} with {2}?";
// {1} path
inline constexpr const wchar_t *FileGone =
    L"The selected file cannot be found; it may have been moved or deleted, or its folder may "
    L"no longer be readable:\r\n{1}";
// {1} the text the interpreter would replace, {2} the path that holds it
inline constexpr const wchar_t *Expansion =
    L"The command interpreter would replace {1} in this path with the value of an environment "
    L"variable, so the tool would be given another path:\r\n\r\n{2}\r\n\r\nRename the file or "
    L"folder and try again.";
inline constexpr const wchar_t *LaunchFailed =
    L"The command could not be started: Windows could not run the command interpreter "
    L"(cmd.exe) with it, or the line is longer than the interpreter takes. Nothing was started.";
inline constexpr const wchar_t *ClipboardFailed =
    L"The command line could not be copied to the clipboard: another program is holding it. "
    L"The compression was started all the same.";

// Refused before the question. {1} output, {2} folder, {3} tool, {4} the compress button.
inline constexpr const wchar_t *OutputExists =
    L"There is already a {1} in {2}.\r\n\r\n{3} will not overwrite it: move or rename it, then "
    L"press {4} again.";
// {1} output, {2} folder, {3} the compress button
inline constexpr const wchar_t *OutputInUse =
    L"{1} in {2} is still being written by another program: another Qarvel, or a tool still "
    L"running.\r\n\r\nWait until it has finished, then press {3} again.";
// {1} name, {2} the CHD box
inline constexpr const wchar_t *CueForZso =
    L"{1} is a cue sheet: it only lists the tracks of a disc. A ZSO is made from the .iso image "
    L"itself; select the .iso file, or tick {2} to compress the disc through its cue sheet.";
// {1} name
inline constexpr const wchar_t *CueTooLarge =
    L"{1} is larger than 1 MB, so it is not a cue sheet: a cue sheet is a short text that lists "
    L"the track files of a disc.\r\n\r\nSelect the disc's own .cue file, or its .iso image.";
// {1} name
inline constexpr const wchar_t *CueNamesNoFile =
    L"{1} names no track file: it has no FILE line, so chdman would have nothing to compress."
    L"\r\n\r\nSelect the disc's own .cue file, or its .iso image.";
// {1} cue sheet's name, {2} the track file's name as the sheet gives it, {3} the folder looked
// in, {4} the compress button
inline constexpr const wchar_t *CueFileMissing =
    L"{1} names the track file {2}, which is not in {3}.\r\n\r\nchdman reads every file its cue "
    L"sheet names. Put {2} in that folder (it may have been renamed, or left elsewhere), or "
    L"correct the FILE line in {1}, then press {4} again.";
// {1} name
inline constexpr const wchar_t *EmptyImage =
    L"{1} is empty (0 bytes): there is nothing in it to compress.\r\n\r\nSelect the disc image "
    L"itself; if it is still being copied or downloaded, wait until that has finished.";
// {1} tool, {2} output, {3} image, {4} the compress button
inline constexpr const wchar_t *StillRunning =
    L"{1} is still making {2} from {3}.\r\n\r\nWait until it has ended, then press {4} again.";
// {1} tool, {2} output, {3} folder
inline constexpr const wchar_t *FolderNotWritable =
    L"Qarvel cannot write to {3}, so {1} was not started: it could not have made {2} there. "
    L"Windows lets only administrators write to folders such as Program Files.\r\n\r\nMove "
    L"Qarvel to a folder of your own, such as Documents, with what lies beside it, and start it "
    L"from there.";
// {1} the compress button
inline constexpr const wchar_t *NoPython =
    L"ziso.py needs Python 3.8 or later, and no program on this computer opens .py files."
    L"\r\n\r\nInstall Python from https://www.python.org/downloads/ and keep \"Associate "
    L"files with Python\" ticked (the installer's default), then press {1} again.";
// {1} the program's file name, {2} the compress button
inline constexpr const wchar_t *NotPython =
    L"Files ending in .py open with {1} on this computer, so ziso.py would open in it instead of "
    L"running.\r\n\r\nMake Python the program for .py files: right-click a .py file, choose "
    L"Open with, then Choose another app, pick Python and tick \"Always use this app to open "
    L".py files\"; or run the Python installer again with \"Associate files with Python\" "
    L"ticked. Then press {2} again.";
// {1} the open command, {2} the compress button
inline constexpr const wchar_t *PythonGetsNoArguments =
    L"Files ending in .py open with this command on this computer, which passes a script none "
    L"of the words after its name:\r\n\r\n{1}\r\n\r\nziso.py would run without the image it is "
    L"to compress. Run the Python installer again with \"Associate files with Python\" ticked, "
    L"or make Python's launcher py.exe the program for .py files (right-click a .py file, Open "
    L"with), then press {2} again.";
// {1} the compress button
inline constexpr const wchar_t *PackagedPython =
    L"Files ending in .py open through a packaged app on this computer, as the Python install "
    L"manager sets them up. A script opened through it starts in a window of its own, without "
    L"the image and output that Qarvel gives it, so ziso.py could not compress it and Qarvel "
    L"could not tell how it ended.\r\n\r\nInstall Python's legacy launcher (launcher.msi, from "
    L"https://www.python.org/downloads/windows/): it brings back the .py opener that ziso.py "
    L"needs. Then press {1} again.";

// Told when a compression has ended. {1} output, {2} image name, {3} its size, {4} the
// output's size, {5} percent, {6} time.
inline constexpr const wchar_t *Created = L"{1} created!\r\n{2} {3} -> {1} {4} ({5}\u00a0%) in {6}";
// Asked with Yes and No, No the default. {1} output, {2} the new name, {3} folder
inline constexpr const wchar_t *NameAfterImage =
    L"Name {1} after its image: {2}?\r\n\r\nQarvel renames {1} in {3} to {2}; nothing is moved "
    L"or replaced. No keeps the name {1}.";
// {1} output, {2} the new name, {3} folder
inline constexpr const wchar_t *NameTaken =
    L"There is already a {2} in {3}, so {1} keeps its name.\r\n\r\nRename or move one of them "
    L"yourself.";
inline constexpr const wchar_t *RenameFailed =
    L"{1} in {3} could not be renamed to {2}: another program may have it open, or Qarvel may "
    L"not change that folder. It keeps the name {1}.";
// {1} tool, {2} output, {3} folder, {4} command line
inline constexpr const wchar_t *NoOutput =
    L"{1} ended without an error, but there is no {2} in {3}: the tool did not make it."
    L"\r\n\r\nTo read {1}'s own message, run this command line in a command prompt opened in "
    L"Qarvel's folder (Ctrl+C copies the text of this box):\r\n\r\n{4}";

// A failure box is made of paragraphs: what happened, each cause Qarvel can see, how to read
// the tool's own message, and a question about what the run left. {1} tool, {2} exit code,
// {3} output, {4} image
inline constexpr const wchar_t *Failed =
    L"{1} ended with {2} while making {3} from {4}, so {3} was not made.";
// {1} tool, {2} exit code, {3} output, {4} image, {5} folder
inline constexpr const wchar_t *FailedLeftover =
    L"{1} ended with {2} while making {3} from {4}. The {3} it left in {5} is incomplete.";
// {1} the path, {2} the compress button
inline constexpr const wchar_t *NonAsciiPath =
    L"The chdman of Windows cannot open a path with a letter outside plain ASCII, as this one "
    L"has: {1}. Move the image, with its .bin files, to a folder whose path has only plain "
    L"letters, digits and blanks, such as C:\\Images, then press {2} again.";
// {1} cue sheet's name
inline constexpr const wchar_t *CueByteOrderMark =
    L"{1} starts with a UTF-8 byte-order mark, which chdman cannot read: save it again without "
    L"one (in Notepad: Save As, with the encoding UTF-8, not UTF-8 with BOM).";
// {1} disk, {2} room left, {3} the image's size
inline constexpr const wchar_t *LowOnRoom =
    L"The disk {1} of Qarvel's folder has only {2} left, less than the image's {3}: free some "
    L"room there before you try again.";
// {1} tool, {2} command line
inline constexpr const wchar_t *RunByHand =
    L"To read {1}'s own message, run this command line in a command prompt opened in Qarvel's "
    L"folder (Ctrl+C copies the text of this box):\r\n\r\n{2}";
inline constexpr const wchar_t *RunByHandAfterDeleting =
    L"To read {1}'s own message, delete it, then run this command line in a command prompt "
    L"opened in Qarvel's folder (Ctrl+C copies the text of this box):\r\n\r\n{2}";
inline constexpr const wchar_t *LineCopied =
    L"The command line was also put on the clipboard when the compression started.";
// Asked with Yes and No. {1} output
inline constexpr const wchar_t *DeleteLeftover = L"Delete the incomplete {1} now?";
// {1} tool, {2} file name, {3} its size, {4} folder
inline constexpr const wchar_t *DeleteTemporary =
    L"{1} left its unfinished temporary file {2} ({3}) in {4}. Delete it now?";
// The paragraphs of a box.
inline constexpr const wchar_t *ParagraphBreak = L"\r\n\r\n";
// {1} the file, {2} folder, {3} the compress button
inline constexpr const wchar_t *NotRemoved =
    L"The incomplete {1} in {2} could not be deleted: another program has it open, or Qarvel "
    L"may not change that folder.\r\n\r\nDelete it yourself before you press {3} again.";
// {1} tool, {2} output, {3} image, {4} folder
inline constexpr const wchar_t *UnknownEnd =
    L"Qarvel could not learn how {1} ended while making {2} from {3}, so it cannot tell "
    L"whether a {2} in {4} is complete.\r\n\r\nCheck it before you use it.";
// The interpreter found no tool. {1} tool, {2} output, {3} the tool's file, {4} program
// folder, {5} working folder, {6} the compress button
inline constexpr const wchar_t *ToolNotFound =
    L"{1} was not found, so {2} was not made.\r\n\r\n{3} must lie beside Qarvel.exe, and Qarvel "
    L"must be started from its own folder (as Explorer and shortcuts do).";
inline constexpr const wchar_t *ToolOrPythonNotFound =
    L"{1} was not found, so {2} was not made.\r\n\r\nEither {3} does not lie beside "
    L"Qarvel.exe, with Qarvel started from its own folder (as Explorer and shortcuts do), or "
    L"Python is not installed: install Python 3.8 or later from "
    L"https://www.python.org/downloads/ with its .py file association (the installer's "
    L"default).";
inline constexpr const wchar_t *ToolGone =
    L"{1} was not found, so {2} was not made: {3} is no longer beside Qarvel.exe in {4}."
    L"\r\n\r\nPut it back there, then press {6} again.";
inline constexpr const wchar_t *StartedElsewhere =
    L"{1} was not found, so {2} was not made: Qarvel was started from the folder {5}, not from "
    L"its own folder {4}, and the command interpreter looks for {1} in the folder Qarvel was "
    L"started from.\r\n\r\nStart Qarvel from its own folder: open it from Explorer, or use a "
    L"shortcut whose \"Start in\" is {4}.";
// ziso.py's own exit codes.
inline constexpr const wchar_t *MissingLz4 =
    L"ziso.py could not compress {1}: the Python package lz4 is missing, so {2} was not made."
    L"\r\n\r\nClick \"{6}\" in Qarvel's window to install it, then press {5} again.";
inline constexpr const wchar_t *NoRoom =
    L"ziso.py ran out of room on the disk {3} of Qarvel's folder while making {2} from {1}, so "
    L"{2} was not made.\r\n\r\n{2} needs at most the image's size, {4}: free that much room on "
    L"{3}, then press {5} again.";
inline constexpr const wchar_t *ImageUnreadable =
    L"ziso.py could not read {1}, or the image changed while it was being read, so {2} was not "
    L"made.\r\n\r\nIf the image is still being copied or downloaded, wait until that has "
    L"finished; otherwise copy it to a folder of your own, such as Documents, and compress the "
    L"copy.";
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

inline constexpr ToolCode ZisoCodes[] = {
    {3, texts::MissingLz4},
    {4, texts::NoRoom},
    {5, texts::ImageUnreadable},
};

inline constexpr Format Chd{.box = FormatBox::Chd,
                            .name = texts::ChdCaption,
                            .extension = L"chd",
                            .toolFile = L"chdman.exe",
                            .arguments = L" createcd -i ",
                            .beforeOutput = L" -o ",
                            .output = L"NEW.CHD",
                            .copiesCommand = false,
                            .takesCueSheet = true,
                            .leavesPartOnFailure = true,
                            .opensInputNarrowly = true,
                            .scriptType = nullptr,
                            .temporaryFiles = nullptr,
                            .codes = {}};

inline constexpr Format Zso{.box = FormatBox::Zso,
                            .name = texts::ZsoCaption,
                            .extension = L"zso",
                            .toolFile = L"ziso.py",
                            .arguments = L" -c 1 ",
                            .beforeOutput = L" ",
                            .output = L"NEW.ZSO",
                            .copiesCommand = true,
                            .takesCueSheet = false,
                            .leavesPartOnFailure = false,
                            .opensInputNarrowly = false,
                            .scriptType = L".py",
                            .temporaryFiles = L"~ziso-????????.tmp",
                            .codes = ZisoCodes};

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

// The text without the blanks it begins or ends with: a caption as a message names it
// (" iSO" gives "iSO").
std::wstring Trimmed(std::wstring_view text);

// Where the name was cut: what comes before its last backslash ("D:\\rips" for
// "D:\\rips\\game.iso"), or empty text.
std::wstring FolderOf(const std::wstring &path);

// The image's name with its last piece replaced by the format's extension: "game.chd" for
// "game.iso".
std::wstring NamedAfterImage(const std::wstring &imageName, const Format &format);

// True when a character of the text lies outside ASCII.
bool HasNonAscii(std::wstring_view text);

// The text's paragraphs joined by blank lines, the empty ones left out.
std::wstring Paragraphs(std::initializer_list<std::wstring_view> paragraphs);

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
