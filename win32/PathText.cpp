#include "PathText.h"

#include <algorithm>

namespace qarvel::win32 {

namespace {

constexpr wchar_t Separator = L'\\';

// From `from`, where "server\share" begins: the end of the share's name.
std::size_t ShareEnd(std::wstring_view path, std::size_t from)
{
    const std::size_t server = path.find(Separator, from);
    if (server == std::wstring_view::npos) {
        return path.size();
    }
    return std::min(path.find(Separator, server + 1), path.size());
}

// From `from`, where "C:\" or "Volume{...}\" begins: the end of that first piece with its
// separator.
std::size_t PieceEnd(std::wstring_view path, std::size_t from)
{
    const std::size_t end = path.find(Separator, from);
    return end == std::wstring_view::npos ? path.size() : end + 1;
}

} // namespace

std::size_t RootLength(std::wstring_view path)
{
    if (path.starts_with(ExtendedUncPrefix)) {
        return ShareEnd(path, ExtendedUncPrefix.size());
    }
    if (path.starts_with(ExtendedPrefix)) {
        return PieceEnd(path, ExtendedPrefix.size());
    }
    if (path.size() > UncPrefix.size() && path.starts_with(UncPrefix)) {
        return ShareEnd(path, UncPrefix.size());
    }
    if (path.size() >= 2 && path[1] == L':') {
        return path.size() >= 3 && path[2] == Separator ? 3 : 2;
    }
    return path.starts_with(Separator) ? 1 : 0;
}

std::wstring TidyDirectory(std::wstring path)
{
    std::ranges::replace(path, L'/', Separator);
    std::size_t root = RootLength(path);
    while (path.size() > root && path.back() == Separator) {
        path.pop_back();
    }
    if (root == path.size() && path.ends_with(L':')) {
        path += Separator; // a drive's root, not its current directory
    }
    return path;
}

bool IsRootDirectory(std::wstring_view directory)
{
    return !directory.empty() && RootLength(directory) == directory.size();
}

std::vector<std::wstring> DirectoryChain(const std::wstring &directory)
{
    std::vector<std::wstring> chain;
    const std::size_t root = RootLength(directory);
    if (root == 0) {
        chain.push_back(directory);
        return chain;
    }
    chain.push_back(directory.substr(0, root));
    std::size_t end = root;
    while (end < directory.size()) {
        const std::size_t next = directory.find(Separator, end + 1);
        end = next == std::wstring::npos ? directory.size() : next;
        std::wstring step = directory.substr(0, end);
        if (step.size() > chain.back().size()) {
            chain.push_back(std::move(step));
        }
    }
    return chain;
}

std::wstring DirectoryDisplayName(const std::wstring &directory)
{
    if (IsRootDirectory(directory)) {
        return directory;
    }
    const std::size_t last = directory.find_last_of(Separator);
    return last == std::wstring::npos ? directory : directory.substr(last + 1);
}

std::wstring PathInFolder(const std::wstring &folder, const std::wstring &name)
{
    if (!folder.empty() && folder.back() == Separator) {
        return folder + name;
    }
    return folder + Separator + name;
}

std::wstring WithoutExtendedPrefix(std::wstring path)
{
    if (path.starts_with(ExtendedUncPrefix)) {
        path.replace(0, ExtendedUncPrefix.size(), UncPrefix);
    } else if (path.starts_with(ExtendedPrefix)) {
        path.erase(0, ExtendedPrefix.size());
    }
    return path;
}

} // namespace qarvel::win32
