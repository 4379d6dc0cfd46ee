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
    // As the command line names it.
    std::wstring Tool() const { return IsChd() ? L"chdman" : L"ziso.py"; }
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

inline const Format Chd{window::ids::ChdBox, L"CHD", L"chdman.exe", ChdReport};
inline const Format Zso{window::ids::ZsoBox, L"ZSO", L"ziso.py.exe", ZsoReport};

inline const std::wstring LaunchFailed =
    L"The command could not be started: Windows could not run the command interpreter "
    L"(cmd.exe) with it, or the line is longer than the interpreter takes. Nothing was started.";

inline std::wstring FileGone(const std::wstring &path)
{
    return L"The selected file cannot be found; it may have been moved or deleted, or its "
           L"folder may no longer be readable:\r\n" +
           path;
}

// The text the interpreter would replace, such as %PATH%, and the path that holds it.
inline std::wstring Expansion(const std::wstring &variable, const std::wstring &path)
{
    return L"The command interpreter would replace " + variable +
           L" in this path with the value of an environment variable, so the tool would be "
           L"given another path:\r\n\r\n" +
           path + L"\r\n\r\nRename the file or folder and try again.";
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

inline std::wstring OutputInUse(const std::wstring &output, const std::wstring &folder)
{
    return output + L" in " + folder +
           L" is still being written by another program: another Qarvel, or a tool still "
           L"running.\r\n\r\nWait until it has finished, then press iSO again.";
}

inline std::wstring EmptyImage(const std::wstring &name)
{
    return name + L" is empty (0 bytes): there is nothing in it to compress.\r\n\r\nSelect the "
                  L"disc image itself; if it is still being copied or downloaded, wait until "
                  L"that has finished.";
}

inline std::wstring FolderNotWritable(const std::wstring &tool, const std::wstring &output,
                                      const std::wstring &folder)
{
    return L"Qarvel cannot write to " + folder + L", so " + tool +
           L" was not started: it could not have made " + output +
           L" there. Windows lets only administrators write to folders such as Program "
           L"Files.\r\n\r\nMove Qarvel to a folder of your own, such as Documents, with what lies "
           L"beside it, and start it from there.";
}

inline const std::wstring NoPython =
    L"ziso.py needs Python 3.8 or later, and no program on this computer opens .py files.\r\n\r\n"
    L"Install Python from https://www.python.org/downloads/ and keep \"Associate files with "
    L"Python\" ticked (the installer's default), then press iSO again.";

inline const std::wstring ChdmanNotFound =
    L"chdman was not found, so NEW.CHD was not made.\r\n\r\nchdman.exe must lie beside "
    L"Qarvel.exe, and Qarvel must be started from its own folder (as Explorer and shortcuts "
    L"do).";
inline const std::wstring ZisoNotFound =
    L"ziso.py was not found, so NEW.ZSO was not made.\r\n\r\nEither ziso.py does not lie "
    L"beside Qarvel.exe, with Qarvel started from its own folder (as Explorer and shortcuts do), "
    L"or Python is not installed: install Python 3.8 or later from "
    L"https://www.python.org/downloads/ with its .py file association (the installer's default).";

inline std::wstring MissingLz4(const std::wstring &image)
{
    return L"ziso.py could not compress " + image +
           L": the Python package lz4 is missing, so NEW.ZSO was not made.\r\n\r\nClick \"pip "
           L"install lz4\" in Qarvel's window to install it, then press iSO again.";
}

// The start of the box that refuses a .py opener that is not a Python.
inline std::wstring NotPython(const std::wstring &program)
{
    return L"Files ending in .py open with " + program +
           L" on this computer, so ziso.py would open in it instead of running.";
}

inline const std::wstring PackagedPython =
    L"Files ending in .py open through a packaged app on this computer, as the Python install "
    L"manager sets them up. A script opened through it starts in a window of its own, without the "
    L"image and output that Qarvel gives it, so ziso.py could not compress it and Qarvel could not "
    L"tell how it ended.\r\n\r\nInstall Python's legacy launcher (launcher.msi, from "
    L"https://www.python.org/downloads/windows/): it brings back the .py opener that ziso.py "
    L"needs. Then press iSO again.";

inline std::wstring CueFileMissing(const std::wstring &sheet, const std::wstring &name,
                                   const std::wstring &folder)
{
    return sheet + L" names the track file " + name + L", which is not in " + folder +
           L".\r\n\r\nchdman reads every file its cue sheet names. Put " + name +
           L" in that folder (it may have been renamed, or left elsewhere), or correct the FILE "
           L"line in " +
           sheet + L", then press iSO again.";
}

// The sentences a failure box adds for a cause Qarvel sees.
inline std::wstring NonAsciiPath(const std::wstring &path)
{
    return L"The chdman of Windows cannot open a path with a letter outside plain ASCII, as this "
           L"one has: " +
           path +
           L". Move the image, with its .bin files, to a folder whose path has only plain "
           L"letters, digits and blanks, such as C:\\Images, then press iSO again.";
}
inline std::wstring CueByteOrderMark(const std::wstring &sheet)
{
    return sheet + L" starts with a UTF-8 byte-order mark, which chdman cannot read: save it "
                   L"again without one (in Notepad: Save As, with the encoding UTF-8, not UTF-8 "
                   L"with BOM).";
}
inline std::wstring LowOnRoom(const std::wstring &disk, const std::wstring &left,
                              const std::wstring &size)
{
    return L"The disk " + disk + L" of Qarvel's folder has only " + left +
           L" left, less than the image's " + size +
           L": free some room there before you try "
           L"again.";
}

// The not-found box of a Qarvel started from another folder.
inline std::wstring StartedElsewhere(const std::wstring &working, const std::wstring &folder)
{
    return L"chdman was not found, so NEW.CHD was not made: Qarvel was started from the folder " +
           working + L", not from its own folder " + folder +
           L", and the command interpreter looks for chdman in the folder Qarvel was started "
           L"from.\r\n\r\nStart Qarvel from its own folder: open it from Explorer, or use a "
           L"shortcut whose \"Start in\" is " +
           folder + L".";
}

// The start of the question after "created!".
inline std::wstring NameQuestion(const Format &format)
{
    return L"Name NEW." + format.name + L" after its image: ";
}

inline std::wstring NameAfterImage(const Format &format, const std::wstring &name,
                                   const std::wstring &folder)
{
    const std::wstring output = L"NEW." + format.name;
    return NameQuestion(format) + name + L"?\r\n\r\nQarvel renames " + output + L" in " + folder +
           L" to " + name + L"; nothing is moved or replaced. No keeps the name " + output + L".";
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

// The box a run ends with when its tool made its output: the report, then the line of sizes
// and time given.
inline std::wstring Created(const Format &format, const std::wstring &sizes)
{
    return format.report + L"\r\n" + sizes;
}

// How that box starts for a run of the recorder, which writes 21 bytes, on an image of the size
// given in bytes; the time it took follows.
inline std::wstring RecorderCreated(const Format &format, const std::wstring &name,
                                    unsigned imageBytes, const std::wstring &percent)
{
    return Created(format, name + L" " + std::to_wstring(imageBytes) + L"\u00a0bytes -> NEW." +
                               format.name + L" 21\u00a0bytes (" + percent + L"\u00a0%) in ");
}

// What asks a user to read the tool's own message, with the command line the run started.
inline std::wstring OwnMessage(const std::wstring &tool, const std::wstring &line)
{
    return L"To read " + tool +
           L"'s own message, run this command line in a command prompt "
           L"opened in Qarvel's folder (Ctrl+C copies the text of this "
           L"box):\r\n\r\n" +
           line;
}

// A run whose tool ended with the code given and left nothing; a ZSO line was on the clipboard.
inline std::wstring ToolFailed(const Format &format, const std::wstring &code,
                               const std::wstring &image, const std::wstring &folder)
{
    const std::wstring output = L"NEW." + format.name;
    return format.Tool() + L" ended with exit code " + code + L" while making " + output +
           L" from " + image + L", so " + output + L" was not made.\r\n\r\n" +
           OwnMessage(format.Tool(), format.Line(image, folder)) +
           (format.IsChd() ? L""
                           : L"\r\n\r\nThe command line was also put on the clipboard when "
                             L"the compression started.");
}

// A chdman run that ended with the code given and left part of NEW.CHD: asked Yes or No.
inline std::wstring Leftover(const std::wstring &code, const std::wstring &image,
                             const std::wstring &folder)
{
    return L"chdman ended with exit code " + code + L" while making NEW.CHD from " + image +
           L". The NEW.CHD it left in " + folder +
           L" is incomplete.\r\n\r\nTo read chdman's own message, delete it, then run this "
           L"command line in a command prompt opened in Qarvel's folder (Ctrl+C copies the text "
           L"of this box):\r\n\r\n" +
           Chd.Line(image, folder) + L"\r\n\r\nDelete the incomplete NEW.CHD now?";
}

inline std::wstring NotRemoved(const std::wstring &folder)
{
    return L"The incomplete NEW.CHD in " + folder +
           L" could not be deleted: another program has it open, or Qarvel may not change that "
           L"folder.\r\n\r\nDelete it yourself before you press iSO again.";
}

inline std::wstring NoOutput(const Format &format, const std::wstring &image,
                             const std::wstring &folder)
{
    return format.Tool() + L" ended without an error, but there is no NEW." + format.name +
           L" in " + folder + L": the tool did not make it.\r\n\r\n" +
           OwnMessage(format.Tool(), format.Line(image, folder));
}

inline std::wstring UnknownEnd(const Format &format, const std::wstring &image,
                               const std::wstring &folder)
{
    const std::wstring output = L"NEW." + format.name;
    return L"Qarvel could not learn how " + format.Tool() + L" ended while making " + output +
           L" from " + image + L", so it cannot tell whether a " + output + L" in " + folder +
           L" is complete.\r\n\r\nCheck it before you use it.";
}

inline std::wstring FolderUnreadable(const std::wstring &folder, const std::wstring &reason)
{
    return L"The folder \"" + folder + L"\" cannot be read.\n\n" + reason +
           L"\n\nThe lists still show the folder that was open before.";
}

} // namespace qarvel::drive::expected
