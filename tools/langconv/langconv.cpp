// langconv SOURCE TARGET: converts one UTF-8 language file to the code page
// 932 file the program reads. Exits 1, naming the file, line and character,
// when a line would not read back as it was written.
#include "kgiLangConvert.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: langconv SOURCE TARGET\n");
        return 2;
    }
    std::string error;
    if (!kgiConvertLanguageFile(argv[1], argv[2], error)) {
        std::fprintf(stderr, "langconv: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
