#pragma once
// What the user and the tools must see, spelled out once for the driven tests and never taken
// from the program's own constants, so that a wrong text in the program fails them.

#include "window/ControlIds.h"

#include <string>
#include <vector>

namespace qarvel::drive::expected {

inline const std::wstring Caption = L"Qarvel Compression Tool v0.1 ";
inline const std::wstring FileLabelStart = L"File: ";
inline const std::wstring FileNotSet = L"File: Not Set";
inline const std::wstring NotAnImage = L"Selected file is not an iSO or cue!";
inline const std::wstring ChdReport = L"NEW.CHD created!";
inline const std::wstring ZsoReport = L"NEW.ZSO created!";

// A format as the user ticks it, and how its tool must be started for the selected file's path
// and the program folder.
struct Format {
    int box;
    std::wstring name;
    std::wstring tool; // the recorder copy the interpreter finds in the working folder
    std::wstring report;

    bool IsChd() const { return name == L"CHD"; }
    std::wstring Confirmation(const std::wstring &file) const
    {
        return L"Proceed to compress " + file + L" with " + name + L"?";
    }
    std::wstring Line(const std::wstring &input, const std::wstring &program) const
    {
        return IsChd()
                   ? L"cmd.exe /c chdman createcd -i \"" + input + L"\" -o \"" + program +
                         L"\\NEW.CHD\""
                   : L"cmd.exe /c ziso.py -c 1 \"" + input + L"\" \"" + program + L"\\NEW.ZSO\"";
    }
    std::vector<std::wstring> Args(const std::wstring &input, const std::wstring &program) const
    {
        if (IsChd()) {
            return {L"chdman", L"createcd", L"-i", input, L"-o", program + L"\\NEW.CHD"};
        }
        return {L"ziso.py", L"-c", L"1", input, program + L"\\NEW.ZSO"};
    }
};

inline const Format Chd{window::ids::Check1, L"CHD", L"chdman.exe", ChdReport};
inline const Format Zso{window::ids::Check2, L"ZSO", L"ziso.py.exe", ZsoReport};

inline const std::wstring LaunchFailed =
    L"The command could not be started: Windows could not run the command interpreter "
    L"(cmd.exe) with it, or the line is longer than the interpreter takes. Nothing was started.";

inline std::wstring FileGone(const std::wstring &path)
{
    return L"The selected file cannot be found; it may have been moved or deleted, or its "
           L"folder may no longer be readable:\r\n" +
           path;
}

// The text the interpreter would replace, such as %PATH%.
inline std::wstring Expansion(const std::wstring &variable)
{
    return L"The command interpreter would replace " + variable +
           L" in this path with the value of an environment variable, so the tool would be "
           L"given another path. Rename the file or folder and try again.";
}

inline const std::wstring ClipboardFailed =
    L"The command line could not be copied to the clipboard: another program is holding it. "
    L"The compression was started all the same.";

inline std::wstring OutputExists(const std::wstring &output, const std::wstring &folder,
                                 const std::wstring &tool)
{
    return L"There is already a " + output + L" in " + folder + L".\r\n\r\n" + tool +
           L" will not overwrite it: move or rename it, then press iSO again.";
}

inline std::wstring StillRunning(const std::wstring &tool, const std::wstring &output,
                                 const std::wstring &image)
{
    return tool + L" is still making " + output + L" from " + image +
           L".\r\n\r\nWait until it has ended, then press iSO again.";
}

inline std::wstring ToolNotFound(const std::wstring &tool, const std::wstring &output,
                                 const std::wstring &toolFile)
{
    return tool + L" was not found, so " + output + L" was not made.\r\n\r\n" + toolFile +
           L" must lie beside Qarvel.exe, and Qarvel must be started from its own folder (as "
           L"Explorer and shortcuts do).";
}

inline std::wstring CueForZso(const std::wstring &name)
{
    return name + L" is a cue sheet: it only lists the tracks of a disc. A ZSO is made from the "
                  L".iso image itself; select the .iso file, or tick CHD to compress the disc "
                  L"through its cue sheet.";
}

inline std::wstring ConverterNotFound(const std::wstring &folder)
{
    return L"bin2iso.exe was not found beside Qarvel.exe in " + folder +
           L", so the converter did not start.";
}

inline const std::wstring PipNotFound =
    L"pip was not found, so lz4 was not installed: Python is not installed, or its folder is not "
    L"on the search path.\r\n\r\nRun py -m pip install lz4 in a command prompt instead.";

inline std::wstring PipFailed(const std::wstring &code)
{
    return L"pip install lz4 ended with exit code " + code +
           L": lz4 may not be installed.\r\n\r\nRun py -m pip install lz4 in a command prompt to "
           L"see why and to try again.";
}

// A run whose tool, beside Qarvel in folder, ended with the code given; a ZSO line is on the
// clipboard too.
inline std::wstring ToolFailed(const Format &format, const std::wstring &code,
                               const std::wstring &image, const std::wstring &folder)
{
    const std::wstring line = format.Line(image, folder);
    const std::wstring tool = format.IsChd() ? L"chdman" : L"ziso.py";
    const std::wstring output = L"NEW." + format.name;
    return tool + L" ended with exit code " + code + L" while making " + output + L" from " +
           image + L"; " + output + L" is missing or incomplete.\r\n\r\nTo read " + tool +
           L"'s own message, run this command line in a command prompt opened in Qarvel's "
           L"folder (Ctrl+C copies the text of this box):\r\n\r\n" +
           line +
           (format.IsChd() ? L""
                           : L"\r\n\r\nThe command line was also put on the clipboard when "
                             L"the compression started.");
}

inline std::wstring FolderUnreadable(const std::wstring &folder, const std::wstring &reason)
{
    return L"The folder \"" + folder + L"\" cannot be read.\n\n" + reason +
           L"\n\nThe lists still show the folder that was open before.";
}

} // namespace qarvel::drive::expected
