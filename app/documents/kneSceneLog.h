#pragma once
// Diagnostics of the binary scene library: text dumps of a scene, its
// objects and an id table, and five log outputs (system, info, message A,
// message B, dump), each a stdio stream that may be null (off). Outputs are
// process-wide; constructing a kneScene switches them all off. Addresses in
// dumps are printed in full pointer width.
#include <cstdint>
#include <cstdio>

class kneScene;
class kneSceneObject;
class kneIdTable;
class kneDataEntry;

class kneSceneLog {
public:
    enum Code : uint16_t {
        E_OBJECT_TYPE = 111,    // object dump met an unknown data type
        E_SUBOBJECT_TYPE = 112, // sub-object dump met an unknown data type
        E_MESH_TYPE = 113,      // unknown mesh data type in a sub-list
        E_NO_STREAM = 141,
        E_OPEN = 142,           // file could not be opened (narrow path)
        E_NO_HEADER = 143,
        E_OPEN_W = 144,         // file could not be opened (wide path)
    };
    using Callback = void (*)(const char* text);

    // Dumps the whole scene to stream. While an error is set only the
    // "Error: w=%d e=%d" line is printed and the status word returned.
    static uint32_t dumpScene(kneScene& scene, FILE* stream);
    // The same to a file ("w"), or to standard output when path is null.
    static uint32_t dumpSceneFile(kneScene& scene, const char* path);
    static uint32_t dumpSceneFileW(kneScene& scene, const char16_t* path);
    // One object's dump (object or sub-object form, chosen by the caller).
    static void dumpObject(FILE* stream, kneSceneObject& object, bool isObject);

    // Opens a log file ("w") and points every output at it; a null path
    // switches logging off. Failure: 142 (144 for the wide form).
    static uint32_t openLog(kneScene& scene, const char* path);
    static uint32_t openLogW(kneScene& scene, const char16_t* path);
    // Closes the scene's log file (never a standard stream) and points every
    // output at stream (null: off).
    static uint32_t closeLog(kneScene& scene, FILE* stream);
    // Closes the log file and points the system log at standard output and
    // the others at standard error; returns the error half of the status.
    static uint32_t closeLogDefault(kneScene& scene);

    static void setSystemOutput(FILE* s);
    static void setInfoOutput(FILE* s);
    static void setMessageAOutput(FILE* s);
    static void setMessageBOutput(FILE* s);
    static void setDumpOutput(FILE* s);
    static void setAllOutputs(FILE* s);
    static FILE* getSystemOutput();
    static FILE* getInfoOutput();
    static FILE* getMessageAOutput();
    static FILE* getMessageBOutput();
    static FILE* getDumpOutput();
    static void setInfoCallback(Callback cb);
    static void setMessageACallback(Callback cb);
    static void setMessageBCallback(Callback cb);

    static void systemLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void infoLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void messageA(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void messageB(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // 1 selects the detailed form of every dump, 0 the short one.
    static void setDumpStyle(int style);
    static int getDumpStyle();

    // Dumps to the dump output: an id table with a hex dump of its pages;
    // the scene header and slots; the build cache; one data entry; a 4 x 3
    // and a 4 x 4 matrix (rows of floats in storage order).
    static void dumpIdTable(const kneIdTable& table);
    static void dumpStatus(const kneScene& scene);
    static void dumpCache();
    static void dumpDataEntry(const kneDataEntry& entry);
    static void dumpMatrix43(const float* m);
    static void dumpMatrix44(const float* m);
};
