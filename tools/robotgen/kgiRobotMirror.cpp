#include "kgiRobotMirror.h"

#include <cmath>

namespace {

float squaredLength(float x, float y, float z)
{
    return x * x + y * y + z * z;
}

float squaredTranslation(const kmlMatrix4& m)
{
    return squaredLength(m(0, 3), m(1, 3), m(2, 3));
}

float squaredDistance(const kmlMatrix4& a, const kmlMatrix4& b)
{
    return squaredLength(a(0, 3) - b(0, 3), a(1, 3) - b(1, 3), a(2, 3) - b(2, 3));
}

} // namespace

bool kgiRobotMirrorPairs::similar(float a, float b)
{
    if (a < 0.0005f && b < 0.0005f)
        return true;
    return (90.0f * b <= 100.0f * a && 100.0f * a <= 110.0f * b) ||
           (110.0f * b <= 100.0f * a && 100.0f * a <= 90.0f * b);
}

bool kgiRobotMirrorPairs::setup(const std::vector<Joint>& in, const float size[3])
{
    joints = in;
    const size_t n = joints.size();
    firstChild.assign(n, -1);
    nextSibling.assign(n, -1);
    parent.assign(n, -1);
    partners.assign(n, -1);
    candidate.assign(n, 0);
    world.assign(n, kmlMatrix4());
    failed = -1;
    if (n == 0)
        return true;

    // Links from the depth sequence: a joint one deeper than the one before
    // is its first child; the next sibling is the next joint of the same
    // depth before the sequence climbs above it.
    for (size_t i = 1; i < n; ++i)
        if (joints[i].depth == joints[i - 1].depth + 1) {
            firstChild[i - 1] = int(i);
            parent[i] = int(i - 1);
        }
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n && joints[j].depth >= joints[i].depth; ++j)
            if (joints[j].depth == joints[i].depth) {
                nextSibling[i] = int(j);
                parent[j] = parent[i];
                break;
            }

    for (size_t i = 0; i < n; ++i) {
        world[i] = parent[i] < 0 ? joints[i].rest : world[size_t(parent[i])];
        if (parent[i] >= 0)
            world[i] *= joints[i].rest;
    }

    for (size_t i = 0; i < n; ++i)
        for (int s = nextSibling[i]; s >= 0; s = nextSibling[size_t(s)])
            if (match(int(i), s))
                break;

    const float threshold = std::sqrt(squaredLength(size[0], size[1], size[2])) / 100.0f;
    for (size_t i = 1; i < n; ++i) {
        float dx = std::fabs(world[i](0, 3) - world[0](0, 3));
        if (dx > threshold && partners[i] < 0 && !candidate[i] && joints[i].type != 6) {
            failed = int(i);
            return false;
        }
    }
    return true;
}

bool kgiRobotMirrorPairs::matchFirstChildren(int a, int b)
{
    const int ca = firstChild[size_t(a)], cb = firstChild[size_t(b)];
    if (ca < 0 && cb < 0)
        return true;
    if (ca < 0 || cb < 0)
        return false;
    for (int c = cb; c >= 0; c = nextSibling[size_t(c)])
        if (match(ca, c))
            return true;
    return joints[size_t(ca)].type == 6;
}

bool kgiRobotMirrorPairs::matchNextSiblings(int a, int b)
{
    const int na = nextSibling[size_t(a)], nb = nextSibling[size_t(b)];
    if (na >= 0 && nb >= 0) {
        if (match(na, nb))
            return true;
        // Any other child of b's parent (never na with itself).
        const int p = parent[size_t(b)];
        for (int c = p >= 0 ? firstChild[size_t(p)] : -1; c >= 0; c = nextSibling[size_t(c)])
            if (c != nb && c != na && match(na, c))
                return true;
        return joints[size_t(na)].type == 6;
    }
    return (na < 0 && nb < 0) || na == b;
}

bool kgiRobotMirrorPairs::match(int a, int b)
{
    const Joint& ja = joints[size_t(a)];
    const Joint& jb = joints[size_t(b)];
    if (partners[size_t(a)] >= 0 || partners[size_t(b)] >= 0 || ja.type != jb.type || ja.type == 1)
        return false;
    if (!similar(squaredTranslation(ja.rest), squaredTranslation(jb.rest)) ||
        !similar(squaredDistance(world[size_t(a)], world[0]), squaredDistance(world[size_t(b)], world[0])))
        return false;
    candidate[size_t(a)] = candidate[size_t(b)] = 1;
    if (!matchFirstChildren(a, b) || !matchNextSiblings(a, b))
        return false;
    if (ja.type != 5 && ja.type != 6) {
        partners[size_t(a)] = b;
        partners[size_t(b)] = a;
    }
    return true;
}
