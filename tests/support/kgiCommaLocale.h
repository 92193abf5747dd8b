#pragma once
// A locale whose decimal separator is a comma, for tests that show a reader
// or writer of numbers ignores the thread's locale. Install it with
// uselocale() around the call under test and free it with freelocale().
//
// Tries the usual installed names, then the one the documents tests compile
// into the build (KGI_TEST_LOCALE_DIR, when the test target defines it);
// null when there is none, and the caller skips.
#include <cstdlib>
#include <locale.h>

inline locale_t kgiNewCommaLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (locale_t comma = newlocale(LC_ALL_MASK, name, nullptr))
            return comma;
#ifdef KGI_TEST_LOCALE_DIR
    setenv("LOCPATH", KGI_TEST_LOCALE_DIR, 1);
    locale_t built = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
    unsetenv("LOCPATH");
    return built;
#else
    return nullptr;
#endif
}
