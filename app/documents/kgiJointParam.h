#pragma once
// One joint's parameters as the joint-parameter file (".kjp") stores them:
// joint type, gains, rotation limits, weights and cone-limit settings. The
// project holds the records and reads and writes the file.
#include <string>

class kgiJointParam {
public:
    static const int WEIGHTS = 6;
    static const int SPHERE_GAINS = 3;

    kgiJointParam();

    const std::string& getName() const { return name; }
    void setName(const std::string& v) { name = v; }
    // The stored type, as read from a file.
    int getJointType() const { return jointType; }
    void setJointType(int v) { jointType = v; }
    // Stores the joint type of a node type code: 1 -> 5, 2 -> 4, 3 -> 2,
    // 4 to 6 -> 1, 7 -> 3, anything else -> 0.
    void setJointTypeCode(int code);
    float getDesireGain() const { return desireGain; }
    void setDesireGain(float v) { desireGain = v; }
    // Rotation limits, degrees.
    float getMinRotationValue() const { return minRotationValue; }
    void setMinRotationValue(float v) { minRotationValue = v; }
    float getMaxRotationValue() const { return maxRotationValue; }
    void setMaxRotationValue(float v) { maxRotationValue = v; }
    float getMinRotationGain() const { return minRotationGain; }
    void setMinRotationGain(float v) { minRotationGain = v; }
    float getMaxRotationGain() const { return maxRotationGain; }
    void setMaxRotationGain(float v) { maxRotationGain = v; }
    // Weight i of 0..WEIGHTS-1; 0 out of range, and out-of-range sets are ignored.
    float getJointWeight(int i) const { return i >= 0 && i < WEIGHTS ? jointWeight[i] : 0.0f; }
    void setJointWeight(int i, float v)
    {
        if (i >= 0 && i < WEIGHTS)
            jointWeight[i] = v;
    }
    // Gain i of 0..SPHERE_GAINS-1, with the same range rule.
    float getSphereLimitGain(int i) const
    {
        return i >= 0 && i < SPHERE_GAINS ? sphereLimitGain[i] : 0.0f;
    }
    void setSphereLimitGain(int i, float v)
    {
        if (i >= 0 && i < SPHERE_GAINS)
            sphereLimitGain[i] = v;
    }
    // Cone limit, degrees.
    float getSphereLimitAngle() const { return sphereLimitAngle; }
    void setSphereLimitAngle(float v) { sphereLimitAngle = v; }
    float getSphereLimitRoll() const { return sphereLimitRoll; }
    void setSphereLimitRoll(float v) { sphereLimitRoll = v; }
    float getFixPinGain() const { return fixPinGain; }
    void setFixPinGain(float v) { fixPinGain = v; }
    float getMovPinGain() const { return movPinGain; }
    void setMovPinGain(float v) { movPinGain = v; }
    int getLimitCone() const { return limitCone; }
    void setLimitCone(int v) { limitCone = v; }

private:
    std::string name;
    int jointType = 0;
    float desireGain = 0.5f;
    float minRotationValue = -180.0f;
    float maxRotationValue = 180.0f;
    float minRotationGain = 0.01f;
    float maxRotationGain = 0.01f;
    float jointWeight[WEIGHTS];
    float sphereLimitGain[SPHERE_GAINS];
    float sphereLimitAngle = 180.0f;
    float sphereLimitRoll = 180.0f;
    float fixPinGain = -1.0f;
    float movPinGain = -1.0f;
    int limitCone = 0;
};
