// A tiny run-time module for the module-loading tests.
extern "C" __attribute__((visibility("default"))) int kgiFakeModuleAnswer()
{
    return 42;
}
