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

// The tools as the command lines name them.
inline constexpr const wchar_t *ChdTool = L"chdman";
inline constexpr const wchar_t *ZsoTool = L"ziso.py";

// Start-up probes: the program directory followed by these.
inline constexpr const wchar_t *ChdToolProbe = L"\\chdman.exe";
inline constexpr const wchar_t *ZsoToolProbe = L"\\ziso.py";

// ziso.py is a Python script: the interpreter runs it through the program that opens its type.
inline constexpr const wchar_t *PythonScriptType = L".py";
// ziso.py's exit code when the Python package lz4 cannot be imported.
inline constexpr unsigned long ZisoMissingLz4Code = 3;

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
// started has ended: each a whole message, its places filled by RunReports.cpp.
namespace report {

// {1} output, {2} folder, {3} tool: the output is there already, as a file or a folder.
inline constexpr const wchar_t *OutputExists =
    L"There is already a {1} in {2}.\r\n\r\n{3} will not overwrite it: move or rename it, then "
    L"press iSO again.";
// {1} output, {2} folder: the output is there and another program has it open.
inline constexpr const wchar_t *OutputInUse =
    L"{1} in {2} is still being written by another program: another Qarvel, or a tool still "
    L"running.\r\n\r\nWait until it has finished, then press iSO again.";

// {1} name: a ZSO is made from the image itself.
inline constexpr const wchar_t *CueForZso =
    L"{1} is a cue sheet: it only lists the tracks of a disc. A ZSO is made from the .iso image "
    L"itself; select the .iso file, or tick CHD to compress the disc through its cue sheet.";

// {1} name: the image file holds nothing.
inline constexpr const wchar_t *EmptyImage =
    L"{1} is empty (0 bytes): there is nothing in it to compress.\r\n\r\nSelect the disc image "
    L"itself; if it is still being copied or downloaded, wait until that has finished.";

// {1} tool, {2} output, {3} image: a run for the same output has not ended.
inline constexpr const wchar_t *StillRunning =
    L"{1} is still making {2} from {3}.\r\n\r\nWait until it has ended, then press iSO again.";

// {1} tool, {2} output, {3} folder: no file can be made in the program folder.
inline constexpr const wchar_t *FolderNotWritable =
    L"{1} could not make {2} in {3}: Qarvel cannot write to that folder. Windows lets only "
    L"administrators write to folders such as Program Files.\r\n\r\nMove Qarvel to a folder "
    L"of your own, such as Documents, with what lies beside it, and start it from there.";

// Nothing opens .py files, so the interpreter cannot run ziso.py.
inline constexpr const wchar_t *NoPython =
    L"ziso.py needs Python 3.8 or later, and no program on this computer opens .py files."
    L"\r\n\r\nInstall Python from https://www.python.org/downloads/ and keep \"Associate "
    L"files with Python\" ticked (the installer's default), then press iSO again.";

// {1} report ("NEW.CHD created!"), {2} image name, {3} its size, {4} output, {5} its size,
// {6} percent, {7} time: the tool ended well and its output is there.
inline constexpr const wchar_t *Created = L"{1}\r\n{2} {3} -> {4} {5} ({6} %) in {7}";

// {1} tool, {2} output, {3} folder, {4} command line: the tool ended well without its output.
inline constexpr const wchar_t *NoOutput =
    L"{1} ended without an error, but there is no {2} in {3}: the tool did not make it."
    L"\r\n\r\nTo read {1}'s own message, run this command line in a command prompt opened in "
    L"Qarvel's folder (Ctrl+C copies the text of this box):\r\n\r\n{4}";

// {1} tool, {2} output: the interpreter found no chdman by that name.
inline constexpr const wchar_t *ChdmanNotFound =
    L"{1} was not found, so {2} was not made.\r\n\r\nchdman.exe must lie beside Qarvel.exe, "
    L"and Qarvel must be started from its own folder (as Explorer and shortcuts do).";
// {1} tool, {2} output: the interpreter found no ziso.py, or nothing to run it with.
inline constexpr const wchar_t *ZisoNotFound =
    L"{1} was not found, so {2} was not made.\r\n\r\nEither ziso.py does not lie beside "
    L"Qarvel.exe, with Qarvel started from its own folder (as Explorer and shortcuts do), or "
    L"Python is not installed: install Python 3.8 or later from "
    L"https://www.python.org/downloads/ with its .py file association (the installer's "
    L"default).";

// {1} tool, {2} exit code, {3} output, {4} image, {5} command line: the tool failed.
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
// {1} tool, {2} exit code, {3} output, {4} image, {5} folder, {6} command line: the tool
// failed and left part of its output; asked with Yes and No.
inline constexpr const wchar_t *FailedLeftover =
    L"{1} ended with {2} while making {3} from {4}. The {3} it left in {5} is incomplete."
    L"\r\n\r\nTo read {1}'s own message, delete it, then run this command line in a command "
    L"prompt opened in Qarvel's folder (Ctrl+C copies the text of this box):\r\n\r\n{6}"
    L"\r\n\r\nDelete the incomplete {3} now?";
// {1} output, {2} folder: the leftover could not be deleted.
inline constexpr const wchar_t *NotRemoved =
    L"The incomplete {1} in {2} could not be deleted: another program has it open, or Qarvel "
    L"may not change that folder.\r\n\r\nDelete it yourself before you press iSO again.";
// {1} image, {2} output: ziso.py ended with the code that says lz4 is missing.
inline constexpr const wchar_t *MissingLz4 =
    L"ziso.py could not compress {1}: the Python package lz4 is missing, so {2} was not made."
    L"\r\n\r\nClick \"pip install lz4\" in Qarvel's window to install it, then press iSO again.";
// {1} tool, {2} output, {3} image, {4} folder: the exit code could not be read.
inline constexpr const wchar_t *UnknownEnd =
    L"Qarvel could not learn how {1} ended while making {2} from {3}, so it cannot tell "
    L"whether a {2} in {4} is complete.\r\n\r\nCheck it before you use it.";

// The exit code: "exit code 3", or in hex above 0xFFFF, "exit code 0xC000013A".
inline constexpr const wchar_t *ExitCodeStart = L"exit code ";
inline constexpr unsigned long LargestDecimalExitCode = 0xFFFF;

// {1} program directory: the converter is not where the line looked for it.
inline constexpr const wchar_t *ConverterNotFound =
    L"bin2iso.exe was not found beside Qarvel.exe in {1}, so the converter did not start.";

// The package installer.
inline constexpr const wchar_t *PipNotFound =
    L"pip was not found, so lz4 was not installed: Python is not installed, or its folder is "
    L"not on the search path.\r\n\r\nRun py -m pip install lz4 in a command prompt instead.";
// {1} exit code
inline constexpr const wchar_t *PipFailed =
    L"pip install lz4 ended with {1}: lz4 may not be installed.\r\n\r\nRun py -m pip install "
    L"lz4 in a command prompt to see why and to try again.";

} // namespace report

} // namespace qarvel::texts
