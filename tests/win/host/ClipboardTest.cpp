// The clipboard holds exactly the text set, and a clipboard that another program holds is
// waited for briefly, not forever.

#include "host/win/WinHost.h"
#include "HostTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace qarvel::test {
namespace {

// The text on the clipboard up to its terminating NUL, or "<no text>".
std::wstring ReadClipboardText(HWND window)
{
    if (!::OpenClipboard(window)) {
        return L"<not open>";
    }
    const win::ClipboardCloser closer;
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) {
        return L"<no text>";
    }
    const win::GlobalLockGuard lock(data);
    const auto *text = static_cast<const wchar_t *>(lock.get());
    return text != nullptr ? std::wstring(text) : L"<not locked>";
}

// Starts clipboard-holder.exe and returns once it holds the clipboard.
class Holder {
public:
    explicit Holder(DWORD holdMs)
    {
        const std::wstring eventName =
            L"qarvel-clipboard-held-" + std::to_wstring(::GetCurrentProcessId());
        held_.reset(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        std::wstring line = L"clipboard-holder.exe " + std::to_wstring(holdMs) + L" " + eventName;
        const std::wstring program = ToolsFolder() + L"/clipboard-holder.exe";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!held_ || !::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &info)) {
            ADD_FAILURE() << "holder not started, error " << ::GetLastError();
            return;
        }
        process_ = win::UniqueProcess(info);
        const HANDLE either[] = {held_.get(), process_.process.get()};
        if (::WaitForMultipleObjects(2, either, FALSE, 10000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the holder never held the clipboard";
        }
    }

    // Waits for the holder to let go and end; true when it held the clipboard all right.
    bool Finish()
    {
        DWORD code = 1;
        return process_.process &&
               ::WaitForSingleObject(process_.process.get(), 20000) == WAIT_OBJECT_0 &&
               ::GetExitCodeProcess(process_.process.get(), &code) && code == 0;
    }

private:
    win::UniqueHandle held_;
    win::UniqueProcess process_;
};

// As in the program, the host's clipboard text is owned by a window of this thread.
class Clipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window_);
        host_.SetOwnerWindow(window_.get());
    }

    win::UniqueWindow window_{::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                nullptr, nullptr, nullptr)};
    win::WinHost host_;
};

TEST_F(Clipboard, HoldsExactlyTheTextSet)
{
    const wchar_t *texts[] = {
        L"cmd.exe /c ziso.py -c 1 \"D:\\Jeux vidéo\\Жар-птица 日本語 (x86) & co.iso\" "
        L"\"C:\\tools\\NEW.ZSO\"",
        L"short", // after a longer text: nothing of the earlier one is left over
        L"",
    };
    for (const wchar_t *text : texts) {
        SCOPED_TRACE(testing::Message() << "text " << text);
        EXPECT_TRUE(host_.SetClipboardText(text));
        EXPECT_EQ(ReadClipboardText(window_.get()), text);
    }
}

TEST_F(Clipboard, ReplacesWhatWasThere)
{
    const UINT otherFormat = ::RegisterClipboardFormatW(L"Qarvel test format");
    ASSERT_NE(otherFormat, 0u);
    ASSERT_TRUE(::OpenClipboard(window_.get()));
    {
        const win::ClipboardCloser closer;
        ASSERT_TRUE(::EmptyClipboard());
        win::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, 4));
        ASSERT_TRUE(memory);
        ASSERT_NE(::SetClipboardData(otherFormat, memory.get()), nullptr);
        memory.release();
    }

    EXPECT_TRUE(host_.SetClipboardText(L"the new text"));

    EXPECT_FALSE(::IsClipboardFormatAvailable(otherFormat));
    EXPECT_EQ(ReadClipboardText(window_.get()), L"the new text");
}

TEST_F(Clipboard, WaitsBrieflyForAnotherProgramToLetGo)
{
    ASSERT_TRUE(host_.SetClipboardText(L"before"));
    Holder holder(100);

    EXPECT_TRUE(host_.SetClipboardText(L"after a short hold"));

    EXPECT_TRUE(holder.Finish());
    EXPECT_EQ(ReadClipboardText(window_.get()), L"after a short hold");
}

TEST_F(Clipboard, GivesUpWhenAnotherProgramKeepsIt)
{
    ASSERT_TRUE(host_.SetClipboardText(L"before"));
    Holder holder(4000);
    const ULONGLONG start = ::GetTickCount64();

    EXPECT_FALSE(host_.SetClipboardText(L"never written"));

    EXPECT_LT(::GetTickCount64() - start, 3000u) << "the wait must be short";
    EXPECT_TRUE(holder.Finish());
    EXPECT_EQ(ReadClipboardText(window_.get()), L"before");
}

} // namespace
} // namespace qarvel::test
