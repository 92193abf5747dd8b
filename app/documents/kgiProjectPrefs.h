#pragma once
// The Pref block of a timesheet: eleven view and time settings, each stored
// under its own key ("fts", "fps", ...). Unknown keys in a file are ignored.
class kgiTextFile;

class kgiProjectPrefs {
public:
    kgiProjectPrefs() = default;

    int getFts() const { return fts; }
    void setFts(int v) { fts = v; }
    // Frames per second of the time line.
    int getFps() const { return fps; }
    void setFps(int v) { fps = v; }
    int getWstep() const { return wstep; }
    void setWstep(int v) { wstep = v; }
    int getGP() const { return g_p; }
    void setGP(int v) { g_p = v; }
    int getGN() const { return g_n; }
    void setGN(int v) { g_n = v; }
    float getGT() const { return g_t; }
    void setGT(float v) { g_t = v; }
    int getGS() const { return g_s; }
    void setGS(int v) { g_s = v; }
    // Field of view of the 3D view, degrees.
    float getFfov() const { return ffov; }
    void setFfov(float v) { ffov = v; }
    float getFgain() const { return fgain; }
    void setFgain(float v) { fgain = v; }
    float getMgain() const { return mgain; }
    void setMgain(float v) { mgain = v; }
    int getDw() const { return dw; }
    void setDw(int v) { dw = v; }

    // Sets the field stored under `key` from its text; false for an unknown
    // key (the field keeps its value).
    bool setByKey(const char* key, const char* value);

    // The eleven lines "\t\t<key> <value>" in file order, integers with
    // "%d" and floats with "%f".
    void write(kgiTextFile& out) const;

private:
    struct Entry {
        const char* key;
        int kgiProjectPrefs::*intField;
        float kgiProjectPrefs::*floatField;
    };
    static const Entry ENTRIES[11];

    int fts = 5;
    int fps = 30;
    int wstep = 1;
    int g_p = 1;
    int g_n = 1;
    float g_t = 0.6f;
    int g_s = 10;
    float ffov = 56.0f;
    float fgain = 0.0f;
    float mgain = 0.0f;
    int dw = 0;
};
