#include "kgiMotionFlip.h"

#include <cmath>

namespace {

float squaredLength(float x, float y, float z)
{
    return x * x + y * y + z * z;
}

float squaredTranslation(const kmlMatrix4& m)
{
    return squaredLength(m[12], m[13], m[14]);
}

float squaredDistance(const kmlMatrix4& a, const kmlMatrix4& b)
{
    return squaredLength(a[12] - b[12], a[13] - b[13], a[14] - b[14]);
}

} // namespace

kgiMotionFlip::kgiMotionFlip() : jointCount(0), errorCode(NO_ERROR), errorNode(-1), size{0, 0, 0} {}

bool kgiMotionFlip::createMotion(int joints, int frameCount, int keyCount)
{
    motion.clear();
    return motion.create(joints, frameCount, keyCount);
}

int kgiMotionFlip::getPartner(int i) const
{
    return i >= 0 && i < static_cast<int>(tree.size()) ? tree[size_t(i)].partnerIndex : -1;
}

bool kgiMotionFlip::similar(float a, float b)
{
    if (a < 0.0005f && b < 0.0005f)
        return true;
    return (90.0f * b <= 100.0f * a && 100.0f * a <= 110.0f * b) ||
           (110.0f * b <= 100.0f * a && 100.0f * a <= 90.0f * b);
}

kmlMatrix4 kgiMotionFlip::mirrorWorld(const kmlMatrix4& m)
{
    kmlMatrix4 r(m);
    r[0] = -r[0];
    r[4] = -r[4];
    r[9] = -r[9];
    r[10] = -r[10];
    return r;
}

kmlMatrix4 kgiMotionFlip::affineInverse(const kmlMatrix4& m)
{
    // Rows of [A | I | t]; elimination turns them into [I | A^-1 | A^-1 t].
    double a[3][7];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            a[r][c] = m(r, c);
            a[r][3 + c] = r == c ? 1.0 : 0.0;
        }
        a[r][6] = m(r, 3);
    }
    for (int k = 0; k < 3; ++k) {
        double pivot = a[k][k];
        if (std::fabs(pivot) < 1e-6)
            pivot = pivot < 0.0 ? -1e-6 : 1e-6;
        for (int c = 0; c < 7; ++c)
            a[k][c] /= pivot;
        for (int r = 0; r < 3; ++r) {
            if (r == k)
                continue;
            const double f = a[r][k];
            for (int c = 0; c < 7; ++c)
                a[r][c] -= f * a[k][c];
        }
    }
    kmlMatrix4 out;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            out(r, c) = static_cast<float>(a[r][3 + c]);
        out(r, 3) = static_cast<float>(-a[r][6]);
        out(3, r) = 0.0f;
    }
    out(3, 3) = 1.0f;
    return out;
}

bool kgiMotionFlip::setup(int count, const int* depthList, const int* typeList, const kgiKmmKey* restKeys,
                          float sizeX, float sizeY, float sizeZ)
{
    release();
    errorCode = NO_ERROR;
    errorNode = -1;
    if (count < 1 || !depthList || !typeList || !restKeys)
        return fail(NO_PARTNER, -1);
    jointCount = count;
    size[0] = sizeX;
    size[1] = sizeY;
    size[2] = sizeZ;
    depths.assign(depthList, depthList + count);
    types.assign(typeList, typeList + count);
    tree.assign(size_t(count), kgiFlipTreeNode());
    for (int i = 0; i < count; ++i) {
        tree[size_t(i)].index = i;
        tree[size_t(i)].rest = kmlMatrix4(restKeys[i].matrix);
    }

    // A joint one deeper than the joint before it is that joint's first
    // child; its next sibling is the next joint of the same depth before
    // the order climbs above it.
    for (int i = 1; i < count; ++i)
        if (depths[size_t(i)] == depths[size_t(i - 1)] + 1) {
            tree[size_t(i - 1)].firstChild = i;
            tree[size_t(i)].parent = i - 1;
        }
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count && depths[size_t(j)] >= depths[size_t(i)]; ++j)
            if (depths[size_t(j)] == depths[size_t(i)]) {
                tree[size_t(i)].nextSibling = j;
                tree[size_t(j)].parent = tree[size_t(i)].parent;
                break;
            }

    // Joint 0 is the only joint without a parent: a joint whose depth jumps
    // by more than one, or a second joint at the top, would be mirrored as
    // a root of its own.
    for (int i = 1; i < count; ++i)
        if (tree[size_t(i)].parent < 0)
            return fail(NO_PARTNER, i);

    // Parents come before their children in depth-first order.
    for (kgiFlipTreeNode& n : tree)
        n.restWorld = n.parent < 0 ? n.rest : tree[size_t(n.parent)].restWorld * n.rest;

    for (int i = 0; i < count; ++i)
        for (int s = tree[size_t(i)].nextSibling; s >= 0; s = tree[size_t(s)].nextSibling)
            if (match(i, s))
                break;

    const float threshold = std::sqrt(squaredLength(size[0], size[1], size[2])) / 100.0f;
    const float rootX = tree[0].restWorld[12];
    for (int i = 1; i < count; ++i) {
        const kgiFlipTreeNode& n = tree[size_t(i)];
        if (std::fabs(n.restWorld[12] - rootX) > threshold && n.partnerIndex < 0 && !n.candidate &&
            types[size_t(i)] != PASSED_OVER)
            return fail(NO_PARTNER, i);
    }
    return true;
}

bool kgiMotionFlip::matchChildren(int a, int b)
{
    const int ca = tree[size_t(a)].firstChild;
    const int cb = tree[size_t(b)].firstChild;
    if (ca < 0 && cb < 0)
        return true;
    if (ca < 0 || cb < 0)
        return false;
    for (int c = cb; c >= 0; c = tree[size_t(c)].nextSibling)
        if (match(ca, c))
            return true;
    return types[size_t(ca)] == PASSED_OVER;
}

bool kgiMotionFlip::matchSiblings(int a, int b)
{
    const int na = tree[size_t(a)].nextSibling;
    const int nb = tree[size_t(b)].nextSibling;
    if (na >= 0 && nb >= 0) {
        if (match(na, nb))
            return true;
        // Any other child of b's parent; never a joint with itself, which
        // would make it its own twin.
        const int p = tree[size_t(b)].parent;
        for (int c = p >= 0 ? tree[size_t(p)].firstChild : -1; c >= 0; c = tree[size_t(c)].nextSibling)
            if (c != nb && c != na && match(na, c))
                return true;
        return types[size_t(na)] == PASSED_OVER;
    }
    return (na < 0 && nb < 0) || na == b;
}

bool kgiMotionFlip::match(int a, int b)
{
    kgiFlipTreeNode& ja = tree[size_t(a)];
    kgiFlipTreeNode& jb = tree[size_t(b)];
    const int type = types[size_t(a)];
    if (ja.partnerIndex >= 0 || jb.partnerIndex >= 0 || type != types[size_t(b)] || type == ROOT)
        return false;
    if (!similar(squaredTranslation(ja.rest), squaredTranslation(jb.rest)) ||
        !similar(squaredDistance(ja.restWorld, tree[0].restWorld),
                 squaredDistance(jb.restWorld, tree[0].restWorld)))
        return false;
    ja.candidate = jb.candidate = true;
    if (!matchChildren(a, b) || !matchSiblings(a, b))
        return false;
    if (type != PASSED_OVER && type != MESH) {
        ja.partnerIndex = b;
        jb.partnerIndex = a;
    }
    return true;
}

bool kgiMotionFlip::compute(int kind, int startJoint)
{
    if (kind == FROM_JOINT && getPartner(startJoint) < 0)
        return fail(BAD_START_JOINT, startJoint);
    if (tree.empty() || motion.getNodeCount() != jointCount)
        return fail(BAD_MOTION, -1);
    const int frames = motion.getFrameCount();
    for (int i = 0; i < jointCount; ++i)
        if (static_cast<int>(motion.getNode(i)->keys.size()) < frames)
            return fail(BAD_MOTION, i);
    for (int f = 0; f < frames; ++f)
        mirrorFrame(kind, startJoint, f);
    return true;
}

void kgiMotionFlip::mirrorFrame(int kind, int startJoint, int f)
{
    auto key = [this, f](int i) -> kgiKmmKey& { return motion.getNode(i)->keys[size_t(f)]; };

    for (int i = 0; i < jointCount; ++i) {
        kgiFlipTreeNode& n = tree[size_t(i)];
        const kmlMatrix4 local(key(i).matrix);
        n.world = n.parent < 0 ? local : tree[size_t(n.parent)].world * local;
        n.mirroredWorld = n.world;
        n.mirrored = local;
    }

    // Parents before children, so each parent's mirrored world is ready.
    for (int i = 0; i < jointCount; ++i) {
        const int type = types[size_t(i)];
        if (type == MESH || type == PASSED_OVER)
            continue;
        kgiFlipTreeNode& n = tree[size_t(i)];
        const int source = n.partnerIndex >= 0 ? n.partnerIndex : i;
        n.mirroredWorld = mirrorWorld(tree[size_t(source)].world);
        if (n.parent >= 0)
            n.mirrored = affineInverse(tree[size_t(n.parent)].mirroredWorld) * n.mirroredWorld;
        else
            n.mirrored = (kind == KEY_RANGE || kind == WORLD_POSE) ? n.mirroredWorld : n.world;
        if (type == POSITION_ONLY) {
            // The source's key is still unwritten: write-back comes after.
            const float* t = key(source).matrix;
            n.mirrored[12] = t[12];
            n.mirrored[13] = t[13];
            n.mirrored[14] = t[14];
        }
    }

    auto writeBack = [&](int i) {
        float* out = key(i).matrix;
        const kmlMatrix4& m = tree[size_t(i)].mirrored;
        if (types[size_t(i)] == POSITION_ONLY) {
            out[12] = m[12];
            out[13] = m[13];
            out[14] = m[14];
            return;
        }
        // Rotation only: the bone keeps its own offset.
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 3; ++r)
                out[4 * c + r] = m(r, c);
        if (tree[size_t(i)].parent < 0 && kind == KEY_RANGE)
            out[12] = -out[12];
    };

    if (kind != FROM_JOINT) {
        for (int i = 0; i < jointCount; ++i)
            writeBack(i);
        return;
    }
    const int partner = tree[size_t(startJoint)].partnerIndex;
    const int startDepth = depths[size_t(startJoint)];
    writeBack(partner);
    for (int i = partner + 1; i < jointCount && depths[size_t(i)] > startDepth; ++i)
        writeBack(i);
}

void kgiMotionFlip::release()
{
    tree.clear();
    depths.clear();
    types.clear();
    jointCount = 0;
}
