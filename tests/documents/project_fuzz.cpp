// Timesheet and joint-parameter readers: any bytes must read without a
// crash or an out-of-bounds access.
#include "kgiProject.h"

#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static kgiFuzzInputFile input(".ts");
    const std::string path = input.hold(data, size);
    kgiProject p;
    p.readTimesheet(path.c_str());
    p.readJointParams(path.c_str());
    for (int i = 0; i < p.getJointParameterCount(); ++i)
        (void)p.getJointParam(i)->getName().size();
    return 0;
}
