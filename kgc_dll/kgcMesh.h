#ifndef KGCMESH_H
#define KGCMESH_H
// Indexed triangle mesh: fixed-size arrays of vertices, normals and faces,
// filled once through begin / addVertex / addNormal / addFace / end, then
// drawn in immediate mode, hit-tested with a ray, compared and dumped.
//
// Normals bind by count: when the mesh holds as many normals as vertices
// they are per vertex (normal i belongs to vertex i) and a face's n is not
// used; otherwise a face's n names its one flat normal, and n = -1 means the
// face has none stored (drawing sends none, box tests compute it).

#include <vector>

#include "kmlMatrix4.h"
#include "kmlVec3.h"
#include "kmlVec4.h"

class kgcMesh
{
public:
    struct Point { float x, y, z; };
    // Vertex indices a, b, c (counter-clockwise seen from outside) and the
    // normal index n, or -1.
    struct Face { int a, b, c, n; };

    // Largest count begin accepts for any one array. Model parts and the
    // generated shapes stay far below; a count beyond it comes from a corrupt
    // file or an absurd parameter and must not turn into a huge allocation.
    static const int MAX_COUNT = 1 << 24;

    kgcMesh();
    // The copy is complete or incomplete as the source was, and not building.
    kgcMesh(const kgcMesh& other);
    // Takes the source's arrays and fill counters; the target stops building.
    kgcMesh& operator=(const kgcMesh& other);
    virtual ~kgcMesh();

    // Starts a fill of the given counts, discarding any fill in progress.
    // An array whose count is unchanged is reused with its old contents.
    // A negative count or one above MAX_COUNT is refused: the mesh keeps its
    // arrays and counts, stops building, and false is returned.
    bool begin(int nverts, int nnorms, int nfaces);
    // Each appends one element; false (and nothing stored) when not building
    // or when the array is already full.
    bool addVertex(float x, float y, float z);
    bool addNormal(float x, float y, float z);
    // Also refused when a, b or c is not a vertex index (0..nverts-1) or n
    // is neither -1 nor a normal index: give the counts to begin first.
    bool addFace(int a, int b, int c, int n);
    // Ends the fill; true only when a fill was in progress and every array
    // was filled completely. An incomplete mesh keeps what was added.
    bool end();

    // Appends one hit (x, y, z, 1) per face that the ray meets in front of
    // its origin, in face order (not sorted by distance). The vector is not
    // cleared; the result says whether this call added a hit.
    virtual bool intersect(const kmlVec3& origin, const kmlVec3& direction,
                           std::vector<kmlVec4>& hits) const;
    // Mesh-mesh collision is not supported: always false.
    virtual bool collide(kgcMesh* other) const;
    // Not supported: leaves both meshes as they are.
    virtual void transform(const kmlMatrix4& m, kgcMesh& out) const;
    // Draws every face inside one glBegin(GL_TRIANGLES)/glEnd; sets normals
    // and vertices only, no other GL state.
    virtual void render() const;

    // Same counts and the same vertices, normals and faces, exactly; fill
    // state is not compared.
    bool operator==(const kgcMesh& other) const;
    bool operator!=(const kgcMesh& other) const { return !(*this == other); }

    // Writes the counts and every element to the standard error stream.
    void dump() const;

    int getNumVertices() const { return nverts; }
    int getNumNormals() const { return nnorms; }
    int getNumFaces() const { return nfaces; }
    bool isBuilding() const { return building; }
    // Per-vertex normals: as many normals as vertices.
    bool hasVertexNormals() const { return nnorms == nverts; }
    // The arrays; indices are not checked (0..count-1).
    const Point& getVertex(int i) const { return vertices[i]; }
    const Point& getNormal(int i) const { return normals[i]; }
    const Face& getFace(int i) const { return faces[i]; }
    kmlVec3 vertexAt(int i) const { return kmlVec3(vertices[i].x, vertices[i].y, vertices[i].z); }
    kmlVec3 normalAt(int i) const { return kmlVec3(normals[i].x, normals[i].y, normals[i].z); }

protected:
    std::vector<Point> vertices;
    std::vector<Point> normals;
    std::vector<Face> faces;
    int nfaces = 0;
    int nverts = 0;
    int nnorms = 0;
    int nextFace = 0;
    int nextVertex = 0;
    int nextNormal = 0;
    bool building = false;
};

// Ray against triangle P, Q, R (one-sided: the triangle must run
// counter-clockwise seen from the origin). Edges count as hits. Only hits at
// or in front of the origin (t >= 0, t in units of the direction's length)
// are reported; the hit point is written only on success.
bool RayTriIntersec(const kmlVec3& origin, const kmlVec3& direction, const kmlVec3& P,
                    const kmlVec3& Q, const kmlVec3& R, kmlVec3& hit);

#endif
