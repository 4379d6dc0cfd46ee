#include "MessageLoop.h"

#include "win32/ErrorText.h"

namespace qarvel::app {

int RunMessageLoop(window::MainWindow &window, host::WinHost &host)
{
    for (;;) {
        // One message at a time: an ended process is told before the next message is taken,
        // and its box, while open, holds back every other one. A box of a handling holds them
        // back too: this loop does not run under it.
        const std::vector<HANDLE> &handles = host.Tasks().Handles();
        const auto count = static_cast<DWORD>(handles.size());
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(count, handles.data(), INFINITE,
                                                          QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken < WAIT_OBJECT_0 + count) {
            const host::EndedTask ended = host.TakeEnded(woken - WAIT_OBJECT_0);
            window.Actions().OnTaskEnded(ended.task, ended.code);
            continue;
        }
        if (woken == WAIT_FAILED) {
            // Never seen; waiting on the messages alone keeps the window working.
            win32::TraceFailure(L"MsgWaitForMultipleObjectsEx", ::GetLastError());
            ::WaitMessage();
        }
        MSG message{};
        if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            continue; // only sent messages, handled by the peek itself
        }
        if (message.message == WM_QUIT) {
            return static_cast<int>(message.wParam);
        }
        if (!window::MainWindow::TranslateKeys(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

} // namespace qarvel::app
