#pragma once
// The operations on the main window's controls that the actions use. The window provides
// them over its real controls; the unit tests provide them over plain fields.

#include <string>

namespace qarvel {

// The two format boxes, "CHD" and "ZSO".
enum class FormatBox { Chd, Zso };

// Tick value of a check box.
enum class Tick { Unticked, Ticked };

class FormControls {
public:
    FormControls() = default;
    FormControls(const FormControls &) = delete;
    FormControls &operator=(const FormControls &) = delete;
    virtual ~FormControls() = default;

    // The file list: the selected entry, the bare file name; empty when nothing is selected.
    virtual std::wstring ReadSelectedFile() = 0;
    // The file list: the directory whose files it lists (no trailing separator except at a
    // drive root).
    virtual std::wstring ReadFileListDirectory() = 0;

    // The folder list: opens that directory and highlights it; the file list then lists its
    // files with nothing selected, before this returns, just as when the user opens it.
    virtual void SetOpenDirectory(const std::wstring &directory) = 0;

    // The file label: replaces the caption.
    virtual void SetFileLabel(const std::wstring &caption) = 0;

    virtual Tick ReadTick(FormatBox box) = 0;
    // Changes the tick value without running the box's click handling.
    virtual void SetTick(FormatBox box, Tick value) = 0;
    // A disabled box shows its state but takes no clicks; its tick value stays.
    virtual void SetEnabled(FormatBox box, bool enabled) = 0;

    // The window: when it is not the foreground window, its taskbar button flashes until the
    // user comes back to it.
    virtual void FlashUntilActive() = 0;
};

} // namespace qarvel
