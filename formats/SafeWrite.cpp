#include "formats/SafeWrite.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include "formats/FileErrors.h"
#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

std::string SystemError(int err) { return std::strerror(err); }

// Creates a new file that did not exist, beside path, open for writing.
std::FILE* CreateTemporary(const std::string& path, std::string& tmp, int& err) {
    err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmp = path + ".pixtor-tmp-" + std::to_string(ProcessId()) + "-" + std::to_string(attempt);
#ifdef _WIN32
        int fd = _open(tmp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
#endif
        if (fd < 0) {
            err = errno;
            if (err == EEXIST) continue;
            return nullptr;
        }
#ifdef _WIN32
        std::FILE* f = _fdopen(fd, "wb");
        if (!f) { err = errno; _close(fd); std::remove(tmp.c_str()); }
#else
        std::FILE* f = fdopen(fd, "wb");
        if (!f) { err = errno; close(fd); std::remove(tmp.c_str()); }
#endif
        return f;
    }
    return nullptr;
}

#ifndef _WIN32
// A replaced file keeps its permission bits.
void KeepMode(const std::string& path, const std::string& tmp) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) chmod(tmp.c_str(), st.st_mode & 07777);
}
#endif

// A read-only file is never replaced: the system refuses to write into
// it, and a new file put in its place would go round that.
bool ReadOnly(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
#else
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & 0222);
#endif
}

bool Replace(const std::string& tmp, const std::string& path, std::string& detail) {
#ifdef _WIN32
    if (MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    detail = "cannot put the new file in place (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
#else
    KeepMode(path, tmp);
    if (std::rename(tmp.c_str(), path.c_str()) == 0) return true;
    detail = "cannot put the new file in place: " + SystemError(errno);
    return false;
#endif
}

// Counts the bytes the writer's writes deliver.
class Counted : public ByteStream {
public:
    explicit Counted(ByteStream& s) : inner(s) {}
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override { return inner.ReadAt(offset, buffer, count); }
    long long Write(const void* buffer, size_t count) override {
        const long long n = inner.Write(buffer, count);
        if (n > 0) written += n;
        return n;
    }
    long long Size() override { return inner.Size(); }
    long long written = 0;

private:
    ByteStream& inner;
};

}  // namespace

int WriteFileSafely(const std::string& path, const std::function<int(ByteStream&)>& write,
                    std::string& detail) {
    detail.clear();
    if (ReadOnly(path)) {
        detail = "the file is read-only";
        return FileCantOpen;
    }
    std::string tmp;
    int err = 0;
    std::FILE* f = CreateTemporary(path, tmp, err);
    if (!f) {
        detail = "cannot create a file beside it: " + SystemError(err);
        return FileCantOpen;
    }
    int code = FileOk;
    StdioStream stream(f);
    Counted counted(stream);
    code = write(counted);
    if (code == FileOk && (std::fflush(f) != 0 || std::ferror(f))) {
        detail = "writing failed: " + SystemError(errno);
        code = FileWriteError;
    }
    // A file is put in place only holding every byte its writer produced;
    // a writer that produced nothing has failed.
    if (code == FileOk && (counted.written <= 0 || stream.Size() != counted.written)) {
        detail = "the file does not hold what was written";
        code = FileWriteError;
    }
    if (std::fclose(f) != 0 && code == FileOk) {
        detail = "closing failed: " + SystemError(errno);
        code = FileWriteError;
    }
    if (code == FileOk && !Replace(tmp, path, detail)) code = FileCantOpen;
    if (code != FileOk) std::remove(tmp.c_str());
    return code;
}
