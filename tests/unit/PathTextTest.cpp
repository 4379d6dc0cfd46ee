// Path and name text: roots of every form, the tidy form, the chain of ancestors, the name a
// folder list entry shows, a name in a folder, and the order of names.

#include "win32/PathText.h"
#include "window/NameOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace qarvel::win32 {
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
    std::wstring inFolder; // x.iso in the tidy form
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
        {L"C:\\", L"C:\\", 3, true, {L"C:\\"}, L"C:\\", L"C:\\x.iso"},
        {L"C:", L"C:\\", 3, true, {L"C:\\"}, L"C:\\", L"C:\\x.iso"},
        {L"C:\\\\", L"C:\\", 3, true, {L"C:\\"}, L"C:\\", L"C:\\x.iso"},
        {L"c:/games/", L"c:\\games", 3, false, {L"c:\\", L"c:\\games"}, L"games", L"c:\\games\\x.iso"},
        {L"C:\\games\\" + un + L"\\\\", L"C:\\games\\" + un, 3, false, {L"C:\\", L"C:\\games", L"C:\\games\\" + un}, un, L"C:\\games\\" + un + L"\\x.iso"},
        // Shares: the root is \\server\share, with no separator after it.
        {share, share, 14, true, {share}, share, share + L"\\x.iso"},
        {share + L"\\", share, 14, true, {share}, share, share + L"\\x.iso"},
        {L"//server/share/rips/", share + L"\\rips", 14, false, {share, share + L"\\rips"}, L"rips", share + L"\\rips\\x.iso"},
        {share + L"\\rips\\" + nihon, share + L"\\rips\\" + nihon, 14, false, {share, share + L"\\rips", share + L"\\rips\\" + nihon}, nihon, share + L"\\rips\\" + nihon + L"\\x.iso"},
        {L"\\\\server", L"\\\\server", 8, true, {L"\\\\server"}, L"\\\\server", L"\\\\server\\x.iso"},
        // The long forms.
        {longC, longC, 7, true, {longC}, longC, longC + L"x.iso"},
        {L"\\\\?\\C:", longC, 7, true, {longC}, longC, longC + L"x.iso"},
        {longC + L"deep\\down\\", longC + L"deep\\down", 7, false, {longC, longC + L"deep", longC + L"deep\\down"}, L"down", longC + L"deep\\down\\x.iso"},
        {longShare + L"\\rips", longShare + L"\\rips", 20, false, {longShare, longShare + L"\\rips"}, L"rips", longShare + L"\\rips\\x.iso"},
        // The current drive's root, and relative paths, which have no root.
        {L"\\", L"\\", 1, true, {L"\\"}, L"\\", L"\\x.iso"},
        {L"\\games\\", L"\\games", 1, false, {L"\\", L"\\games"}, L"games", L"\\games\\x.iso"},
        {L"games\\disc\\", L"games\\disc", 0, false, {L"games\\disc"}, L"disc", L"games\\disc\\x.iso"},
        {L"", L"", 0, false, {L""}, L"", L"\\x.iso"},
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
        EXPECT_EQ(PathInFolder(tidy, L"x.iso"), c.inFolder);
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
        window::SortNames(names, FoldLatin);
        EXPECT_EQ(names, c.sorted);
    }
}

} // namespace
} // namespace qarvel::win32
