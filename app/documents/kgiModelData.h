#pragma once
// Model data: a binary scene file (.kmd) turned into flat records the
// application walks without knowing the scene's handles. One model entry per
// model object (one mesh record per model node) and one camera record per
// camera object. Records point into the scene's id tables, so they are valid
// while this object holds the scene and the scene is unchanged.
//
// The records' pointers read the file's little-endian floats and u16 values
// in place; the load refuses a big-endian host at compile time.
#include <cstdint>
#include <memory>
#include <vector>

class kneScene;

// One material: bytes 0-11 of the file's 16-byte material as 0..1 floats
// (diffuse RGBA, specular RGB, shininess, ambient RGBA), then its two u16.
struct kgiMaterialRecord {
    float color[12];
    uint16_t word[2];
};

// One model node.
struct kgiMeshRecord {
    static constexpr int NAME_SIZE = 256;
    static constexpr int VERTEX_FLOATS = 6; // position, normal

    // Ownership bits.
    enum : uint32_t { BORROWED_FRAMES = 1, BORROWED_VERTEX_FRAMES = 2, FLAG32 = 4 };

    const char* sourceName = nullptr;  // the node's name in the scene
    char name[NAME_SIZE] = {};         // unique; blanks, tabs, colons, commas,
                                       // quotes, controls as "_"; "Node" if none
    const float* nodeData = nullptr;   // the node's first frame record
    int vertexCount = 0;
    const float* vertices = nullptr;
    const float* currentVertices = nullptr;
    int polygonCount = 0;
    const uint16_t* polygons = nullptr; // a, b, c (and a material index in kind 3)
    int polygonKind = 0;               // 1 no materials, 2 one material, 3 one per face
    int materialCount = 0;
    std::vector<kgiMaterialRecord> materials;
    kgiMeshRecord* firstChild = nullptr;
    kgiMeshRecord* nextSibling = nullptr;
    int depth = 0;
    int jointKind = 0;                 // low 4 bits of the flag word when 1 to 7
    int frameCount = 0;
    // Per-frame transform records, frameStride bytes apart. With a 16-bit
    // flag word the records after the first are not float-aligned: read
    // loaded frames byte-wise (kneLE::f32).
    float* frames = nullptr;
    int vertexFrameCount = 0;
    float* vertexFrames = nullptr;     // per-frame vertex sets
    uint32_t ownership = 0;
    const uint8_t* flagWord = nullptr; // after the first frame record, or null
    const uint8_t* extra = nullptr;    // never set: files with extra pairs are refused
    // Bytes from one frame record of the file to the next (the record and
    // its flag word), for frames and nodeData as loaded.
    int frameStride = 0;

    // Frames the record owns (frees later); a negative count is refused.
    bool setFrames(std::unique_ptr<float[]> data, int count);
    // Frames that stay someone else's (the scene's).
    bool borrowFrames(float* data, int count);
    bool setVertexFrames(std::unique_ptr<float[]> data, int count);
    bool borrowVertexFrames(float* data, int count);
    // Bits 6, 7 and 8 of the flag word for i = 0, 1, 2 (the per-axis flags);
    // false without a flag word.
    bool getFlag(int i) const;
    // The i-th u32 pair of extra; false without extra.
    bool getExtraPair(int i, uint32_t& a, uint32_t& b) const;
private:
    std::unique_ptr<float[]> ownFrames_;
    std::unique_ptr<float[]> ownVertexFrames_;
};

struct kgiModelEntry {
    // How the nodes' frame records are laid out.
    enum Layout { TRS = 1, TR = 2, MATRIX = 3 };

    int frameLayout = 0;
    int recordCount = 0;
    std::vector<kgiMeshRecord> records; // depth-first, as stored
    int reserved = 0;
    int framesReplaced = 0;             // set by the application
    int keyCount = 0;
    std::unique_ptr<uint16_t[]> keyFrames;
    int unset = -1;

    // Takes the key-frame list (frees the previous one); negative count refused.
    bool setKeyFrames(std::unique_ptr<uint16_t[]> data, int count);
};

struct kgiCameraRecord {
    int mode = 0;                        // 1 position + target, 2 position + direction
    const float* cameraData = nullptr;   // data of the camera's first element
    const float* motionFrames = nullptr; // 7 floats a frame
    std::vector<float> angles;           // pitch, heading per motion frame
    const char* name = nullptr;
    const float* fovFrames = nullptr;
};

struct kgiModelBounds {
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    float centre[3] = {0, 0, 0};
    int empty = 1;
};

class kgiModelData {
public:
    kgiModelData();
    ~kgiModelData();
    kgiModelData(const kgiModelData&) = delete;
    kgiModelData& operator=(const kgiModelData&) = delete;

    // Reads the file and builds the records; true on success. A second load
    // reuses the held scene. A failed read keeps the scene; any other
    // failure leaves the model data empty with no scene.
    bool load(const char* path);
    // The same from bytes in memory.
    bool loadBuffer(const uint8_t* data, size_t size);

    // The current frame: -1 means "no frame" (static transforms); any other
    // value is brought into [0, frameCount). False when frameCount < 1.
    bool setFrame(int f);
    // Selects each record's vertex set f (mod its count); f < 0 selects the
    // static vertices.
    void selectVertexFrame(int f);
    // Writes the held scene back as a .kmd file; false without a scene.
    bool save(const char* path);
    // Frees records, cameras and bounds; with destroyScene also the scene.
    void clear(bool destroyScene);

    int modelCount = 0;
    std::vector<kgiModelEntry> models;
    int cameraCount = 0;
    std::vector<kgiCameraRecord> cameras;
    int reserved = 0;
    int frameCount = 0;
    int currentFrame = 0;
    std::unique_ptr<kgiModelBounds> bounds;
    std::unique_ptr<kneScene> scene;
    int kind = 0;                 // set by a model-data list; load leaves it
    kgiModelData* next = nullptr; // link of a model-data list

private:
    void prepare();
    bool build();
    bool computeBounds();
};
