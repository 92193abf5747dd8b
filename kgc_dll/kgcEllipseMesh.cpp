#include "kgcEllipseMesh.h"

kgcEllipseMesh::kgcEllipseMesh(float lx, float ly, float lz, int st, int sl)
    : lengthX(lx), lengthY(ly), lengthZ(lz)
{
    setStack(st);
    setSlice(sl);
    compute();
}

kgcEllipseMesh::~kgcEllipseMesh() = default;

void kgcEllipseMesh::setStack(int n)
{
    if (n < 1 || n > MAX_COUNT || n == stacks)
        return;
    stacks = n;
    stackCos.resize(static_cast<size_t>(n - 1));
    stackSin.resize(static_cast<size_t>(n - 1));
    // Angles accumulated in float so that every build yields the same points.
    float b = -90.0f + 180.0f / n;
    for (int i = 0; i < n - 1; ++i) {
        stackCos[i] = kml::Cosd(b);
        stackSin[i] = kml::Sind(b);
        b += 180.0f / n;
    }
}

void kgcEllipseMesh::setSlice(int n)
{
    if (n < 0 || n > MAX_COUNT || n == slices)
        return;
    slices = n;
    sliceCos.resize(static_cast<size_t>(n));
    sliceSin.resize(static_cast<size_t>(n));
    float a = 0;
    for (int j = 0; j < n; ++j) {
        sliceCos[j] = kml::Cosd(a);
        sliceSin[j] = -kml::Sind(a);
        a += 360.0f / n;
    }
}

bool kgcEllipseMesh::compute()
{
    const int S = slices, rings = stacks - 1;
    if (stacks < 2 || S < 3 || !(lengthX > 0) || !(lengthY > 0) || !(lengthZ > 0) ||
        static_cast<int>(sliceCos.size()) != S || static_cast<int>(stackCos.size()) != rings)
        return false;
    if (static_cast<long long>(2) * S * rings > MAX_COUNT)
        return false;
    const int N = rings * S + 2;
    if (!begin(N, N, 2 * S * rings))
        return false;
    addVertex(0, -lengthY, 0);
    addNormal(0, -1, 0);
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < S; ++j) {
            kmlVec3 p(lengthX * sliceCos[j] * stackCos[i], lengthY * stackSin[i],
                      lengthZ * sliceSin[j] * stackCos[i]);
            addVertex(p[0], p[1], p[2]);
            p.unit();
            addNormal(p[0], p[1], p[2]);
        }
    addVertex(0, lengthY, 0);
    addNormal(0, 1, 0);

    // Normals are per vertex, so faces carry none.
    for (int j = 0; j < S; ++j) {
        const int a = j + 1, b = (j + 1) % S + 1;
        addFace(0, b, a, -1);
        addFace((rings - 1) * S + a, (rings - 1) * S + b, N - 1, -1);
    }
    for (int i = 0; i + 1 < rings; ++i)
        for (int j = 0; j < S; ++j) {
            const int a = i * S + j + 1, b = i * S + (j + 1) % S + 1;
            addFace(a, b, b + S, -1);
            addFace(a, b + S, a + S, -1);
        }
    return end();
}
