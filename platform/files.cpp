#include "platform/files.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool isDirectory(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool makeDirectory(const std::string& path)
{
    if (path.empty())
        return false;
    if (mkdir(path.c_str(), 0777) == 0)
        return true;
    return errno == EEXIST && isDirectory(path);
}

ReplaceFile::~ReplaceFile()
{
    abandon();
}

bool ReplaceFile::open(const std::string& target)
{
    abandon();
    error = 0;
    if (target.empty()) {
        error = ENOENT;
        return false;
    }
    // O_EXCL with a name of our own: a stale temporary file left by a crash
    // is stepped over, never written through.
    const std::string stem = target + ".tmp" + std::to_string(static_cast<long>(getpid())) + "-";
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempPath = stem + std::to_string(attempt);
        fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        error = errno;
        tempPath.clear();
        return false;
    }
    struct stat st;
    if (stat(target.c_str(), &st) == 0)
        fchmod(fd, st.st_mode & 07777);
    file = fdopen(fd, "w");
    if (!file) {
        error = errno;
        ::close(fd);
        unlink(tempPath.c_str());
        tempPath.clear();
        return false;
    }
    targetPath = target;
    return true;
}

bool ReplaceFile::commit()
{
    if (!file) {
        error = EBADF;
        return false;
    }
    bool ok = fflush(file) == 0 && !ferror(file);
    if (!ok)
        error = errno ? errno : EIO;
    // The data must be on disk before the rename makes it the file, or a
    // crash could leave an empty file where the old one was.
    if (ok && fsync(fileno(file)) != 0) {
        ok = false;
        error = errno;
    }
    if (fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    file = nullptr;
    if (ok && rename(tempPath.c_str(), targetPath.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok)
        unlink(tempPath.c_str());
    tempPath.clear();
    targetPath.clear();
    return ok;
}

void ReplaceFile::abandon()
{
    if (file) {
        fclose(file);
        file = nullptr;
    }
    if (!tempPath.empty()) {
        unlink(tempPath.c_str());
        tempPath.clear();
    }
    targetPath.clear();
}

CopyResult copyFile(const std::string& source, const std::string& target)
{
    FILE* in = std::fopen(source.c_str(), "rb");
    if (!in)
        return CopyResult::SourceFailed;
    ReplaceFile out;
    if (!out.open(target)) {
        std::fclose(in);
        return CopyResult::TargetFailed;
    }
    char buffer[65536];
    bool written = true;
    size_t n;
    while (written && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        written = std::fwrite(buffer, 1, n, out.stream()) == n;
    const bool readFailed = std::ferror(in) != 0;
    std::fclose(in);
    if (readFailed)
        return CopyResult::SourceFailed;
    if (!written || !out.commit())
        return CopyResult::TargetFailed;
    return CopyResult::Ok;
}

} // namespace platform
