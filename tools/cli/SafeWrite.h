// Writing an output file so that a failure never leaves a damaged file
// where a good one stood: the bytes go to a new temporary file in the same
// folder, which is closed (and checked) and then renamed over the target.
#pragma once
#include <functional>
#include <string>
#include "formats/ByteStream.h"

// Calls write with a stream on the temporary file; its result is a
// FileErrorCode. Returns FileOk, or FileCantOpen (the temporary file cannot
// be made, or the target cannot be replaced), or FileWriteError (write's
// own failure, or flushing or closing failed), or write's code. On any
// failure the temporary file is removed and the target is as it was;
// detail then says what failed.
int WriteFileSafely(const std::string& path, const std::function<int(ByteStream&)>& write,
                    std::string& detail);
