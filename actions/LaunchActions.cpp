#include "CommandLines.h"
#include "ImageActions.h"
#include "Texts.h"

namespace qarvel {

void ImageActions::OnConvert()
{
    // The converter takes no arguments; the capture only refreshes the file label.
    CaptureSelection();
    Launch(ConvertCommand(host_.ProgramDirectory()));
}

void ImageActions::OnSiteLabelClicked()
{
    Launch(SiteCommand());
}

void ImageActions::OnLz4LabelClicked()
{
    Launch(texts::Lz4Command);
}

} // namespace qarvel
