#include "ImageActions.h"
#include "Texts.h"

namespace qarvel {

void ImageActions::OnWindowLoad()
{
    form_.SetEnabled(FormatBox::Check1, false);
    form_.SetEnabled(FormatBox::Check2, false);
    const std::wstring programDirectory = host_.ProgramDirectory();
    // Runs the directory-change handling at once: File1 then lists the program directory.
    form_.SetOpenDirectory(programDirectory);
    // Each format can be chosen only when its tool lies beside the program.
    if (host_.FileExists(programDirectory + texts::ChdToolProbe)) {
        form_.SetEnabled(FormatBox::Check1, true);
    }
    if (host_.FileExists(programDirectory + texts::ZsoToolProbe)) {
        form_.SetEnabled(FormatBox::Check2, true);
    }
}

void ImageActions::OnDirectoryChanged()
{
    form_.SetFileListDirectory(form_.ReadHighlightedDirectory());
    form_.RereadFileList();
}

// The two format boxes exclude each other. SetTick runs no click handling, so the box the
// user clicked keeps the value the user gave it.
void ImageActions::OnChdClicked()
{
    if (form_.ReadTick(FormatBox::Check2) == Tick::Ticked) {
        form_.SetTick(FormatBox::Check2, Tick::Unticked);
    }
}

void ImageActions::OnZsoClicked()
{
    if (form_.ReadTick(FormatBox::Check1) == Tick::Ticked) {
        form_.SetTick(FormatBox::Check1, Tick::Unticked);
    }
}

} // namespace qarvel
