// The motion compiler: the character's key frames as the board's motion byte
// code, for the download image (compileMotion) and for remote-control entry
// files (saveRemoconMotion).
//
// The code: an 88-value header (values 14 and 15 hold the total count N),
// the initial pose, then per key a pose step (with a speed step when the
// speed changes) or a delay step, and a 5-value trailer whose count is the
// values written before it (N - 2).
#include "kgiRobotSession.h"

#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiLangKeys.h"
#include "kgiRobotLink.h"
#include "kgiWorld.h"

#include <algorithm>
#include <cmath>

namespace {

const int HEADER_LEAD[14] = {0xC1, 0xA6, 0xB8, 0xF1, 0xBE, 0xF8, 0xC0, 0xBD, 0x07, 0x0C, 0x07, 0x07, 0x2F, 0x1F};
constexpr int LENGTH_LOW = 14;
constexpr int LENGTH_HIGH = 15;
constexpr int POSE_STEP[3] = {0xB0, 0x00, 0x18};
constexpr int STEP_END = 0xE9;

// Collects the code and notes once it can no longer fit.
struct CodeWriter {
    std::vector<int> values;
    bool tooLong = false;

    void put(int v)
    {
        if (values.size() >= size_t(kgiRobotSession::MAX_CODE_VALUES)) {
            tooLong = true;
            return;
        }
        values.push_back(v);
    }
    void putWord(int v)
    {
        put(v & 0xFF);
        put((v >> 8) & 0xFF);
    }
    // A pause as delay steps of at most MAX_DELAY_MS each; a pause below
    // zero (keys closer than the step's own frame) is no pause.
    void putDelay(long long ms, bool always)
    {
        ms = std::max(ms, 0LL);
        if (ms == 0 && !always) return;
        do {
            const long long part = std::min<long long>(ms, kgiRobotSession::MAX_DELAY_MS);
            put(0xD4);
            put(0x13);
            putWord(int(part));
            put(STEP_END);
            ms -= part;
        } while (ms > 0);
    }
};

long long truncatedMs(double frames, float fps)
{
    const double ms = frames / double(fps) * 1000.0;
    if (!std::isfinite(ms)) return 0;
    return static_cast<long long>(std::clamp(ms, -1e15, 1e15));
}

} // namespace

std::vector<int> kgiRobotSession::compileCode(const std::vector<float>& keys, bool fromFirstKey, int start,
                                              bool initialOnly)
{
    CodeWriter w;
    for (int v : HEADER_LEAD) w.put(v);
    w.put(0);
    w.put(0);
    for (int v : {0xDA, 0x10, 0xDA, 0x11, 0xDA, 0x12, 0x02}) w.put(v);
    for (int n = 3; n <= 23; ++n) {
        w.put(0xDA);
        w.put(0x12);
        w.put(n);
    }
    w.put(0xB6);
    w.put(0x06);

    const float fps = kgiWorld::instance()->getFps();
    // The servos whose value was held to the board's range, named once.
    std::vector<bool> clamped(SERVOS, false);
    auto putPose = [&](const int* v) {
        for (int p : POSE_STEP) w.put(p);
        for (int s = 0; s < SERVOS; ++s) {
            const bool inRange = v[s] >= SERVO_MIN && v[s] <= SERVO_MAX;
            w.put(inRange || clamped[s] ? std::clamp(v[s], SERVO_MIN, SERVO_MAX) : boardByte(v[s], s));
            if (!inRange) clamped[s] = true;
        }
    };

    int values[SERVOS];
    float t = fromFirstKey ? (keys.empty() ? 0.0f : keys.front()) : float(start);
    maxServoDelta = 0;
    for (int s = 0; s < SERVOS; ++s) values[s] = servoValueAtTime(s, float(int(t)));
    putPose(values);

    if (!initialOnly) {
        int lastSpeed = -1;
        for (size_t k = fromFirstKey ? 1 : 0; k < keys.size() && !w.tooLong; ++k) {
            const float key = keys[k];
            if (!fromFirstKey && key < t) continue;
            maxServoDelta = 0;
            for (int s = 0; s < SERVOS; ++s) values[s] = servoValueAtTime(s, float(int(key)));
            if (maxServoDelta < 1) {
                if (fromFirstKey)
                    w.putDelay(truncatedMs(double(key) - double(t) - 1.0, fps), true);
                else
                    w.putDelay(truncatedMs(double(key) - double(t), fps), false);
            } else {
                const int speed = computeSpeed(maxServoDelta, key - t);
                if (speed != lastSpeed) {
                    w.put(0xDD);
                    w.put(0x12);
                    w.put(speed);
                    lastSpeed = speed;
                }
                maxServoDelta = 0;
                putPose(values);
                w.put(STEP_END);
            }
            // The compiled download measures from the whole frame, the entry
            // file from the key itself.
            t = fromFirstKey ? key : float(int(key));
        }
    }

    w.put(0xB6);
    w.put(0x05);
    w.put(0xC4);
    const int beforeCount = int(w.values.size());
    w.putWord(beforeCount);
    if (w.tooLong) return {};
    const int n = int(w.values.size());
    w.values[LENGTH_LOW] = n & 0xFF;
    w.values[LENGTH_HIGH] = (n >> 8) & 0xFF;
    return w.values;
}

bool kgiRobotSession::storeCompiled(const std::vector<int>& code, int slot)
{
    int32_t* buffer = link->fileBuffer[CHANNEL];
    std::fill(buffer, buffer + kgiRobotLink::SLOT_VALUES, 0);
    std::copy(code.begin(), code.end(), buffer);
    return link->setMotionSlot(static_cast<uint32_t>(slot), 0, CHANNEL) == 1;
}

bool kgiRobotSession::compileMotion(int toSlot18)
{
    CallGuard guard(*this);
    setDefaultPose();
    kgiCharacter* c = currentCharacter();
    if (!c || c->getKeyTimes().empty()) {
        showBox("Warning - 150", languageText(kgiLangKey::Wr_No_Data));
        return false;
    }
    const std::vector<float> keys = c->getKeyTimes();
    const int start = static_cast<int>(kgiWorld::instance()->getCurrentTime());
    const std::vector<int> code = compileCode(keys, false, start, toSlot18 != 0);
    const std::string tooLong = languageText(kgiLangKey::Wr_Motion_TooLong);
    if (code.empty()) {
        showBox("Error", tooLong);
        return false;
    }
    if (toSlot18) {
        storeCompiled(code, 18);
        return true;
    }
    // The other slots may leave the image no room: the old slot 32 must not
    // go to the board as if it were this motion.
    if (!storeCompiled(code, 32)) {
        showBox("Error", tooLong);
        return false;
    }
    return link->buildRemoteFile(1, 0, CHANNEL) != 0;
}
