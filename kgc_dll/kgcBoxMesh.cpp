#include "kgcBoxMesh.h"

kgcBoxMesh::kgcBoxMesh(float s, int n) : size(s), subDiv(1)
{
    if (n < 1)
        return;
    subDiv = n;
    compute();
}

kgcBoxMesh::~kgcBoxMesh() = default;

void kgcBoxMesh::setSize(float s)
{
    if (s > 0)
        size = s;
}

void kgcBoxMesh::setSubDiv(int n)
{
    if (n > 0)
        subDiv = n;
}

int kgcBoxMesh::getOffset(int i, int j, int k) const
{
    const int n = subDiv;
    const bool endLayer = i == 0 || i == n;
    if (!endLayer && j > 0 && j < n && k > 0 && k < n)
        return -1;
    // Vertices run layer by layer in i: an end layer holds all (n+1)^2
    // points, a middle layer only its rim of 4n.
    const int layer = i == 0 ? 0 : (n + 1) * (n + 1) + (i - 1) * 4 * n;
    int row = 0;
    if (j > 0)
        row = endLayer ? j * (n + 1) : (n + 1) + 2 * (j - 1);
    int column = 0;
    if (k > 0)
        column = (endLayer || j == 0 || j == n) ? k : 1;
    return layer + row + column;
}

bool kgcBoxMesh::compute()
{
    if (!(size > 0) || subDiv < 1)
        return false;
    const int n = subDiv;
    const long long faceCount = 12LL * n * n;
    if (faceCount > MAX_COUNT)
        return false;
    const float half = size * 0.5f;
    const float step = size / n;
    if (!begin(6 * n * n + 2, 6, static_cast<int>(faceCount)))
        return false;
    const float normalsXYZ[6][3] = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {-1, 0, 0}};
    for (const auto& v : normalsXYZ)
        addNormal(v[0], v[1], v[2]);
    for (int i = 0; i <= n; ++i) {
        const float x = i * step - half;
        for (int j = 0; j <= n; ++j) {
            const float y = j * step - half;
            addVertex(x, y, -half);
            if (i == 0 || i == n || j == 0 || j == n)
                for (int k = 1; k < n; ++k)
                    addVertex(x, y, k * step - half);
            addVertex(x, y, half);
        }
    }
    // One side, outer index u, inner index v. The cell's second corner b
    // steps the outer index (or the inner one on the x sides); `flip` turns
    // the two triangles so that they face outward.
    auto side = [this, n](int normal, bool flip, bool innerFirst, auto corner) {
        for (int u = 0; u < n; ++u)
            for (int v = 0; v < n; ++v) {
                const int a = corner(u, v), c = corner(u + 1, v + 1);
                const int b = innerFirst ? corner(u, v + 1) : corner(u + 1, v);
                const int d = innerFirst ? corner(u + 1, v) : corner(u, v + 1);
                if (flip) {
                    addFace(a, c, b, normal);
                    addFace(a, d, c, normal);
                } else {
                    addFace(a, b, c, normal);
                    addFace(a, c, d, normal);
                }
            }
    };
    side(0, false, false, [&](int i, int j) { return getOffset(i, j, n); });
    side(1, true, false, [&](int i, int j) { return getOffset(i, j, 0); });
    side(5, false, true, [&](int j, int k) { return getOffset(0, j, k); });
    side(4, true, true, [&](int j, int k) { return getOffset(n, j, k); });
    side(2, true, false, [&](int i, int k) { return getOffset(i, n, k); });
    side(3, false, false, [&](int i, int k) { return getOffset(i, 0, k); });
    return end();
}
