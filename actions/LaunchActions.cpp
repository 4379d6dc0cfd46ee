#include "CommandLines.h"
#include "ImageActions.h"
#include "Texts.h"

namespace qarvel {

void ImageActions::OnConvert()
{
    // The converter takes no arguments; the capture only refreshes the file label.
    CaptureSelection();
    const std::wstring commandLine = ConvertCommand(host_.ProgramDirectory());
    if (IsSafeToStart(commandLine)) {
        LaunchHelper(commandLine, Job::Convert);
    }
}

void ImageActions::OnSiteLabelClicked()
{
    Launch(SiteCommand());
}

void ImageActions::OnLz4LabelClicked()
{
    LaunchHelper(texts::Lz4Command, Job::InstallLz4);
}

} // namespace qarvel
