#pragma once
// Immediate-mode OpenGL drawing of model data (kgiModelData): each model
// entry's tree of mesh records, walked along first-child and next-sibling
// links, each record under its own transform (siblings in their parent's
// frame), wireframe or lit, with optional vertex normals. Draw with a
// current GL context; nothing here owns GL objects.
//
// This is a second way to look at a loaded scene file beside the scene
// graph, which is how the program itself draws its robot.
class kgiModelData;
struct kgiMeshRecord;

// What a draw call is asked to do.
struct kgiDrawOptions {
    bool wireframe = false;    // triangles as line loops, unlit
    bool normals = false;      // a line along every vertex normal
    float normalsScale = 1.0f; // length of those lines
    // Print each record's bounding box to standard output. Mesh records
    // carry no box, so nothing is printed; kgiModelDataList::draw clears
    // the flag after one pass.
    bool dumpBoxes = false;
};

// The drawing state shared by every draw call of the process: the frame
// the transforms read, and the routines chosen for the model being drawn.
struct kgiDrawSettings {
    using MeshRoutine = void (*)(const kgiMeshRecord& record);
    using TransformRoutine = void (*)(const kgiMeshRecord& record, int frame);

    int initialised = 0;
    int frame = -1; // -1: no frame, every record uses its static transform
    int normals = 0;
    MeshRoutine drawMesh = nullptr;
    TransformRoutine transform = nullptr;
    float normalsScale = 0.0f;

    static kgiDrawSettings& instance();
};

// Draws every model entry of `model` (nothing for null or an empty model).
void kgiDrawModel(const kgiModelData* model, const kgiDrawOptions& options);
// Draws a record, its children and its later siblings with the current
// settings; the matrix stack is left as it was found.
void kgiDrawNodeTree(const kgiMeshRecord* record, const kgiDrawOptions& options);

// Transform routines, by the entry's frame layout (translation, Euler
// rotation about z then y then x, and scale; the same without scale; a
// 4x4 matrix). Each multiplies the current matrix by the record's transform
// at `frame`, or by its static transform (the record's first frame in the
// file) when the frame is -1 or not one the record has. The plain routines
// read the file's frames in the layout; the Animated ones read frames the
// application put in (kgiModelEntry::framesReplaced): 4x4 matrices.
void kgiTransformTrs(const kgiMeshRecord& record, int frame);
void kgiTransformTr(const kgiMeshRecord& record, int frame);
void kgiTransformMatrix(const kgiMeshRecord& record, int frame);
void kgiTransformTrsAnimated(const kgiMeshRecord& record, int frame);
void kgiTransformTrAnimated(const kgiMeshRecord& record, int frame);
void kgiTransformMatrixAnimated(const kgiMeshRecord& record, int frame);
// The routine for an entry's layout (kgiModelEntry::Layout) and animated flag.
kgiDrawSettings::TransformRoutine kgiTransformFor(int frameLayout, bool animated);

// Mesh routines: materials as the record gives them (one for the mesh, or
// one per triangle; a triangle naming no material keeps the previous one).
void kgiDrawMeshWire(const kgiMeshRecord& record);
void kgiDrawMeshSolid(const kgiMeshRecord& record);
// Solid, but only for records without a material table.
void kgiDrawMeshSolidBare(const kgiMeshRecord& record);
