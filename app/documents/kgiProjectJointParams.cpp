// The joint-parameter file (".kjp") of a project: a header line, the line
// "Jparam.setAll <character> {", then one block of 15 lines per joint.
#include "kgiProject.h"

#include "kgiDocPath.h"
#include "kgiTextFile.h"
#include "kgiTokenizer.h"

#include <algorithm>
#include <cstring>

namespace {

// A written file has 15 lines a record and four more (header, empty line,
// "Jparam.setAll" line, closing "}"): (lines - 2) / 15 counts its records.
const int LINES_PER_RECORD = 15;
const int FRAME_LINES = 2;

int countLines(FILE* file)
{
    int lines = 0;
    int last = '\n';
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        lines += static_cast<int>(std::count(buffer, buffer + n, '\n'));
        last = buffer[n - 1];
    }
    return lines + (last != '\n' ? 1 : 0);
}

// The numbers of a brace list ("{1.0 2.0 3.0}"), whose braces may stick to
// the first and last number or stand alone; at most `count` of them.
int braceValues(const kgiTokenizer& tokens, float* values, int count)
{
    int found = 0;
    for (int i = 1; i < tokens.getTokenCount() && found < count; ++i) {
        const char* t = tokens.getToken(i);
        if (*t == '{')
            ++t;
        if (!*t || *t == '}')
            continue;
        values[found++] = kgiTextFile::parseFloat(t);
    }
    return found;
}

void readField(kgiJointParam& p, const kgiTokenizer& tokens)
{
    const char* key = tokens.getToken(0);
    const float number = tokens.tokenFloat(1);
    struct FloatKey { const char* key; void (kgiJointParam::*set)(float); };
    static const FloatKey FLOATS[] = {
        {"DesireGain", &kgiJointParam::setDesireGain},
        {"Min_RotationValue", &kgiJointParam::setMinRotationValue},
        {"Max_RotationValue", &kgiJointParam::setMaxRotationValue},
        {"Min_RotationGain", &kgiJointParam::setMinRotationGain},
        {"Max_RotationGain", &kgiJointParam::setMaxRotationGain},
        {"Sphere_Joint_limit_Angle", &kgiJointParam::setSphereLimitAngle},
        {"Sphere_Joint_limit_Roll", &kgiJointParam::setSphereLimitRoll},
        {"Fix_PinGain", &kgiJointParam::setFixPinGain},
        {"Mov_PinGain", &kgiJointParam::setMovPinGain},
    };
    for (const FloatKey& f : FLOATS)
        if (std::strcmp(key, f.key) == 0) {
            (p.*f.set)(number);
            return;
        }
    if (std::strcmp(key, "JointType") == 0) {
        p.setJointType(tokens.tokenInt(1));
    } else if (std::strcmp(key, "LimitCone") == 0) {
        p.setLimitCone(tokens.tokenInt(1));
    } else if (std::strcmp(key, "JointWeight") == 0) {
        float w[kgiJointParam::WEIGHTS];
        if (braceValues(tokens, w, kgiJointParam::WEIGHTS) == kgiJointParam::WEIGHTS)
            for (int i = 0; i < kgiJointParam::WEIGHTS; ++i)
                p.setJointWeight(i, w[i]);
    } else if (std::strcmp(key, "Sphere_Joint_limit_Gain") == 0) {
        float g[kgiJointParam::SPHERE_GAINS];
        const int n = braceValues(tokens, g, kgiJointParam::SPHERE_GAINS);
        for (int i = 0; i < n; ++i)
            p.setSphereLimitGain(i, g[i]);
    }
}

void putFloatLine(kgiTextFile& out, const char* key, float value)
{
    out.put("\t\t").put(key).put(' ').putFloat(value).put('\n');
}

void putIntLine(kgiTextFile& out, const char* key, int value)
{
    out.put("\t\t").put(key).put(' ').putInt(value).put('\n');
}

// "\t\t<key> {v1 v2 ...}", the braces against the first and last value.
void putListLine(kgiTextFile& out, const char* key, const float* values, int count)
{
    out.put("\t\t").put(key).put(" {");
    for (int i = 0; i < count; ++i)
        out.put(i ? " " : "").putFloat(values[i]);
    out.put("}\n");
}

} // namespace

void kgiProject::allocateJointParams(int n)
{
    if (n < 1)
        return;
    jointParameters.assign(static_cast<size_t>(n), kgiJointParam());
}

kgiJointParam* kgiProject::getJointParam(int i)
{
    if (jointParameters.empty())
        return nullptr;
    return &jointParameters[static_cast<size_t>(std::clamp(i, 0, getJointParameterCount() - 1))];
}

int kgiProject::writeJointParams(const char* path)
{
    if (!path)
        return 0;
    jointParameterName = kgiDocPath::withoutExtension(path) + ".kjp";
    jointParameterPath = kgiDocPath::sub(kgiDocPath::sub(projectDir, jointParameterDirName),
                                         jointParameterName);
    kgiTextFile out;
    if (!out.create(jointParameterPath.c_str()))
        return 0;
    out.put("# KJP ").put(version).put(" -- Korvelith Joint Parameter\n");
    out.put('\n');
    out.put("Jparam.setAll ").put(kgiDocPath::withoutExtension(characterName)).put(" {\n");
    for (const kgiJointParam& p : jointParameters) {
        out.put('\t').put(p.getName()).put(" {\n");
        putIntLine(out, "JointType", p.getJointType());
        putFloatLine(out, "DesireGain", p.getDesireGain());
        putFloatLine(out, "Min_RotationValue", p.getMinRotationValue());
        putFloatLine(out, "Max_RotationValue", p.getMaxRotationValue());
        putFloatLine(out, "Min_RotationGain", p.getMinRotationGain());
        putFloatLine(out, "Max_RotationGain", p.getMaxRotationGain());
        float weights[kgiJointParam::WEIGHTS];
        for (int i = 0; i < kgiJointParam::WEIGHTS; ++i)
            weights[i] = p.getJointWeight(i);
        putListLine(out, "JointWeight", weights, kgiJointParam::WEIGHTS);
        float gains[kgiJointParam::SPHERE_GAINS];
        for (int i = 0; i < kgiJointParam::SPHERE_GAINS; ++i)
            gains[i] = p.getSphereLimitGain(i);
        putListLine(out, "Sphere_Joint_limit_Gain", gains, kgiJointParam::SPHERE_GAINS);
        putFloatLine(out, "Sphere_Joint_limit_Angle", p.getSphereLimitAngle());
        putFloatLine(out, "Sphere_Joint_limit_Roll", p.getSphereLimitRoll());
        putFloatLine(out, "Fix_PinGain", p.getFixPinGain());
        putFloatLine(out, "Mov_PinGain", p.getMovPinGain());
        putIntLine(out, "LimitCone", p.getLimitCone());
        out.put("\t}\n");
    }
    out.put("}\n");
    return out.commit() ? 1 : 0;
}

int kgiProject::readJointParams(const char* path)
{
    if (!path || !*path)
        return 1;
    FILE* file = std::fopen(path, "r");
    if (!file)
        return 0;
    const int count = (countLines(file) - FRAME_LINES) / LINES_PER_RECORD;
    std::rewind(file);
    // Records of an earlier read must not survive a file that has none.
    if (count >= 1)
        allocateJointParams(count);
    else
        releaseJointParams();

    kgiTokenizer tokens;
    if (tokens.readLine(file) < 3 || !tokens.tokenIs(1, "KJP")) {
        std::fclose(file);
        return 1;
    }
    version = tokens.getToken(2);
    if (!tokens.readLine(file) || !tokens.tokenIs(0, "Jparam.setAll")) {
        std::fclose(file);
        return 1;
    }
    int record = 0;
    int n;
    while (record < count && (n = tokens.readLine(file)) > 0) {
        kgiJointParam& p = jointParameters[static_cast<size_t>(record)];
        if (n == 1 && tokens.tokenIs(0, "}"))
            ++record;
        else if (n >= 2 && tokens.tokenIs(1, "{"))
            p.setName(tokens.getToken(0));
        else if (n >= 2)
            readField(p, tokens);
    }
    std::fclose(file);
    return 1;
}
