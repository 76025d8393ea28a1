// Writing a file so that a failure never leaves a damaged file where a
// good one stood, for the editor and the command-line tool alike: the bytes
// go to a new temporary file in the same folder, which is flushed, closed
// and checked to hold every byte written, and only then put in the
// target's place. The one file operation here that asks the platform.
#pragma once
#include <functional>
#include <string>
#include "formats/ByteStream.h"

// Calls write with a stream on the temporary file; its result is a
// FileErrorCode. Returns FileOk, or FileCantOpen (the target is read-only,
// the temporary file cannot be made, or the target cannot be replaced), or
// FileWriteError (write's own failure, nothing written, flushing or closing
// failed, or the file holding fewer bytes than were written), or write's
// code. On any failure the temporary file is removed and the target is as
// it was; detail then says what failed.
int WriteFileSafely(const std::string& path, const std::function<int(ByteStream&)>& write,
                    std::string& detail);
