#include "kgiDrawModel.h"

#include "kgiModelData.h"

#include <GL/gl.h>

#include <cstring>
#include <vector>

namespace {

// Floats of one frame record by layout, and of an application frame.
const int TRS_FLOATS = 9;
const int TR_FLOATS = 6;
const int MATRIX_FLOATS = 16;
const int MATRIX_BYTES = MATRIX_FLOATS * 4;

// Records of a file may sit at any byte (a 16-bit flag word after each
// one), so frames are copied out rather than read through float pointers.
void readFloats(const void* p, int n, float* out)
{
    std::memcpy(out, p, size_t(n) * sizeof(float));
}

// The record's frame `frame` at `stride` bytes a frame, or null when the
// record has no such frame (no table, frame -1, or past its own count).
const uint8_t* frameAt(const kgiMeshRecord& r, int frame, int stride)
{
    if (!r.frames || frame < 0 || frame >= r.frameCount || stride <= 0)
        return nullptr;
    return reinterpret_cast<const uint8_t*>(r.frames) + size_t(frame) * size_t(stride);
}

// Translation, then rotations about z, y and x (degrees), then scale.
void applyTrs(const void* p, bool scale)
{
    float v[TRS_FLOATS];
    readFloats(p, scale ? TRS_FLOATS : TR_FLOATS, v);
    glTranslatef(v[0], v[1], v[2]);
    glRotatef(v[5], 0.0f, 0.0f, 1.0f);
    glRotatef(v[4], 0.0f, 1.0f, 0.0f);
    glRotatef(v[3], 1.0f, 0.0f, 0.0f);
    if (scale)
        glScalef(v[6], v[7], v[8]);
}

void applyMatrix(const void* p)
{
    float m[MATRIX_FLOATS];
    readFloats(p, MATRIX_FLOATS, m);
    glMultMatrixf(m);
}

void applyStatic(const kgiMeshRecord& r, int layout)
{
    if (!r.nodeData)
        return;
    if (layout == kgiModelEntry::MATRIX)
        applyMatrix(r.nodeData);
    else
        applyTrs(r.nodeData, layout == kgiModelEntry::TRS);
}

// The record's transform at a frame: application frames (animated) are 4x4
// matrices, file frames follow the layout at the record's own stride;
// without such a frame, the static transform.
void transformAt(const kgiMeshRecord& r, int frame, int layout, bool animated)
{
    const uint8_t* f = frameAt(r, frame, animated ? MATRIX_BYTES : r.frameStride);
    if (!f)
        applyStatic(r, layout);
    else if (animated || layout == kgiModelEntry::MATRIX)
        applyMatrix(f);
    else
        applyTrs(f, layout == kgiModelEntry::TRS);
}

void setMaterial(const kgiMaterialRecord& m)
{
    glMaterialfv(GL_FRONT, GL_AMBIENT, m.color + 8);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, m.color);
    glMaterialfv(GL_FRONT, GL_SPECULAR, m.color + 4);
    glMaterialf(GL_FRONT, GL_SHININESS, m.color[7]);
    glColor3f(m.color[0], m.color[1], m.color[2]);
}

// Walks a record's triangles, setting materials as the record asks: mode 2
// sets material 0 once, mode 3 the triangle's own whenever it changes (a
// triangle naming a material the record does not have keeps the current
// one). `corner` is called for the three corners of each triangle whose
// indices name vertices of the record.
template <class Begin, class Corner, class End>
void walkTriangles(const kgiMeshRecord& r, Begin begin, Corner corner, End end)
{
    const float* vertices = r.currentVertices ? r.currentVertices : r.vertices;
    if (!vertices || !r.polygons)
        return;
    const int stride = r.polygonKind == 3 ? 4 : 3;
    int current = -1;
    if (r.polygonKind == 2 && r.materialCount > 0 && !r.materials.empty())
        setMaterial(r.materials[0]);
    for (int t = 0; t < r.polygonCount; ++t) {
        const uint16_t* p = r.polygons + size_t(t) * size_t(stride);
        if (p[0] >= r.vertexCount || p[1] >= r.vertexCount || p[2] >= r.vertexCount)
            continue;
        if (r.polygonKind == 3 && p[3] != current && p[3] < r.materials.size()) {
            current = p[3];
            setMaterial(r.materials[size_t(current)]);
        }
        begin();
        for (int k = 0; k < 3; ++k)
            corner(vertices + size_t(p[k]) * kgiMeshRecord::VERTEX_FLOATS);
        end();
    }
}

void drawNormals(const kgiMeshRecord& r, float scale)
{
    const float* v = r.currentVertices ? r.currentVertices : r.vertices;
    if (!v)
        return;
    glColor3f(0.3f, 0.3f, 1.0f);
    glBegin(GL_LINES);
    for (int i = 0; i < r.vertexCount; ++i, v += kgiMeshRecord::VERTEX_FLOATS) {
        glVertex3f(v[0], v[1], v[2]);
        glVertex3f(v[0] + scale * v[3], v[1] + scale * v[4], v[2] + scale * v[5]);
    }
    glEnd();
}

void drawRecord(const kgiMeshRecord& r, const kgiDrawSettings& s)
{
    if (s.transform)
        s.transform(r, s.frame);
    if (s.drawMesh)
        s.drawMesh(r);
    if (s.normals)
        drawNormals(r, s.normalsScale);
    // The bounding-box dump prints a record's box; mesh records carry
    // none, so there is nothing to print.
}

} // namespace

kgiDrawSettings& kgiDrawSettings::instance()
{
    static kgiDrawSettings settings;
    return settings;
}

void kgiTransformTrs(const kgiMeshRecord& r, int frame)
{
    transformAt(r, frame, kgiModelEntry::TRS, false);
}

void kgiTransformTr(const kgiMeshRecord& r, int frame)
{
    transformAt(r, frame, kgiModelEntry::TR, false);
}

void kgiTransformMatrix(const kgiMeshRecord& r, int frame)
{
    transformAt(r, frame, kgiModelEntry::MATRIX, false);
}

void kgiTransformTrsAnimated(const kgiMeshRecord& r, int frame)
{
    transformAt(r, frame, kgiModelEntry::TRS, true);
}

void kgiTransformTrAnimated(const kgiMeshRecord& r, int frame)
{
    transformAt(r, frame, kgiModelEntry::TR, true);
}

void kgiTransformMatrixAnimated(const kgiMeshRecord& r, int frame)
{
    transformAt(r, frame, kgiModelEntry::MATRIX, true);
}

kgiDrawSettings::TransformRoutine kgiTransformFor(int frameLayout, bool animated)
{
    switch (frameLayout) {
    case kgiModelEntry::TRS:
        return animated ? kgiTransformTrsAnimated : kgiTransformTrs;
    case kgiModelEntry::MATRIX:
        return animated ? kgiTransformMatrixAnimated : kgiTransformMatrix;
    default:
        return animated ? kgiTransformTrAnimated : kgiTransformTr;
    }
}

void kgiDrawMeshWire(const kgiMeshRecord& r)
{
    walkTriangles(
        r, [] { glBegin(GL_LINE_LOOP); }, [](const float* v) { glVertex3f(v[0], v[1], v[2]); },
        [] { glEnd(); });
}

void kgiDrawMeshSolid(const kgiMeshRecord& r)
{
    glEnable(GL_LIGHTING);
    glBegin(GL_TRIANGLES);
    walkTriangles(
        r, [] {},
        [](const float* v) {
            glNormal3f(v[3], v[4], v[5]);
            glVertex3f(v[0], v[1], v[2]);
        },
        [] {});
    glEnd();
    glDisable(GL_LIGHTING);
}

void kgiDrawMeshSolidBare(const kgiMeshRecord& r)
{
    if (r.materialCount == 0)
        kgiDrawMeshSolid(r);
}

void kgiDrawNodeTree(const kgiMeshRecord* record, const kgiDrawOptions&)
{
    const kgiDrawSettings& s = kgiDrawSettings::instance();
    // Depth first with a stack of our own: a file may nest nodes as deep as
    // it likes without exhausting the call stack. Each open level holds one
    // pushed matrix; its next sibling is drawn after the pop, in the
    // parent's frame.
    std::vector<const kgiMeshRecord*> open;
    const kgiMeshRecord* r = record;
    while (r || !open.empty()) {
        if (r) {
            glPushMatrix();
            drawRecord(*r, s);
            open.push_back(r);
            r = r->firstChild;
        } else {
            const kgiMeshRecord* done = open.back();
            open.pop_back();
            glPopMatrix();
            r = done->nextSibling;
        }
    }
}

void kgiDrawModel(const kgiModelData* model, const kgiDrawOptions& options)
{
    if (!model || model->modelCount < 1)
        return;
    kgiDrawSettings& s = kgiDrawSettings::instance();
    if (!s.initialised) {
        s = kgiDrawSettings();
        s.initialised = 1;
        s.normalsScale = options.normalsScale;
    }
    glColor3f(0.9f, 0.9f, 0.9f);
    for (const kgiModelEntry& e : model->models) {
        if (e.records.empty())
            continue;
        if (e.records[0].frames)
            s.frame = model->currentFrame;
        s.normals = options.normals ? 1 : 0;
        s.drawMesh = options.wireframe ? kgiDrawMeshWire : kgiDrawMeshSolid;
        s.transform = kgiTransformFor(e.frameLayout, e.framesReplaced != 0);
        // Scaled records would scale their normals too.
        const bool scaled = e.frameLayout == kgiModelEntry::TRS;
        if (scaled)
            glEnable(GL_NORMALIZE);
        kgiDrawNodeTree(&e.records[0], options);
        if (scaled)
            glDisable(GL_NORMALIZE);
    }
}
