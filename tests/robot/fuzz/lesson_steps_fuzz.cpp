// The lesson step file reader on arbitrary bytes, in both languages: it must
// not crash, must keep every slot within its 1023 characters, and must leave
// the text of a slot outside the table empty.
#include "kgiLessonManager.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool english : {true, false}) {
        std::FILE* f = std::tmpfile();
        if (!f) return 0;
        if (size > 0) std::fwrite(data, 1, size, f);
        std::rewind(f);
        kgiLessonTexts texts;
        texts.readStream(f, english);
        std::fclose(f);
        for (int b = 0; b < kgiLessonTexts::BANKS; ++b)
            for (int k = 0; k < kgiLessonTexts::KINDS; ++k)
                for (int p = 0; p < kgiLessonTexts::PAGES; ++p)
                    for (int s = 0; s < kgiLessonTexts::STEPS; ++s)
                        if (texts.get(b, k, p, s).size() > kgiLessonTexts::SLOT_LIMIT) std::abort();
        if (!texts.get(0, 0, 0, kgiLessonTexts::STEPS).empty() || !texts.get(0, 2, 0, 0).empty()) std::abort();
    }
    return 0;
}
