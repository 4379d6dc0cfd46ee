#include "DirectoryPaths.h"

#include "win32/Paths.h"

#include <windows.h>

#include <algorithm>

namespace qarvel::win {

namespace {

constexpr wchar_t Separator = L'\\';

bool IsDriveRoot(const std::wstring &path)
{
    return path.size() == 3 && path[1] == L':' && path[2] == Separator;
}

bool IsUnc(const std::wstring &path)
{
    return path.size() > 2 && path[0] == Separator && path[1] == Separator && path[2] != L'?';
}

// Length of the root part: "C:\" gives 3, "\\server\share\dir" gives the length of
// "\\server\share".
std::size_t RootLength(const std::wstring &path)
{
    if (IsUnc(path)) {
        const std::size_t server = path.find(Separator, 2);
        if (server == std::wstring::npos) {
            return path.size();
        }
        const std::size_t share = path.find(Separator, server + 1);
        return share == std::wstring::npos ? path.size() : share;
    }
    if (path.size() >= 2 && path[1] == L':') {
        return path.size() >= 3 ? 3 : 2;
    }
    return 0;
}

} // namespace

std::wstring NormalDirectory(const std::wstring &path)
{
    std::wstring result = path;
    std::replace(result.begin(), result.end(), L'/', Separator);
    if (result.size() == 2 && result[1] == L':') {
        result += Separator;
    }
    if (std::wstring full = FullPath(result); !full.empty()) {
        result = std::move(full);
    }
    while (result.size() > RootLength(result) && result.back() == Separator) {
        result.pop_back();
    }
    if (result.size() == 2 && result[1] == L':') {
        result += Separator;
    }
    return result;
}

bool IsRootDirectory(const std::wstring &directory)
{
    return IsDriveRoot(directory) ||
           (IsUnc(directory) && RootLength(directory) == directory.size());
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

std::wstring ChildPath(const std::wstring &directory, const std::wstring &name)
{
    if (!directory.empty() && directory.back() == Separator) {
        return directory + name;
    }
    return directory + Separator + name;
}

} // namespace qarvel::win
