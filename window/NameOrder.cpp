#include "NameOrder.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace qarvel::window {

void SortNames(std::vector<std::wstring> &names, const FoldToCapitals &fold)
{
    // Each name is folded once, all of them in one buffer, so the sort compares plain strings.
    std::size_t total = 0;
    for (const std::wstring &name : names) {
        total += name.size();
    }
    std::wstring folded;
    folded.reserve(total);
    for (const std::wstring &name : names) {
        folded += name;
    }
    fold(folded);
    std::vector<std::wstring_view> keys;
    keys.reserve(names.size());
    for (std::size_t start = 0; const std::wstring &name : names) {
        keys.emplace_back(folded.data() + start, name.size());
        start += name.size();
    }
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::ranges::sort(order, [&](std::size_t a, std::size_t b) {
        const int byKey = keys[a].compare(keys[b]);
        return byKey != 0 ? byKey < 0 : names[a] < names[b];
    });
    std::vector<std::wstring> sorted;
    sorted.reserve(names.size());
    for (const std::size_t index : order) {
        sorted.push_back(std::move(names[index]));
    }
    names.swap(sorted);
}

} // namespace qarvel::window
