#include "kgcMesh.h"

#include <GL/gl.h>

#include <iostream>

kgcMesh::kgcMesh() = default;

kgcMesh::kgcMesh(const kgcMesh& other)
    : vertices(other.vertices), normals(other.normals), faces(other.faces),
      nfaces(other.nfaces), nverts(other.nverts), nnorms(other.nnorms),
      nextFace(other.nextFace), nextVertex(other.nextVertex), nextNormal(other.nextNormal),
      building(false)
{
}

kgcMesh& kgcMesh::operator=(const kgcMesh& other)
{
    if (this == &other)
        return *this;
    vertices = other.vertices;
    normals = other.normals;
    faces = other.faces;
    nfaces = other.nfaces;
    nverts = other.nverts;
    nnorms = other.nnorms;
    // The fill counters must describe the arrays just taken, or a later add
    // would write past them and end() would judge the wrong fill.
    nextFace = other.nextFace;
    nextVertex = other.nextVertex;
    nextNormal = other.nextNormal;
    building = false;
    return *this;
}

kgcMesh::~kgcMesh() = default;

namespace {

template <class T>
void resizeFor(std::vector<T>& array, int count)
{
    if (static_cast<int>(array.size()) != count)
        array.assign(static_cast<size_t>(count), T{});
}

bool validCount(int n)
{
    return n >= 0 && n <= kgcMesh::MAX_COUNT;
}

} // namespace

bool kgcMesh::begin(int nv, int nn, int nf)
{
    if (!validCount(nv) || !validCount(nn) || !validCount(nf)) {
        building = false;
        return false;
    }
    resizeFor(vertices, nv);
    resizeFor(normals, nn);
    resizeFor(faces, nf);
    nverts = nv;
    nnorms = nn;
    nfaces = nf;
    nextVertex = nextNormal = nextFace = 0;
    building = true;
    return true;
}

bool kgcMesh::addVertex(float x, float y, float z)
{
    if (!building || nextVertex >= nverts)
        return false;
    vertices[nextVertex++] = Point{x, y, z};
    return true;
}

bool kgcMesh::addNormal(float x, float y, float z)
{
    if (!building || nextNormal >= nnorms)
        return false;
    normals[nextNormal++] = Point{x, y, z};
    return true;
}

bool kgcMesh::addFace(int a, int b, int c, int n)
{
    if (!building || nextFace >= nfaces)
        return false;
    // Face indices come from the robot's model file: a bad one would make
    // drawing and every box test read outside the arrays.
    auto vertex = [this](int i) { return i >= 0 && i < nverts; };
    if (!vertex(a) || !vertex(b) || !vertex(c) || n < -1 || n >= nnorms)
        return false;
    faces[nextFace++] = Face{a, b, c, n};
    return true;
}

bool kgcMesh::end()
{
    bool wasBuilding = building;
    building = false;
    return wasBuilding && nextVertex == nverts && nextNormal == nnorms && nextFace == nfaces;
}

bool RayTriIntersec(const kmlVec3& origin, const kmlVec3& direction, const kmlVec3& P,
                    const kmlVec3& Q, const kmlVec3& R, kmlVec3& hit)
{
    const kmlVec3 e1 = Q - P;
    const kmlVec3 e2 = R - P;
    const kmlVec3 w = direction.cross(e2);
    const float det = e1.dot(w);
    // Culls triangles seen from behind and rays parallel to the plane.
    if (det < 1e-6f)
        return false;
    const kmlVec3 s = origin - P;
    const float u = s.dot(w);
    if (u < 0 || u > det)
        return false;
    const kmlVec3 k = s.cross(e1);
    const float v = direction.dot(k);
    if (v < 0 || u + v > det)
        return false;
    const float t = e2.dot(k) / det;
    // A triangle behind the eye must not be picked.
    if (!(t >= 0))
        return false;
    hit = origin + t * direction;
    return true;
}

bool kgcMesh::intersect(const kmlVec3& origin, const kmlVec3& direction,
                        std::vector<kmlVec4>& hits) const
{
    const size_t before = hits.size();
    kmlVec3 h;
    for (int i = 0; i < nfaces; ++i) {
        const Face& f = faces[i];
        if (RayTriIntersec(origin, direction, vertexAt(f.a), vertexAt(f.b), vertexAt(f.c), h))
            hits.push_back(kmlVec4(h[0], h[1], h[2], 1.0f));
    }
    return hits.size() > before;
}

bool kgcMesh::collide(kgcMesh*) const
{
    return false;
}

void kgcMesh::transform(const kmlMatrix4&, kgcMesh&) const
{
}

void kgcMesh::render() const
{
    glBegin(GL_TRIANGLES);
    if (hasVertexNormals()) {
        for (int i = 0; i < nfaces; ++i) {
            for (int v : {faces[i].a, faces[i].b, faces[i].c}) {
                glNormal3f(normals[v].x, normals[v].y, normals[v].z);
                glVertex3f(vertices[v].x, vertices[v].y, vertices[v].z);
            }
        }
    } else {
        // Consecutive faces of one flat side share their normal: send it
        // only when it changes. A face without a stored normal (-1) keeps
        // whatever normal is current.
        int last = -1;
        for (int i = 0; i < nfaces; ++i) {
            const Face& f = faces[i];
            if (f.n != last && f.n >= 0) {
                glNormal3f(normals[f.n].x, normals[f.n].y, normals[f.n].z);
                last = f.n;
            }
            for (int v : {f.a, f.b, f.c})
                glVertex3f(vertices[v].x, vertices[v].y, vertices[v].z);
        }
    }
    glEnd();
}

bool kgcMesh::operator==(const kgcMesh& other) const
{
    if (this == &other)
        return true;
    if (nverts != other.nverts || nnorms != other.nnorms || nfaces != other.nfaces)
        return false;
    auto same = [](const Point& p, const Point& q) { return p.x == q.x && p.y == q.y && p.z == q.z; };
    for (int i = 0; i < nverts; ++i)
        if (!same(vertices[i], other.vertices[i]))
            return false;
    for (int i = 0; i < nnorms; ++i)
        if (!same(normals[i], other.normals[i]))
            return false;
    for (int i = 0; i < nfaces; ++i) {
        const Face& f = faces[i];
        const Face& g = other.faces[i];
        if (f.a != g.a || f.b != g.b || f.c != g.c || f.n != g.n)
            return false;
    }
    return true;
}

void kgcMesh::dump() const
{
    std::ostream& out = std::cerr;
    out << "kgcMesh(nverts:" << nverts << ",nnorms:" << nnorms << ",nfaces:" << nfaces << ")"
        << std::endl;
    auto points = [](std::ostream& out, const char* title, const std::vector<Point>& array,
                     int count) {
        out << title << std::endl;
        for (int i = 0; i < count; ++i)
            out << "\t" << i << "\t:(" << array[i].x << "," << array[i].y << "," << array[i].z
                << ")" << std::endl;
    };
    points(out, "Vertices:", vertices, nverts);
    points(out, "Normals:", normals, nnorms);
    out << "Faces:" << std::endl;
    for (int i = 0; i < nfaces; ++i)
        out << "\t" << i << "\t:[" << faces[i].a << "," << faces[i].b << "," << faces[i].c
            << "], n: " << faces[i].n << std::endl;
    out << std::endl;
}
