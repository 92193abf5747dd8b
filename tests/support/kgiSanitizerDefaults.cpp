// Run-time defaults of the sanitizer build's test programs; ASAN_OPTIONS
// from the environment still adds to them and overrides them. And one
// library kept loaded to the end, for the leak checker's sake (below).
#include <dlfcn.h>
#include <link.h>

#include <cstring>

// intercept_tls_get_addr=0: the address sanitizer of this compiler records
// each thread's dynamic TLS blocks by guessing their bounds from a header it
// expects just before a block that starts 16 bytes into a page. The C library
// allocates those blocks with malloc, so whenever one lands at such an
// address the guess reads heap bookkeeping instead (seen: a block from
// 0xfd5 with a size of 96 GiB), and the leak checker's exit-time scan of it
// crashes ("Tracer caught signal 11") after the tests have passed. Where
// blocks land depends on timing, so it struck GL and window test processes
// now and then, and mostly under load. Without the guess the blocks are
// still scanned: they are heap blocks the thread's TLS vector points to.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}

namespace {

// A Mesa DRI driver: ".../dri/<name>_dri.so".
bool isDriDriver(const char* path)
{
    const size_t n = std::strlen(path);
    const char suffix[] = "_dri.so";
    return std::strstr(path, "/dri/") && n > sizeof suffix - 1 &&
           std::strcmp(path + n - (sizeof suffix - 1), suffix) == 0;
}

} // namespace

// Mesa's software GL driver (dri/swrast_dri.so, with the libLLVM it needs)
// is loaded when a display first makes a GL context and unloaded when that
// display closes: GStreamer's GL video sink closes its own display when its
// pipeline ends, in the middle of a test. The driver keeps blocks to the end
// of the process, which lsan.supp allows by naming swrast_dri and libLLVM;
// but once the driver is unloaded the leak checker can no longer tell whose
// code made them, reports a block allocated from "<unknown module>", and no
// suppression can match. Here every close of a DRI driver first marks it
// never to be unloaded (RTLD_NODELETE), so it stays until the process ends
// and its blocks keep their names; the close itself goes on as usual.
// (Linked with --export-dynamic-symbol=dlclose, so the libraries' calls come
// here.)
extern "C" __attribute__((visibility("default"), used)) int dlclose(void* handle)
{
    static const auto next = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_NEXT, "dlclose"));
    struct link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && isDriDriver(map->l_name)) {
        // A reference of its own that is never given back, with the flag.
        dlopen(map->l_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return next ? next(handle) : -1;
}
