// Run-time defaults of the sanitizer build's test programs; ASAN_OPTIONS
// from the environment still adds to them and overrides them.
//
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
