// The lists' path and name text: roots of every form, the tidy form, the chain of ancestors,
// the name an entry shows, and the order of names.

#include "window/PathText.h"
#include "window/NameOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qarvel::window {
namespace {

using Paths = std::vector<std::wstring>;

struct PathCase {
    std::wstring path;
    std::wstring tidy;
    // of the tidy form:
    std::size_t root;
    bool isRoot;
    Paths chain;
    std::wstring shown;
};

TEST(PathText, RootsTidyFormsChainsAndShownNames)
{
    const std::wstring share = L"\\\\server\\share";
    const std::wstring longShare = L"\\\\?\\UNC\\server\\share";
    const std::wstring longC = L"\\\\?\\C:\\";
    const std::wstring un = L"disc \u00fcn";
    const std::wstring nihon = L"\u65e5\u672c";
    // clang-format off
    const PathCase cases[] = {
        // Drive roots and paths under them; a bare drive is its root.
        {L"C:\\", L"C:\\", 3, true, {L"C:\\"}, L"C:\\"},
        {L"C:", L"C:\\", 3, true, {L"C:\\"}, L"C:\\"},
        {L"C:\\\\", L"C:\\", 3, true, {L"C:\\"}, L"C:\\"},
        {L"c:/games/", L"c:\\games", 3, false, {L"c:\\", L"c:\\games"}, L"games"},
        {L"C:\\games\\" + un + L"\\\\", L"C:\\games\\" + un, 3, false, {L"C:\\", L"C:\\games", L"C:\\games\\" + un}, un},
        // Shares: the root is \\server\share, with no separator after it.
        {share, share, 14, true, {share}, share},
        {share + L"\\", share, 14, true, {share}, share},
        {L"//server/share/rips/", share + L"\\rips", 14, false, {share, share + L"\\rips"}, L"rips"},
        {share + L"\\rips\\" + nihon, share + L"\\rips\\" + nihon, 14, false, {share, share + L"\\rips", share + L"\\rips\\" + nihon}, nihon},
        {L"\\\\server", L"\\\\server", 8, true, {L"\\\\server"}, L"\\\\server"},
        // The long forms.
        {longC, longC, 7, true, {longC}, longC},
        {L"\\\\?\\C:", longC, 7, true, {longC}, longC},
        {longC + L"deep\\down\\", longC + L"deep\\down", 7, false, {longC, longC + L"deep", longC + L"deep\\down"}, L"down"},
        {longShare + L"\\rips", longShare + L"\\rips", 20, false, {longShare, longShare + L"\\rips"}, L"rips"},
        // The current drive's root, and relative paths, which have no root.
        {L"\\", L"\\", 1, true, {L"\\"}, L"\\"},
        {L"\\games\\", L"\\games", 1, false, {L"\\", L"\\games"}, L"games"},
        {L"games\\disc\\", L"games\\disc", 0, false, {L"games\\disc"}, L"disc"},
        {L"", L"", 0, false, {L""}, L""},
    };
    // clang-format on
    for (const PathCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "path \"" << c.path << "\"");
        const std::wstring tidy = TidyDirectory(c.path);
        EXPECT_EQ(tidy, c.tidy);
        EXPECT_EQ(RootLength(tidy), c.root);
        EXPECT_EQ(TidyDirectory(tidy), tidy) << "tidy twice";
        EXPECT_EQ(IsRootDirectory(tidy), c.isRoot);
        EXPECT_EQ(DirectoryChain(tidy), c.chain);
        EXPECT_EQ(DirectoryDisplayName(tidy), c.shown);
        EXPECT_EQ(ChildPath(tidy, L"x.iso"),
                  tidy + (tidy.ends_with(L'\\') ? L"" : L"\\") + L"x.iso");
    }
}

// Stands in for the system's folding: capitals of the Basic Latin and Latin-1 letters.
void FoldLatin(std::wstring &text)
{
    for (wchar_t &c : text) {
        if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
            c = static_cast<wchar_t>(c - 0x20);
        }
    }
}

struct OrderCase {
    const char *what;
    Paths names;
    Paths sorted;
};

TEST(NameOrder, FoldedNamesFirstThenTheirOwnCodeUnits)
{
    // clang-format off
    const OrderCase cases[] = {
        {"letter case ignored", {L"b.iso", L"A.cue", L"c"}, {L"A.cue", L"b.iso", L"c"}},
        {"capitals compared, not the small letters", {L"_x", L"a", L"1"}, {L"1", L"a", L"_x"}},
        {"alike but for case: ordinal", {L"abc", L"Abc", L"ABC"}, {L"ABC", L"Abc", L"abc"}},
        {"the same given the other way", {L"ABC", L"abc", L"Abc"}, {L"ABC", L"Abc", L"abc"}},
        {"non-ASCII after ASCII, folded too", {L"\u00e9t\u00e9", L"Zoo", L"\u00c9b\u00e8ne", L"apple", L"\u00e9b\u00e8ne"}, {L"apple", L"Zoo", L"\u00c9b\u00e8ne", L"\u00e9b\u00e8ne", L"\u00e9t\u00e9"}},
        {"other scripts by code unit", {L"\u65e5\u672c", L"\xD83D\xDCBF disc", L"b"}, {L"b", L"\u65e5\u672c", L"\xD83D\xDCBF disc"}},
        {"a name and its prefix", {L"disc 10", L"DISC 1", L"disc"}, {L"disc", L"DISC 1", L"disc 10"}},
        {"nothing", {}, {}},
    };
    // clang-format on
    for (const OrderCase &c : cases) {
        SCOPED_TRACE(c.what);
        Paths names = c.names;
        SortNames(names, FoldLatin);
        EXPECT_EQ(names, c.sorted);
    }
}

} // namespace
} // namespace qarvel::window
