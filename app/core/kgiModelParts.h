#pragma once
// What the model builder hangs into a character's node tree from the
// robot's binary scene file: the opened project and model data with the
// project's motion frames copied into the scene records, one mesh node per
// material of a record's mesh, the material state of each part, and key
// curves made from the per-frame matrices.
//
// Matrices of the scene records and of the motion-key file are 16 floats,
// column after column: value 4j + i is row i, column j.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class kgiKmmFile;
class kgiModelData;
class kgiProject;
class kmlBaseCurve;
class kmlMatrix4;
class ksgModel;
class ksgNode;
struct kgiMeshRecord;

// One mesh part in the making: the faces and vertices of one material.
struct kgiPartIndexSet {
    int materialIndex = -1;
    std::vector<int> faces;    // indices into the record's faces
    std::vector<int> vertices; // indices into the record's vertices
    // Record vertex index -> its (last) position in `vertices`.
    std::map<int, int> positions;
    // With unique false every face and vertex is appended; with true a
    // value already listed is not appended again.
    bool unique = true;

    void addFace(int face);
    void addVertex(int vertex);
};

// Opens a project; a project whose curve file fails opens without it.
// Null when the project cannot be opened.
kgiProject* kgiOpenProject(const std::string& path);

// Opens the project and its model data and copies the project's motion
// frames into the model (motionApplied then true). False when the project
// or its model file cannot be read (`model` null, `project` the opened
// project or null), and when the project's motion-key file does not fit
// the model (both set): the caller reports and frees what it got.
bool kgiOpenModel(const std::string& path, kgiProject*& project, kgiModelData*& model, bool& motionApplied);

// kgiApplyMotionFile's refusal.
const int MOTION_DOES_NOT_FIT = 1;
// Copies the motion-key file's frames into the first model of the data:
// records of type 0 and 5 take no file node, every other record takes the
// next one, in order (names are not compared). Returns 0, or
// MOTION_DOES_NOT_FIT with the data unchanged when the file's node count
// is not the number of those records: pairing by order would then shift
// every joint after the gap.
int kgiApplyMotionFile(kgiModelData* model, const kgiKmmFile* motion);

// The record's mesh parts, one per material in order of first use, named
// after the record with "_Part" and a number. Returns their count.
int kgiBuildMeshParts(const kgiMeshRecord* record, std::vector<ksgNode*>& parts);
// One part, or null when its mesh cannot be finished.
ksgModel* kgiBuildPart(const kgiPartIndexSet& set, const kgiMeshRecord* record);
// Gives a node the record's material `index` as its render state; nothing
// for an index out of range.
void kgiApplyMaterial(const kgiMeshRecord* record, ksgNode* node, int index);

// Depth-first search of a record tree by name (the record's own name).
const kgiMeshRecord* kgiFindRecord(const kgiMeshRecord* record, const std::string& name);

// The record's rest matrix from its transform data: translation and Euler
// angles (degrees, order ZYX) for the layouts with separate values, else a
// 4x4 matrix column after column. The identity without transform data.
kmlMatrix4 kgiRecordLocalMatrix(const kgiMeshRecord* record, int format);

// Frame f of a record's per-frame matrices (as the motion file put them).
kmlMatrix4 kgiRecordFrameMatrix(const kgiMeshRecord* record, int frame);

// Key curves from a record's per-frame matrices: a key at every frame the
// key-frame list names (in ascending order, each once, whatever the list's
// order), up to the frames the record holds. An empty curve without frames or keys.
// The caller owns the curve.
kmlBaseCurve* kgiMakeQuatCurve(const kgiMeshRecord* record, int frameCount, int keyCount, const uint16_t* keyFrames);
kmlBaseCurve* kgiMakePositionCurve(const kgiMeshRecord* record, int frameCount, int keyCount,
                                   const uint16_t* keyFrames);
kmlBaseCurve* kgiMakeEulerCurve(const kgiMeshRecord* record, int frameCount, int keyCount, const uint16_t* keyFrames);
