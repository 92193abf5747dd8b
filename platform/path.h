#pragma once
// Path separators. Paths are written with '/'; paths read from files (which
// may come from the Windows-era tools) are taken apart at '\' and '/' alike.
#include <string>

namespace platform {

// The separator this system writes.
inline char pathSeparator() { return '/'; }

// True for both separators a stored path may use.
inline bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

// Index of the last '/' or '\' in p, or std::string::npos.
std::string::size_type lastPathSeparator(const std::string& p);

// a + '/' + b, with no check for a separator already present.
std::string joinPath(const std::string& a, const std::string& b);

// p with every '\' turned into '/', for a path read from a file.
std::string toNativePath(const std::string& p);

} // namespace platform
