#pragma once
// File paths held as strings. Paths are joined with '/'; '/' and '\' both
// count as separators when a path is taken apart, since paths stored in
// older data files use '\'.
#include <string>

// "/".
std::string kutSeparator();
// a + '/' + b. Never checks whether a already ends in a separator.
std::string kutAppendPath(std::string a, std::string b);
// The same join as kutAppendPath: a comes first.
std::string kutPrependPath(std::string a, std::string b);
// The part after the last separator (the file name); all of p when it has
// none.
std::string kutRemovePath(std::string p);
// The part before the last separator, without it; "" when p has none.
std::string kutExtractPath(std::string p);
// p without the last dot of its file name and what follows; p unchanged when
// the file name has no dot (a dot in a folder name is no extension).
std::string kutRemoveExt(std::string p);
// p + '.' + ext.
std::string kutAppendExt(std::string p, std::string ext);
// The text after the last dot of the file name; "" when there is none or
// when more than 4 characters follow it.
std::string kutGetExt(std::string p);
