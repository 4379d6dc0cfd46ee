// The clipboard holds exactly the text set, and a clipboard that another program holds is
// waited for briefly, not forever.

#include "host/win/WinHost.h"
#include "tests/harness/Driver.h"

#include <gtest/gtest.h>

#include <string>

namespace qarvel::drive {
namespace {

// As in the program, the host's clipboard text is owned by a window of this thread.
class Clipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window_);
        host_.SetOwnerWindow(window_.get());
    }

    win32::UniqueWindow window_{::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                  nullptr, nullptr, nullptr)};
    host::WinHost host_;
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
        EXPECT_EQ(ClipboardText(), text);
    }
}

TEST_F(Clipboard, ReplacesWhatWasThere)
{
    const UINT otherFormat = ::RegisterClipboardFormatW(L"Qarvel test format");
    ASSERT_NE(otherFormat, 0u);
    ASSERT_TRUE(::OpenClipboard(window_.get()));
    {
        const win32::ClipboardCloser closer;
        ASSERT_TRUE(::EmptyClipboard());
        win32::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, 4));
        ASSERT_TRUE(memory);
        ASSERT_NE(::SetClipboardData(otherFormat, memory.get()), nullptr);
        memory.release();
    }

    EXPECT_TRUE(host_.SetClipboardText(L"the new text"));

    EXPECT_FALSE(::IsClipboardFormatAvailable(otherFormat));
    EXPECT_EQ(ClipboardText(), L"the new text");
}

TEST_F(Clipboard, WaitsBrieflyForAnotherProgramToLetGo)
{
    ASSERT_TRUE(host_.SetClipboardText(L"before"));
    ClipboardHolder holder(100);

    EXPECT_TRUE(host_.SetClipboardText(L"after a short hold"));

    EXPECT_TRUE(holder.Finish());
    EXPECT_EQ(ClipboardText(), L"after a short hold");
}

TEST_F(Clipboard, GivesUpWhenAnotherProgramKeepsIt)
{
    ASSERT_TRUE(host_.SetClipboardText(L"before"));
    ClipboardHolder holder(4000);
    const ULONGLONG start = ::GetTickCount64();

    EXPECT_FALSE(host_.SetClipboardText(L"never written"));

    EXPECT_LT(::GetTickCount64() - start, 3000u) << "the wait must be short";
    EXPECT_TRUE(holder.Finish());
    EXPECT_EQ(ClipboardText(), L"before");
}

} // namespace
} // namespace qarvel::drive
