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

} // namespace qarvel::texts
