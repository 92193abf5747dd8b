#include "kgiSampleDesc.h"

kgiSampleKeyMaker& kgiSampleKeyMaker::at(float x, float z, float yaw)
{
    k.body = {x, z, yaw};
    return *this;
}

kgiSampleKeyMaker& kgiSampleKeyMaker::drop(float cm)
{
    k.drop = cm;
    return *this;
}

kgiSampleKeyMaker& kgiSampleKeyMaker::lean(float degrees)
{
    k.lean = degrees;
    return *this;
}

kgiSampleKeyMaker& kgiSampleKeyMaker::tilt(float degrees)
{
    k.tilt = degrees;
    return *this;
}

kgiSampleKeyMaker& kgiSampleKeyMaker::rightFoot(float x, float z, float yaw, float lift)
{
    k.right = {x, z, yaw};
    k.rightLift = lift;
    k.rightPlaced = true;
    return *this;
}

kgiSampleKeyMaker& kgiSampleKeyMaker::leftFoot(float x, float z, float yaw, float lift)
{
    k.left = {x, z, yaw};
    k.leftLift = lift;
    k.leftPlaced = true;
    return *this;
}

kgiSampleKeyMaker& kgiSampleKeyMaker::feet(float x, float z, float yaw)
{
    return rightFoot(x, z, yaw).leftFoot(x, z, yaw);
}

kgiSampleKeyMaker& kgiSampleKeyMaker::set(const std::string& joint, float value)
{
    for (kgiSampleJointValue& v : k.joints)
        if (v.name == joint) {
            v.value = value;
            return *this;
        }
    k.joints.push_back({joint, value});
    return *this;
}

kgiSampleKeyMaker& kgiSampleKeyMaker::rightArm(float shoulder, float arm, float elbow)
{
    return set("RShoulder", shoulder).set("RArm", arm).set("RElbow", elbow);
}

kgiSampleKeyMaker& kgiSampleKeyMaker::leftArm(float shoulder, float arm, float elbow)
{
    return set("LShoulder", shoulder).set("LArm", arm).set("LElbow", elbow);
}

kgiSampleKeyMaker& kgiSampleKeyMaker::arms(float shoulder, float arm, float elbow)
{
    return rightArm(shoulder, arm, elbow).leftArm(shoulder, arm, elbow);
}
