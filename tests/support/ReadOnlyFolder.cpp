#include "ReadOnlyFolder.h"

#include <algorithm>
#include <filesystem>

namespace testsupport {

std::vector<std::string> onReadOnlyFolder(const std::string& folder,
                                          const std::vector<std::string>& command) {
    // The command's working folder is entered again after the mount: one
    // entered before it would still be the writable folder underneath. A
    // folder that stayed writable fails the run with status 97.
    const char* script =
        R"(mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && cd "$1" || exit 96
if touch .written-on-read-only-media 2>/dev/null; then echo "$1 is still writable" >&2; exit 97; fi
shift
exec "$@")";
    std::vector<std::string> wrapped = {
        "unshare", "--mount", "--propagation", "private", "sh", "-c", script, "sh", folder};
    wrapped.insert(wrapped.end(), command.begin(), command.end());
    return wrapped;
}

std::string folderState(const std::string& folder) {
    std::vector<std::string> lines;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).string();
        if (name.rfind(".demo-", 0) == 0) {
            continue;
        }
        std::string line = name;
        if (entry.is_regular_file()) {
            line += " " + std::to_string(entry.file_size()) + " " +
                    std::to_string(entry.last_write_time().time_since_epoch().count());
        }
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    std::string state;
    for (const std::string& line : lines) {
        state += line + "\n";
    }
    return state;
}

} // namespace testsupport
