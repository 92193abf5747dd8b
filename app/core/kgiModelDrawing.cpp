#include "kgiModelDrawing.h"

#include "kgiModelData.h"
#include "kgiModelParts.h"
#include "kmlMatrix4.h"
#include "kneBytes.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

const float GREY = 0.9f;

// The record's placement at the frame.
void applyPlacement(const kgiMeshRecord& r, int layout, int frame)
{
    if (r.frames && frame >= 0 && frame < r.frameCount) {
        const kmlMatrix4 m = kgiRecordFrameMatrix(&r, frame);
        glMultMatrixf(static_cast<const float*>(m));
        return;
    }
    if (!r.nodeData)
        return;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(r.nodeData);
    if (layout == kgiModelEntry::TRS || layout == kgiModelEntry::TR) {
        float v[9];
        const int count = layout == kgiModelEntry::TRS ? 9 : 6;
        for (int k = 0; k < count; ++k)
            v[k] = kneLE::f32(p + 4 * k);
        glTranslatef(v[0], v[1], v[2]);
        glRotatef(v[5], 0.0f, 0.0f, 1.0f);
        glRotatef(v[4], 0.0f, 1.0f, 0.0f);
        glRotatef(v[3], 1.0f, 0.0f, 0.0f);
        if (count == 9)
            glScalef(v[6], v[7], v[8]);
        return;
    }
    const kmlMatrix4 m = kgiRecordLocalMatrix(&r, layout);
    glMultMatrixf(static_cast<const float*>(m));
}

void applyMaterial(const kgiMeshRecord& r, int index)
{
    if (index < 0 || index >= r.materialCount || index >= int(r.materials.size()))
        return;
    const float* c = r.materials[size_t(index)].color;
    const float diffuse[4] = {c[0], c[1], c[2], 1.0f};
    const float specular[4] = {c[4], c[5], c[6], 1.0f};
    const float ambient[4] = {c[8], c[9], c[10], 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::min(std::max(c[7], 0.0f), 128.0f));
}

void drawMesh(const kgiMeshRecord& r)
{
    if (!r.vertices || !r.polygons || r.polygonCount < 1)
        return;
    const bool perFace = r.polygonKind == 3;
    const int words = perFace ? 4 : 3;
    int material = perFace ? -1 : 0;
    if (!perFace)
        applyMaterial(r, 0);
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < r.polygonCount; ++f) {
        const uint16_t* face = r.polygons + size_t(f) * size_t(words);
        if (face[0] >= r.vertexCount || face[1] >= r.vertexCount || face[2] >= r.vertexCount)
            continue;
        if (perFace && face[3] != material) {
            // Material changes are not allowed between begin and end.
            glEnd();
            material = face[3];
            applyMaterial(r, material);
            glBegin(GL_TRIANGLES);
        }
        for (int k = 0; k < 3; ++k) {
            const float* v = r.vertices + size_t(face[k]) * kgiMeshRecord::VERTEX_FLOATS;
            glNormal3f(v[3], v[4], v[5]);
            glVertex3f(v[0], v[1], v[2]);
        }
    }
    glEnd();
}

// The record, its subtree, and (in a loop) its later siblings.
void drawRecords(const kgiMeshRecord* r, int layout, int frame)
{
    for (; r; r = r->nextSibling) {
        glPushMatrix();
        applyPlacement(*r, layout, frame);
        drawMesh(*r);
        drawRecords(r->firstChild, layout, frame);
        glPopMatrix();
    }
}

} // namespace

void kgiDrawModelData(const kgiModelData* data, int frame, bool smooth)
{
    if (!data || data->models.empty() || data->models[0].records.empty())
        return;
    const kgiModelEntry& entry = data->models[0];
    glPushAttrib(GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glShadeModel(smooth ? GL_SMOOTH : GL_FLAT);
    glColor3f(GREY, GREY, GREY);
    drawRecords(&entry.records[0], entry.frameLayout, frame);
    glPopAttrib();
}

bool kgiSetUpSceneCamera(const kgiCameraRecord& camera, int frame, float aspect)
{
    const int frames = int(camera.angles.size() / 2);
    if (!camera.motionFrames || frames < 1)
        return false;
    const int f = std::min(std::max(frame, 0), frames - 1);
    // Field-of-view frames run with the motion frames.
    const float fov = camera.fovFrames ? camera.fovFrames[f] : 56.0f;
    const double nearPlane = 1.0, farPlane = 10000.0;
    const double top = nearPlane * std::tan(double(fov) * 3.14159265358979323846 / 360.0);
    const double right = top * double(aspect > 0.0f ? aspect : 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-right, right, -top, top, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float* position = camera.motionFrames + size_t(f) * 7;
    glRotatef(-camera.angles[size_t(2 * f)], 1.0f, 0.0f, 0.0f);
    glRotatef(-camera.angles[size_t(2 * f + 1)], 0.0f, 1.0f, 0.0f);
    glTranslatef(-position[0], -position[1], -position[2]);
    return true;
}
