#pragma once
// The build's converter of the language files: the sources are kept in UTF-8
// so that the Japanese texts read and diff as text, and the program reads
// code page 932. Each line must survive the trip there and back unchanged,
// because the conversion maps a character CP932 lacks to '?' and folds some
// pairs onto one code (U+301C WAVE DASH and U+FF5E FULLWIDTH TILDE both become
// 0x8160, which reads back as U+FF5E; likewise U+2212 and U+FF0D), and either
// would put another text on screen than the one written.
#include <string>

// Converts UTF-8 text to CP932, line by line. On success fills cp932 and
// returns true. Otherwise returns false, leaves cp932 alone and sets error to
// "<name>:<line>:<column>: ..." naming the first character that does not come
// back as itself (as U+XXXX) or the first byte that is not UTF-8.
bool kgiConvertLanguageText(const std::string& name, const std::string& utf8, std::string& cp932,
                            std::string& error);

// Reads the UTF-8 file `from` and writes its CP932 form to `to`, creating the
// folder of `to` when needed. Writes nothing when a line fails or `from`
// cannot be read; error then says why, naming the file and the line.
bool kgiConvertLanguageFile(const std::string& from, const std::string& to, std::string& error);
