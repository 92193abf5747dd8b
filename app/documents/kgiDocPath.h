#pragma once
// Path pieces of the document files. Names read from files may use either
// separator; paths built here use the platform's.
#include <string>

class kgiDocPath {
public:
    // `name` below `dir`. An empty name adds nothing (an empty sub-folder
    // name means the folder itself) and an empty dir leaves the name alone.
    static std::string sub(const std::string& dir, const std::string& name);
    // The path without trailing separators, except a lone root.
    static std::string trimSeparators(std::string path);
    // The part before the last separator, or "".
    static std::string folderOf(const std::string& path);
    // The name cut before its last ".", looking only after the last
    // separator ("a.b/c" keeps its name).
    static std::string withoutExtension(const std::string& name);
};
