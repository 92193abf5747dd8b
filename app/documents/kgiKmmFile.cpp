#include "kgiKmmFile.h"

#include "kgiTextFile.h"
#include "kgiTokenizer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace {

const char* const MAGIC = "KMM1";
// The shortest key line: ten one-digit numbers, their spaces and the end
// of the line.
const size_t MIN_KEY_LINE_BYTES = 20;

// The 4x4 layout of a key: value 4 * row + column in the file's row order.
inline float& at(kgiKmmKey& key, int row, int column)
{
    return key.matrix[4 * row + column];
}
inline float at(const kgiKmmKey& key, int row, int column)
{
    return key.matrix[4 * row + column];
}

// " %f %f %f" of columns 0..columns-1 of rows 0..rows-1.
void putRows(kgiTextFile& out, const kgiKmmKey& key, int rows, int columns)
{
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            out.put(' ').putFloat(at(key, r, c));
}

} // namespace

// ---------------------------------------------------------------- node

kgiKmmKey* kgiKmmNode::getKey(int index)
{
    return const_cast<kgiKmmKey*>(static_cast<const kgiKmmNode*>(this)->getKey(index));
}

const kgiKmmKey* kgiKmmNode::getKey(int index) const
{
    const int count = std::min(keyCount, static_cast<int>(keys.size()));
    if (count <= 0)
        return nullptr;
    return &keys[static_cast<size_t>(std::clamp(index, 0, count - 1))];
}

// ---------------------------------------------------------------- file

kgiKmmFile::kgiKmmFile() = default;

kgiKmmFile::~kgiKmmFile()
{
    release();
}

void kgiKmmFile::clear()
{
    release();
    status = NO_ERROR;
    frameCount = 0;
    keyFrames.clear();
}

void kgiKmmFile::release()
{
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    nodes.clear();
    path.clear();
}

bool kgiKmmFile::open(const char* filePath)
{
    if (!filePath)
        return fail(NULL_PATH);
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    file = std::fopen(filePath, "r");
    if (!file)
        return fail(CANNOT_OPEN);
    path = filePath;
    return true;
}

bool kgiKmmFile::close()
{
    if (!file)
        return fail(NOT_OPEN);
    std::fclose(file);
    file = nullptr;
    path.clear();
    return true;
}

bool kgiKmmFile::readHeader()
{
    kgiTokenizer tokens;
    const int n = tokens.readLine(file);
    if (n < 2 || !tokens.tokenIs(0, MAGIC))
        return fail(BAD_HEADER);
    const int count = tokens.tokenInt(1);
    if (count != n - 2)
        return fail(BAD_NODE_COUNT);
    nodes.clear();
    nodes.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        nodes[static_cast<size_t>(i)].depth = tokens.tokenInt(2 + i);
    return true;
}

bool kgiKmmFile::readNodeBlock(kgiKmmNode& node, kgiTokenizer& tokens)
{
    const char* name = tokens.getToken(0);
    if (std::strlen(name) > static_cast<size_t>(MAX_NAME_LENGTH))
        return fail(NAME_TOO_LONG);
    node.name = name;
    node.type = typeFromLetter(tokens.getToken(1)[0]);

    int n = tokens.readRawLine(file);
    if (n == 0)
        return fail(EMPTY_COUNT_LINE);
    const int count = tokens.tokenInt(0);
    if (count < 0 || count > MAX_FRAMES)
        return fail(BAD_KEY_COUNT);
    if (n == 4) {
        for (int c = 0; c < 3; ++c)
            node.translation[c] = tokens.tokenFloat(1 + c);
        node.hasTranslation = 1;
    }
    // Keys are added as their lines come, so a count line cannot make the
    // reader allocate more than the file holds: room is made for as many of
    // the announced keys as the rest of the file can hold (a key line is
    // ten numbers at least, with their separators).
    node.keys.clear();
    node.keyCount = 0;
    struct stat info;
    const long offset = std::ftell(file);
    if (offset >= 0 && fstat(fileno(file), &info) == 0 && info.st_size > offset)
        node.keys.reserve(std::min(static_cast<size_t>(count), static_cast<size_t>(info.st_size - offset) / MIN_KEY_LINE_BYTES));
    while ((n = tokens.readRawLine(file)) > 0) {
        if (static_cast<int>(node.keys.size()) >= count)
            return fail(EXTRA_KEY_LINE);
        kgiKmmKey key;
        key.frame = tokens.tokenInt(0);
        switch (n) {
        case 10: // rows 0-2, columns 0-2; the count line's translation
            if (!node.hasTranslation)
                return fail(NO_TRANSLATION);
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    at(key, r, c) = tokens.tokenFloat(1 + 3 * r + c);
            for (int c = 0; c < 3; ++c)
                at(key, 3, c) = node.translation[c];
            at(key, 3, 3) = 1.0f;
            break;
        case 13: // rows 0-3, columns 0-2
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 3; ++c)
                    at(key, r, c) = tokens.tokenFloat(1 + 3 * r + c);
            at(key, 3, 3) = 1.0f;
            break;
        case 17:
            for (int i = 0; i < 16; ++i)
                key.matrix[i] = tokens.tokenFloat(1 + i);
            break;
        default:
            return fail(BAD_KEY_LINE);
        }
        node.keys.push_back(key);
    }
    // Every writer puts out as many key lines as it announces; fewer mean a
    // cut-off file, whose missing transforms must not load as zeros.
    if (static_cast<int>(node.keys.size()) < count)
        return fail(MISSING_KEY_LINE);
    node.keyCount = count;
    return true;
}

bool kgiKmmFile::readBody()
{
    kgiTokenizer tokens;
    size_t next = 0;
    for (;;) {
        const int n = tokens.readLine(file);
        if (n == 1 && tokens.tokenIs(0, "end"))
            break;
        if (n != 2)
            return fail(BAD_NODE_LINE);
        if (next >= nodes.size())
            return fail(EXTRA_NODE_BLOCK);
        if (!readNodeBlock(nodes[next], tokens))
            return false;
        ++next;
    }
    if (!nodes.empty())
        frameCount = nodes[0].keyCount;

    keyFrames.clear();
    if (tokens.readLine(file) == 0)
        return true;
    do {
        if (static_cast<int>(keyFrames.size()) >= MAX_KEY_FRAMES)
            return fail(KEY_FRAME_LIST_TOO_LONG);
        const int frame = tokens.tokenInt(0);
        if (frame < 0 || frame >= MAX_FRAMES)
            return fail(KEY_FRAME_NUMBER_RANGE);
        keyFrames.push_back(static_cast<uint16_t>(frame));
    } while (tokens.readRawLine(file) > 0);
    return true;
}

bool kgiKmmFile::create(int nodeCount, int newFrameCount, int keyCount)
{
    if (keyCount < 0 || keyCount > MAX_KEY_FRAMES)
        return fail(TOO_MANY_KEY_FRAMES);
    if (newFrameCount > MAX_FRAMES)
        return fail(TOO_MANY_FRAMES);
    if (nodeCount < 1)
        return fail(NO_NODES);
    nodes.clear();
    nodes.resize(static_cast<size_t>(nodeCount));
    if (newFrameCount > 0)
        for (kgiKmmNode& node : nodes)
            node.keys.resize(static_cast<size_t>(newFrameCount));
    frameCount = newFrameCount;
    keyFrames.assign(static_cast<size_t>(keyCount), 0);
    return true;
}

kgiKmmNode* kgiKmmFile::getNode(int i)
{
    return i >= 0 && i < getNodeCount() ? &nodes[static_cast<size_t>(i)] : nullptr;
}

const kgiKmmNode* kgiKmmFile::getNode(int i) const
{
    return i >= 0 && i < getNodeCount() ? &nodes[static_cast<size_t>(i)] : nullptr;
}

bool kgiKmmFile::setNodeName(int node, const char* name)
{
    if (!name)
        return fail(NULL_NAME);
    kgiKmmNode* n = getNode(node);
    if (!n)
        return fail(NODE_INDEX_RANGE);
    if (std::strlen(name) > static_cast<size_t>(MAX_NAME_LENGTH))
        return fail(NAME_TOO_LONG);
    n->name = name;
    return true;
}

bool kgiKmmFile::setNodeType(int node, int code)
{
    if (code == 0)
        return fail(NODE_TYPE_ZERO);
    kgiKmmNode* n = getNode(node);
    if (!n)
        return fail(NODE_INDEX_RANGE);
    n->type = code;
    return true;
}

bool kgiKmmFile::setNodeDepth(int node, int depth)
{
    if (depth < 0)
        return fail(NEGATIVE_DEPTH);
    kgiKmmNode* n = getNode(node);
    if (!n)
        return fail(NODE_INDEX_RANGE);
    n->depth = depth;
    return true;
}

bool kgiKmmFile::setKey(int node, int frame, const float* matrix)
{
    kgiKmmNode* n = getNode(node);
    if (!n)
        return fail(NODE_INDEX_RANGE);
    if (!matrix || frame < 0 || frame >= frameCount
        || frame >= static_cast<int>(n->keys.size()))
        return fail(KEY_FRAME_RANGE);
    kgiKmmKey& key = n->keys[static_cast<size_t>(frame)];
    key.frame = frame;
    std::copy(matrix, matrix + 16, key.matrix);
    n->keyCount = std::max(n->keyCount, frame + 1);
    return true;
}

bool kgiKmmFile::setKeyFrame(int index, int frame)
{
    if (frame < 0 || frame >= frameCount)
        return fail(LIST_FRAME_RANGE);
    if (index < 0 || index >= getKeyCount())
        return fail(LIST_INDEX_RANGE);
    keyFrames[static_cast<size_t>(index)] = static_cast<uint16_t>(frame);
    return true;
}

int kgiKmmFile::getKeyFrame(int i) const
{
    return i >= 0 && i < getKeyCount() ? keyFrames[static_cast<size_t>(i)] : -1;
}

bool kgiKmmFile::writeMatrices(const char* target)
{
    kgiTextFile out;
    return writePending(target, false, out) && (out.commit() || fail(CANNOT_WRITE));
}

bool kgiKmmFile::writeCompact(const char* target)
{
    kgiTextFile out;
    return writePending(target, true, out) && (out.commit() || fail(CANNOT_WRITE));
}

bool kgiKmmFile::writePending(const char* target, bool compact, kgiTextFile& out)
{
    for (const kgiKmmNode& node : nodes)
        if (!kgiTokenizer::isWholeToken(node.name.c_str(), kgiTokenizer::DEFAULT_DELIMITERS))
            return fail(UNREADABLE_NAME);
    if (!target || !out.create(target))
        return fail(CANNOT_WRITE);

    out.put(MAGIC).put(' ').putInt(getNodeCount());
    for (const kgiKmmNode& node : nodes)
        out.put(' ').putInt(node.depth);
    out.put('\n');

    for (const kgiKmmNode& node : nodes) {
        out.put('\n').put(node.name).put(" : ").put(typeLetter(node.type)).put('\n');
        const int count = std::min(node.keyCount, static_cast<int>(node.keys.size()));
        const bool single = node.type >= 4 && node.type <= 6;
        // A node without keys has nothing to share or repeat: a count of 0
        // and no key line.
        if (count <= 0) {
            out.put("0\n");
        } else if (compact && (single || node.type == 2 || node.type == 3)) {
            // 9-number rows; the translation of key 0 goes on the count line.
            const int written = single ? 1 : count;
            const kgiKmmKey& first = node.keys[0];
            out.putInt(written).put(" :");
            for (int c = 0; c < 3; ++c)
                out.put(' ').putFloat(at(first, 3, c));
            out.put('\n');
            for (int k = 0; k < written; ++k) {
                const kgiKmmKey& key = node.keys[static_cast<size_t>(k)];
                out.putInt(key.frame).put("   ");
                putRows(out, key, 3, 3);
                out.put('\n');
            }
        } else {
            const int written = single ? 1 : count;
            out.putInt(written).put('\n');
            for (int k = 0; k < written; ++k) {
                const kgiKmmKey& key = node.keys[static_cast<size_t>(k)];
                out.putInt(key.frame).put("   ");
                putRows(out, key, 4, compact ? 3 : 4);
                out.put('\n');
            }
        }
        out.put('\n');
    }

    out.put("end\n\n");
    for (uint16_t frame : keyFrames)
        out.putInt(frame).put('\n');
    if (!out.finish())
        return fail(CANNOT_WRITE);
    return true;
}

kgiKmmDepthList kgiKmmFile::makeDepthList() const
{
    kgiKmmDepthList list;
    list.depths.reserve(nodes.size());
    for (const kgiKmmNode& node : nodes)
        list.depths.push_back(node.depth);
    return list;
}

bool kgiKmmFile::compareDepths(const kgiKmmDepthList* list)
{
    if (!list)
        return fail(NO_DEPTH_LIST);
    if (list->depths.size() != nodes.size())
        return fail(DEPTH_COUNT_DIFFERS);
    for (size_t i = 0; i < nodes.size(); ++i)
        if (list->depths[i] != nodes[i].depth)
            return fail(DEPTH_DIFFERS);
    return true;
}

int kgiKmmFile::typeFromLetter(char letter)
{
    static const char LETTERS[] = "FSRNGHL";
    for (int i = 0; LETTERS[i]; ++i)
        if (LETTERS[i] == letter)
            return i + 1;
    return 0;
}

char kgiKmmFile::typeLetter(int code)
{
    static const char LETTERS[] = "FSRNGHL";
    return code >= 1 && code <= 7 ? LETTERS[code - 1] : '-';
}
