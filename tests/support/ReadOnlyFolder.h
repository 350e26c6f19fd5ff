#pragma once

#include <string>
#include <vector>

namespace testsupport {

// `command`, run in `folder` with that folder mounted read-only over itself,
// as a piece on read-only media is: writing there fails with EROFS, for root
// too. The mount lives in a mount namespace of the command's own, so it
// goes with the process whatever happens to the test. Needs root.
std::vector<std::string> onReadOnlyFolder(const std::string& folder,
                                          const std::vector<std::string>& command);

// Each entry of `folder` (below it too) with its size and modification time,
// one a line, sorted; entries whose names start with `.demo-` (a run's own
// output files) left out. Equal before and after: nothing was written there.
std::string folderState(const std::string& folder);

} // namespace testsupport
