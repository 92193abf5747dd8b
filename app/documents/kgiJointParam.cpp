#include "kgiJointParam.h"

kgiJointParam::kgiJointParam()
{
    for (float& w : jointWeight)
        w = 1.0f;
    for (float& g : sphereLimitGain)
        g = 0.1f;
    setJointTypeCode(0);
}

void kgiJointParam::setJointTypeCode(int code)
{
    switch (code) {
    case 1: jointType = 5; break;
    case 2: jointType = 4; break;
    case 3: jointType = 2; break;
    case 4:
    case 5:
    case 6: jointType = 1; break;
    case 7: jointType = 3; break;
    default: jointType = 0; break;
    }
}
