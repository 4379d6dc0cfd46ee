// chdman.exe for Wine: runs the Linux chdman with this program's arguments, Windows paths
// turned into the Unix paths Wine maps them to, and exits with chdman's exit code.

#include "BridgeTexts.h"
#include "ChdmanCommand.h"
#include "Heartbeat.h"
#include "OutputRelay.h"
#include "PrivateFolder.h"
#include "RunScript.h"
#include "ShellRun.h"
#include "Win32Text.h"
#include "WinePaths.h"

#include <vector>

namespace {

int RunBridge(const std::vector<std::wstring> &arguments)
{
    using namespace qarvel::bridge;
    StandardStream output(STD_OUTPUT_HANDLE);
    StandardStream errors(STD_ERROR_HANDLE);

    const auto wine = WinePaths::Find();
    if (!wine) {
        errors.WriteMessage(texts::NotUnderWine);
        return BridgeFailure;
    }
    ChdmanCommand command = ComposeChdmanCommand(*wine, arguments);
    if (!command.error.empty()) {
        errors.WriteMessage(command.error);
        return BridgeFailure;
    }

    DWORD error = ERROR_SUCCESS;
    const auto folder = PrivateFolder::Create(error);
    if (!folder) {
        errors.WriteMessage(texts::CannotCreateFolder + DescribeError(error));
        return BridgeFailure;
    }
    const UnixPath folderPath = wine->ToUnix(folder->Path());
    if (folderPath.path.empty()) {
        errors.WriteMessage(texts::CannotMapPath + Quoted(folder->Path()) + L": " +
                            DescribeError(folderPath.error));
        return BridgeFailure;
    }
    const RunRequest request{folderPath.path, command.tool, std::move(command.arguments)};
    error = WriteNewFile(folder->File(files::Script), ComposeRunScript(request));
    if (error != ERROR_SUCCESS) {
        errors.WriteMessage(texts::CannotWriteScript + DescribeError(error));
        return BridgeFailure;
    }
    Heartbeat heartbeat; // stops beating before the folder goes
    error = heartbeat.Start(folder->File(files::Heartbeat));
    if (error != ERROR_SUCCESS) {
        errors.WriteMessage(texts::CannotStartHeartbeat + DescribeError(error));
        return BridgeFailure;
    }
    return RunShellScript(ShellRunContext{*wine, *folder, output, errors}, request.tool);
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    return RunBridge(std::vector<std::wstring>(argv + 1, argv + argc));
}
