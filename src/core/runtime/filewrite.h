// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvelin {

// Writes a whole file or nothing: the contents go to a new file beside the target, every write, the sync and
// the close are checked, and only then is it renamed over the target. On any failure the new file is removed
// and the target is exactly as it was. A file that was there keeps its owner and its permissions; a new one
// gets the usual ones the umask allows. Through a symbolic link, even one to no file yet, the file it names
// is written and the link stays a link. What is no regular file (a device, a FIFO, /dev/stdout) is written
// in place, or refused with its own reason, never replaced; so is a file whose owner a new copy could not
// keep. Gives the system's reason when it fails ("No space left on device"), none when the file is written.
[[nodiscard]] std::optional<std::string> writeWholeFile(const std::string &path, std::string_view contents);

} // namespace tarvelin
