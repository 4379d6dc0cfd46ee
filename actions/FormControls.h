#pragma once
// The operations on the main window's controls that the actions use. The window provides
// them over its real controls; the unit tests provide them over plain fields.

#include <string>

namespace qarvel {

// The two format boxes: Check1 is "CHD", Check2 is "ZSO".
enum class FormatBox { Check1, Check2 };

// Tick value of a check box.
enum class Tick : int { Unticked = 0, Ticked = 1 };

class FormControls {
public:
    FormControls() = default;
    FormControls(const FormControls &) = delete;
    FormControls &operator=(const FormControls &) = delete;
    virtual ~FormControls() = default;

    // File1: the selected entry, the bare file name; empty when nothing is selected.
    virtual std::wstring ReadSelectedFile() = 0;
    // File1: the directory whose files it lists (no trailing separator except at a drive root).
    virtual std::wstring ReadFileListDirectory() = 0;
    // File1: list that directory's files; the selection is cleared.
    virtual void SetFileListDirectory(const std::wstring &directory) = 0;
    // File1: read its directory again; the selection is cleared.
    virtual void RereadFileList() = 0;

    // Dir1: full path of the highlighted entry, no trailing separator except at a drive root.
    virtual std::wstring ReadHighlightedDirectory() = 0;
    // Dir1: open that directory and highlight it; the directory-change handling runs at once,
    // before this returns, just as when the user opens a directory.
    virtual void SetOpenDirectory(const std::wstring &directory) = 0;

    // Label1: replaces the caption.
    virtual void SetFileLabel(const std::wstring &caption) = 0;

    virtual Tick ReadTick(FormatBox box) = 0;
    // Changes the tick value without running the box's click handling.
    virtual void SetTick(FormatBox box, Tick value) = 0;
    // A disabled box shows its state but takes no clicks; its tick value stays.
    virtual void SetEnabled(FormatBox box, bool enabled) = 0;

    // Form1: when it is not the foreground window, its taskbar button flashes until the user
    // comes back to it.
    virtual void FlashUntilActive() = 0;
};

} // namespace qarvel
