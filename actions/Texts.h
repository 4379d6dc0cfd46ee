#pragma once
// Every fixed text of the program's actions, exactly as the user and the outside tools see
// it, leading and trailing blanks included. Nothing else in the program spells these out.

namespace qarvel::texts {

// File label and selection
inline constexpr const wchar_t *FileLabelStart = L"File: ";
inline constexpr wchar_t NameSeparator = L'.';
inline constexpr wchar_t PathSeparator = L'\\';
inline constexpr wchar_t Quote = L'"';
inline constexpr const wchar_t *AcceptedLastPieces[] = {L"iso", L"cue"};
// The last piece of a cue sheet's name: a list of tracks, not an image in itself.
inline constexpr const wchar_t *CueSheetPiece = L"cue";

// Compress action
inline constexpr const wchar_t *NotAnImage = L"Selected file is not an iSO or cue!";
inline constexpr const wchar_t *ConfirmStart = L"Proceed to compress ";
inline constexpr const wchar_t *ConfirmChdEnd = L" with CHD?";
inline constexpr const wchar_t *ConfirmZsoEnd = L" with ZSO?";
inline constexpr const wchar_t *ChdHead = L"cmd.exe /c chdman createcd -i ";
inline constexpr const wchar_t *ChdBetween = L" -o ";
inline constexpr const wchar_t *ChdOutputName = L"NEW.CHD";
inline constexpr const wchar_t *ChdReport = L"NEW.CHD created!";
inline constexpr const wchar_t *ZsoHead = L"cmd.exe /c ziso.py -c 1 ";
inline constexpr const wchar_t *ZsoBetween = L" ";
inline constexpr const wchar_t *ZsoOutputName = L"NEW.ZSO";
inline constexpr const wchar_t *ZsoReport = L"NEW.ZSO created!";

// The tools as the command lines name them, and their files beside Qarvel.exe.
inline constexpr const wchar_t *ChdTool = L"chdman";
inline constexpr const wchar_t *ChdToolFile = L"chdman.exe";
inline constexpr const wchar_t *ZsoTool = L"ziso.py";
inline constexpr const wchar_t *ZsoToolFile = L"ziso.py";

// Start-up probes: the program directory followed by these.
inline constexpr const wchar_t *ChdToolProbe = L"\\chdman.exe";
inline constexpr const wchar_t *ZsoToolProbe = L"\\ziso.py";

// Converter and label launches
inline constexpr const wchar_t *ConvertHead = L"cmd.exe /c ";
inline constexpr const wchar_t *ConverterFile = L"\\bin2iso.exe";
inline constexpr const wchar_t *Lz4Command = L"cmd.exe /c pip install lz4";
inline constexpr const wchar_t *SiteHead = L"cmd.exe /c start ";
// The maker's site, handed to the default browser by the interpreter's start command. It must
// hold no blank and none of the characters the interpreter treats specially.
inline constexpr const wchar_t *SiteAddress = L"https://halvoren.example/qarvel";

// Shown when the command interpreter could not be started with the line: nothing was run.
inline constexpr const wchar_t *LaunchFailed =
    L"The command could not be started: Windows could not run the command interpreter "
    L"(cmd.exe) with it, or the line is longer than the interpreter takes. Nothing was started.";
// Shown, followed by the path, when the selected file is no longer there to compress.
inline constexpr const wchar_t *FileGone =
    L"The selected file cannot be found; it may have been moved or deleted, or its folder may "
    L"no longer be readable:\r\n";
// Shown instead of starting a line in which the interpreter would expand a variable; the text
// it would replace stands between the two parts.
inline constexpr const wchar_t *ExpansionStart = L"The command interpreter would replace ";
inline constexpr const wchar_t *ExpansionEnd =
    L" in this path with the value of an environment variable, so the tool would be given "
    L"another path. Rename the file or folder and try again.";
// Shown after the ZSO report when the command line could not be put on the clipboard.
inline constexpr const wchar_t *ClipboardFailed =
    L"The command line could not be copied to the clipboard: another program is holding it. "
    L"The compression was started all the same.";

// What Qarvel tells before it starts a compression that cannot work, and after a tool it
// started has ended; RunReports.cpp puts the pieces together with the names of the run.
namespace report {

// <output> <folder> <tool>: the output is there already, as a file or a folder.
inline constexpr const wchar_t *OutputExistsStart = L"There is already a ";
inline constexpr const wchar_t *OutputExistsIn = L" in ";
inline constexpr const wchar_t *OutputExistsTool = L".\r\n\r\n";
inline constexpr const wchar_t *OutputExistsEnd =
    L" will not overwrite it: move or rename it, then press iSO again.";

// <name>: a ZSO is made from the image itself.
inline constexpr const wchar_t *CueForZsoEnd =
    L" is a cue sheet: it only lists the tracks of a disc. A ZSO is made from the .iso image "
    L"itself; select the .iso file, or tick CHD to compress the disc through its cue sheet.";

// <tool> <output> <image>: a run for the same output has not ended.
inline constexpr const wchar_t *StillRunningMaking = L" is still making ";
inline constexpr const wchar_t *StillRunningFrom = L" from ";
inline constexpr const wchar_t *StillRunningEnd =
    L".\r\n\r\nWait until it has ended, then press iSO again.";

// <tool> <output> <tool file>: the interpreter found no tool by that name.
inline constexpr const wchar_t *NotFoundSo = L" was not found, so ";
inline constexpr const wchar_t *NotFoundNotMade = L" was not made.\r\n\r\n";
inline constexpr const wchar_t *NotFoundEnd =
    L" must lie beside Qarvel.exe, and Qarvel must be started from its own folder (as "
    L"Explorer and shortcuts do).";

// <tool> <exit code> <output> <image> <output> <tool> <command line>: the tool failed.
inline constexpr const wchar_t *FailedEndedWith = L" ended with ";
inline constexpr const wchar_t *FailedMaking = L" while making ";
inline constexpr const wchar_t *FailedFrom = L" from ";
inline constexpr const wchar_t *FailedOutput = L"; ";
inline constexpr const wchar_t *FailedIncomplete = L" is missing or incomplete.\r\n\r\nTo read ";
inline constexpr const wchar_t *FailedOwnMessage =
    L"'s own message, run this command line in a command prompt opened in Qarvel's folder "
    L"(Ctrl+C copies the text of this box):\r\n\r\n";
inline constexpr const wchar_t *FailedOnClipboard =
    L"\r\n\r\nThe command line was also put on the clipboard when the compression started.";

// The exit code: "exit code 3", or in hex above 0xFFFF, "exit code 0xC000013A".
inline constexpr const wchar_t *ExitCodeStart = L"exit code ";
inline constexpr unsigned long LargestDecimalExitCode = 0xFFFF;

// <program directory>: the converter is not where the line looked for it.
inline constexpr const wchar_t *ConverterNotFoundStart =
    L"bin2iso.exe was not found beside Qarvel.exe in ";
inline constexpr const wchar_t *ConverterNotFoundEnd = L", so the converter did not start.";

// The package installer.
inline constexpr const wchar_t *PipNotFound =
    L"pip was not found, so lz4 was not installed: Python is not installed, or its folder is "
    L"not on the search path.\r\n\r\nRun py -m pip install lz4 in a command prompt instead.";
// <exit code>
inline constexpr const wchar_t *PipFailedStart = L"pip install lz4 ended with ";
inline constexpr const wchar_t *PipFailedEnd =
    L": lz4 may not be installed.\r\n\r\nRun py -m pip install lz4 in a command prompt to see "
    L"why and to try again.";

} // namespace report

} // namespace qarvel::texts
