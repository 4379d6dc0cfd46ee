// Fuzzes the selection capture, the image test and the composed command lines with arbitrary
// names and folders (as UTF-16 code units, the way Windows hands them over), checking on every
// input the properties the rest of the program relies on.

#include "../unit/Fakes.h"
#include "actions/Texts.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using qarvel::Answer;
using qarvel::FormatBox;
using qarvel::Tick;
namespace texts = qarvel::texts;

std::wstring TakeText(FuzzedDataProvider &data)
{
    // Mostly pieces that matter here (dots, separators, quotes, the accepted extensions in
    // every letter case, characters the interpreter treats specially, a surrogate pair), and
    // now and then any UTF-16 code unit at all.
    // clang-format off
    static const wchar_t *const tokens[] = {
        L".", L"..", L"\\", L"\"", L"iso", L"cue", L"ISO", L"Iso", L"CUE", L"cuE", L" ", L"&", L"%",
        L"^", L"!", L"(", L")", L"\u00e9", L"\xD83D\xDCBF", L"game", L"C:", L"PATH", L"%PATH%",
        L"=C:", L"\t", L":",
    };
    // clang-format on
    const auto count = data.ConsumeIntegralInRange<std::size_t>(0, 40);
    std::wstring text;
    for (std::size_t i = 0; i < count && data.remaining_bytes() > 0; ++i) {
        const auto pick = data.ConsumeIntegralInRange<std::size_t>(0, std::size(tokens));
        if (pick == std::size(tokens)) {
            text.push_back(static_cast<wchar_t>(data.ConsumeIntegral<std::uint16_t>()));
        } else {
            text += tokens[pick];
        }
    }
    return text;
}

void Require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

std::wstring Joined(const std::vector<std::wstring> &pieces)
{
    std::wstring name;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        name += (i == 0 ? L"" : L".") + pieces[i];
    }
    return name;
}

std::wstring Q(const std::wstring &text)
{
    return L"\"" + text + L"\"";
}

// The interpreter pairs each "%" with the next one: "%NAME%" is replaced by the variable's
// value, and so is "%NAME:...%" (a substring or a replacement of it), NAME ending at the first
// colon.
bool Expands(const std::wstring &line, const std::set<std::wstring> &variables)
{
    std::vector<std::size_t> signs;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == L'%') {
            signs.push_back(at);
        }
    }
    for (std::size_t i = 0; i + 1 < signs.size(); ++i) {
        const std::wstring between = line.substr(signs[i] + 1, signs[i + 1] - signs[i] - 1);
        const std::wstring beforeColon = between.substr(0, between.find(L':'));
        for (const std::wstring &name : variables) {
            if (between == name || (beforeColon != between && beforeColon == name)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    qarvel::test::Rig rig;
    rig.form.selectedFile = TakeText(data);
    rig.form.fileListDirectory = TakeText(data);
    rig.host.programDirectory = TakeText(data);
    rig.form.chd = data.ConsumeBool() ? Tick::Ticked : Tick::Unticked;
    rig.form.zso = data.ConsumeBool() ? Tick::Ticked : Tick::Unticked;
    rig.host.answer = data.ConsumeBool() ? Answer::AnswerYes : Answer::AnswerNo;
    const std::wstring selected = rig.form.selectedFile;
    const std::wstring directory = rig.form.fileListDirectory;
    const std::wstring programDirectory = rig.host.programDirectory;
    const bool chd = rig.form.chd == Tick::Ticked;
    const bool zso = !chd && rig.form.zso == Tick::Ticked;
    const bool yes = rig.host.answer == Answer::AnswerYes;
    // Any cue sheet names one track that is there.
    const std::wstring sheet = qarvel::JoinWithBackslash(directory, selected);
    rig.host.texts[sheet] = {qarvel::TextFile::Status::Read, L"FILE t.bin BINARY", false};
    rig.host.files.insert(qarvel::JoinWithBackslash(qarvel::FolderOf(sheet), L"t.bin"));

    rig.actions.OnCompress();

    // The capture: the label, the pieces that give the name back, and the path.
    const auto &pieces = rig.actions.NamePieces();
    Require(rig.form.fileLabel == L"File: " + selected);
    Require(selected.empty() ? pieces.empty() : Joined(pieces) == selected);
    Require(
        pieces.size() ==
        (selected.empty() ? 0 : static_cast<std::size_t>(std::ranges::count(selected, L'.')) + 1));
    Require(rig.actions.SelectedPath() == directory + L"\\" + selected);

    // The image test looks at the text after the last dot only, letter case kept.
    const auto lastDot = selected.rfind(L'.');
    const std::wstring last =
        lastDot == std::wstring::npos ? selected : selected.substr(lastDot + 1);
    const bool image = !selected.empty() && (last == L"iso" || last == L"cue");
    Require(rig.actions.IsImageName() == image);

    // What was launched: exactly one line for an accepted image with a box ticked and Yes.
    const std::wstring input = Q(directory + L"\\" + selected);
    const std::wstring expected =
        chd ? L"cmd.exe /c chdman createcd -i " + input + L" -o " +
                  Q(programDirectory + L"\\NEW.CHD")
            : L"cmd.exe /c ziso.py -c 1 " + input + L" " + Q(programDirectory + L"\\NEW.ZSO");
    // A line in which the interpreter would replace a variable is refused before anything else.
    const bool expands = Expands(expected, rig.host.variables);
    // A ZSO is made from the image itself, never from a cue sheet.
    const bool cueForZso = zso && last == L"cue";
    const bool launches = image && (chd || zso) && !cueForZso && yes && !expands;
    Require(rig.host.launched.size() == (launches ? 1U : 0U));
    if (launches) {
        Require(rig.host.launched[0] == expected);
        Require(rig.host.clipboard == (zso ? expected : L"(untouched)"));
    } else {
        Require(rig.host.clipboard == L"(untouched)");
    }
    return 0;
}
