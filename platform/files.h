#pragma once
// Files and folders as the document layer needs them: safe replacement of a
// file, folder tests and creation, and whole-file copies. Nothing here
// changes the process's current directory: data paths stay relative to the
// base directory taken at start-up.
#include <cstdio>
#include <string>

namespace platform {

// True when the path names an existing folder.
bool isDirectory(const std::string& path);

// True when the path names an existing entry of any kind.
bool pathExists(const std::string& path);

// Creates one folder (not its parents). True when the folder exists
// afterwards: a folder that was already there counts as success, a file of
// that name does not.
bool makeDirectory(const std::string& path);

// A new file written under a temporary name beside its target and renamed
// over the target only by commit(), so a failed or abandoned write never
// destroys the previous file. Destroying an uncommitted ReplaceFile removes
// the temporary file.
class ReplaceFile {
public:
    ReplaceFile() = default;
    ~ReplaceFile();
    ReplaceFile(const ReplaceFile&) = delete;
    ReplaceFile& operator=(const ReplaceFile&) = delete;

    // Creates the temporary file beside `target`; false when the folder
    // cannot take it. An existing target lends its permission bits.
    bool open(const std::string& target);

    // The stream to write to; null unless open() succeeded.
    FILE* stream() const { return file; }

    // Flushes, syncs and closes the temporary file and renames it over the
    // target. False (and the target untouched) when any write failed.
    bool commit();

    // Drops the temporary file; the target stays as it was.
    void abandon();

    // errno of the last failure, for a caller that shows a reason.
    int lastError() const { return error; }

private:
    FILE* file = nullptr;
    std::string tempPath;
    std::string targetPath;
    int error = 0;
};

enum class CopyResult { Ok, SourceFailed, TargetFailed };

// Copies a whole file byte for byte through a ReplaceFile.
CopyResult copyFile(const std::string& source, const std::string& target);

} // namespace platform
