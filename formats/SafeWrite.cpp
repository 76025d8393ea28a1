#include "formats/SafeWrite.h"
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include "document/FileNames.h"
#include "formats/FileErrors.h"
#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// A name as the system takes it: UTF-16 on Windows, the bytes elsewhere.
#ifdef _WIN32
using SystemName = std::wstring;

int ProcessId() { return _getpid(); }

bool ToSystem(const std::string& utf8, SystemName& name) {
    std::u16string units;
    if (!Utf16FromUtf8(utf8, units)) return false;
    name.assign(units.begin(), units.end());
    // A temporary name past MAX_PATH beside a file that fits reaches the
    // system whole in the long form, which takes only full, plain paths.
    if (name.size() >= MAX_PATH && name.compare(0, 4, L"\\\\?\\") != 0) {
        const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
        std::wstring full(size, L'\0');
        const DWORD n = size ? GetFullPathNameW(name.c_str(), size, &full[0], nullptr) : 0;
        if (n == 0 || n >= size) return false;
        full.resize(n);
        name = full.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
    }
    return true;
}

int OpenNew(const SystemName& name) {
    return _wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
std::FILE* StreamOn(int fd) { return _fdopen(fd, "wb"); }
void CloseDescriptor(int fd) { _close(fd); }
void Remove(const SystemName& name) { _wremove(name.c_str()); }

// A read-only file is never replaced: the system refuses to write into
// it, and a new file put in its place would go round that.
bool ReadOnly(const SystemName& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool Replace(const SystemName& tmp, const SystemName& path, std::string& detail) {
    if (MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    detail = "cannot put the new file in place (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
}
#else
using SystemName = std::string;

int ProcessId() { return static_cast<int>(getpid()); }
bool ToSystem(const std::string& utf8, SystemName& name) {
    name = utf8;
    return true;
}
int OpenNew(const SystemName& name) { return open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666); }
std::FILE* StreamOn(int fd) { return fdopen(fd, "wb"); }
void CloseDescriptor(int fd) { close(fd); }
void Remove(const SystemName& name) { std::remove(name.c_str()); }

bool ReadOnly(const SystemName& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & 0222);
}

bool Replace(const SystemName& tmp, const SystemName& path, std::string& detail) {
    // A replaced file keeps its permission bits.
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) chmod(tmp.c_str(), st.st_mode & 07777);
    if (std::rename(tmp.c_str(), path.c_str()) == 0) return true;
    detail = std::string("cannot put the new file in place: ") + std::strerror(errno);
    return false;
}
#endif

// Creates a new file that did not exist, in path's folder, open for
// writing. Its name is short, so that beside any name the system can hold
// there is room for it.
std::FILE* CreateTemporary(const std::string& path, SystemName& tmp, int& err) {
    err = 0;
    const std::string folder = path.substr(0, path.size() - TitleOfPath(path).size());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = folder + "~px" + std::to_string(ProcessId()) + "-" + std::to_string(attempt) + ".tmp";
        if (!ToSystem(name, tmp)) {
            err = EINVAL;
            return nullptr;
        }
        const int fd = OpenNew(tmp);
        if (fd < 0) {
            err = errno;
            if (err == EEXIST) continue;
            return nullptr;
        }
        std::FILE* f = StreamOn(fd);
        if (!f) {
            err = errno;
            CloseDescriptor(fd);
            Remove(tmp);
        }
        return f;
    }
    return nullptr;
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
    SystemName target;
    if (!ToSystem(path, target)) {
        detail = "the name is not UTF-8";
        return FileCantOpen;
    }
    if (ReadOnly(target)) {
        detail = "the file is read-only";
        return FileCantOpen;
    }
    SystemName tmp;
    int err = 0;
    std::FILE* f = CreateTemporary(path, tmp, err);
    if (!f) {
        detail = std::string("cannot create a file beside it: ") + std::strerror(err);
        return FileCantOpen;
    }
    int code = FileOk;
    StdioStream stream(f);
    Counted counted(stream);
    code = write(counted);
    if (code == FileOk && (std::fflush(f) != 0 || std::ferror(f))) {
        detail = std::string("writing failed: ") + std::strerror(errno);
        code = FileWriteError;
    }
    // A file is put in place only holding every byte its writer produced;
    // a writer that produced nothing has failed.
    if (code == FileOk && (counted.written <= 0 || stream.Size() != counted.written)) {
        detail = "the file does not hold what was written";
        code = FileWriteError;
    }
    if (std::fclose(f) != 0 && code == FileOk) {
        detail = std::string("closing failed: ") + std::strerror(errno);
        code = FileWriteError;
    }
    if (code == FileOk && !Replace(tmp, target, detail)) code = FileCantOpen;
    if (code != FileOk) Remove(tmp);
    return code;
}
