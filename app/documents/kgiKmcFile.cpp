#include "kgiKmcFile.h"

#include "kgiKmmFile.h"
#include "kgiTextFile.h"
#include "kgiTokenizer.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const MAGIC = "KMC1";

// Tokens of one channel on a key line: "{(in x, in y), value, (out x, out y)}".
const int TOKENS_PER_CHANNEL = 5;

const kgiKmcKey UNSET_KEY;

} // namespace

kgiKmcFile::~kgiKmcFile()
{
    close();
    release();
}

const char* kgiKmcFile::statusMessage(int code)
{
    switch (code) {
    case NO_ERROR: return "No error";
    case INVALID_FILE_NAME: return "Invalid file name";
    case INVALID_HEADER: return "Invalid KMC header";
    case INVALID_NODE_COUNT: return "Invalid node count";
    case INVALID_KEY_COUNT: return "Invalid key count";
    case BAD_NODE_LINE: return "Invalid KMC file format 1";
    case BAD_KEY_LINE: return "Invalid KMC file format 2";
    case NO_KEYS: return "No key information";
    case KEY_MISMATCH: return "Key information mismatch";
    case NO_NODES: return "No node information";
    case TOO_MANY_NODES: return "Too many nodes";
    case EXTRA_NODE_BLOCK: return "More node blocks than nodes";
    case EXTRA_KEY_LINE: return "More key lines than keys";
    case NAME_TOO_LONG: return "Node name too long";
    case UNREADABLE_NAME: return "Node name cannot be read back";
    default: return "Unknown error";
    }
}

int kgiKmcFile::channelCount(int type)
{
    switch (type) {
    case 1: return 6; // F: translation and rotation
    case 2: return 3; // S: rotation
    case 3: return 1; // R: one rotation axis
    case 7: return 1; // L
    default: return 0;
    }
}

bool kgiKmcFile::read(const char* path)
{
    if (!path)
        return fail(INVALID_FILE_NAME);
    close();
    file = std::fopen(path, "r");
    if (!file)
        return fail(INVALID_FILE_NAME);
    kgiTokenizer tokens(kgiTokenizer::CURVE_DELIMITERS);
    if (!readHeader(tokens))
        return false;
    if (!readBody(tokens)) {
        release();
        return false;
    }
    return true;
}

bool kgiKmcFile::readHeader(kgiTokenizer& tokens)
{
    const int n = tokens.readLine(file);
    if (n < 3 || !tokens.tokenIs(0, MAGIC))
        return fail(INVALID_HEADER);
    const int nodeCount = tokens.tokenInt(1);
    const int keyCount = tokens.tokenInt(2);
    if (keyCount != n - 3)
        return fail(INVALID_KEY_COUNT);
    if (nodeCount > MAX_NODES)
        return fail(TOO_MANY_NODES);
    if (!create(nodeCount, keyCount))
        return false;
    for (int i = 0; i < keyCount; ++i)
        keyFrames[static_cast<size_t>(i)] = tokens.tokenInt(3 + i);
    return true;
}

bool kgiKmcFile::readBody(kgiTokenizer& tokens)
{
    size_t next = 0;
    for (;;) {
        int n = tokens.readLine(file);
        if (n == 1 && tokens.tokenIs(0, "end"))
            return true;
        if (n != 2)
            return fail(BAD_NODE_LINE);
        if (next >= nodes.size())
            return fail(EXTRA_NODE_BLOCK);
        if (std::strlen(tokens.getToken(0)) > static_cast<size_t>(MAX_NAME_LENGTH))
            return fail(NAME_TOO_LONG);
        kgiKmcNode& node = nodes[next++];
        node.name = tokens.getToken(0);
        node.type = kgiKmmFile::typeFromLetter(tokens.getToken(1)[0]);
        const int channels = channelCount(node.type);
        node.keys.clear();
        // Records are added line by line, so the memory taken stays in
        // proportion to the file, whatever its header claims.
        int key = 0;
        while ((n = tokens.readRawLine(file)) > 0) {
            if (key >= node.keyCount)
                return fail(EXTRA_KEY_LINE);
            if (n != TOKENS_PER_CHANNEL * channels + 1)
                return fail(BAD_KEY_LINE);
            const int frame = tokens.tokenInt(0);
            if (frame != keyFrames[static_cast<size_t>(key)])
                return fail(KEY_MISMATCH);
            for (int ch = 0; ch < channels; ++ch) {
                const int t = 1 + TOKENS_PER_CHANNEL * ch;
                kgiKmcKey record;
                record.frame = frame;
                record.inHandle[0] = tokens.tokenFloat(t);
                record.inHandle[1] = tokens.tokenFloat(t + 1);
                record.value = tokens.tokenFloat(t + 2);
                record.outHandle[0] = tokens.tokenFloat(t + 3);
                record.outHandle[1] = tokens.tokenFloat(t + 4);
                node.keys.push_back(record);
            }
            ++key;
        }
    }
}

bool kgiKmcFile::write(const char* path)
{
    kgiTextFile out;
    return writePending(path, out) && (out.commit() || fail(INVALID_FILE_NAME));
}

bool kgiKmcFile::writePending(const char* path, kgiTextFile& out)
{
    if (!path)
        return fail(INVALID_FILE_NAME);
    if (keyFrames.empty())
        return fail(NO_KEYS);
    if (nodes.empty())
        return fail(NO_NODES);
    for (const kgiKmcNode& node : nodes)
        if (!kgiTokenizer::isWholeToken(node.name.c_str(), kgiTokenizer::CURVE_DELIMITERS))
            return fail(UNREADABLE_NAME);
    if (!out.create(path))
        return fail(INVALID_FILE_NAME);

    out.put(MAGIC).put(' ').putInt(getNodeCount()).put(' ').putInt(getKeyCount());
    for (int frame : keyFrames)
        out.put(' ').putInt(frame);
    out.put("\n\n");

    for (int i = 0; i < getNodeCount(); ++i) {
        const kgiKmcNode& node = nodes[static_cast<size_t>(i)];
        out.put(node.name).put(": ").put(kgiKmmFile::typeLetter(node.type)).put('\n');
        const int channels = channelCount(node.type);
        const int keys = std::min(node.keyCount, getKeyCount());
        for (int key = 0; key < keys; ++key) {
            out.putInt(keyFrames[static_cast<size_t>(key)]).put(':');
            for (int ch = 0; ch < channels; ++ch) {
                const kgiKmcKey* r = findRecord(i, key, ch);
                out.put(" {(").putFloat(r->inHandle[0]).put(',').putFloat(r->inHandle[1]);
                out.put("),").putFloat(r->value);
                out.put(",(").putFloat(r->outHandle[0]).put(',').putFloat(r->outHandle[1]);
                out.put(")}");
            }
            out.put('\n');
        }
        out.put('\n');
    }
    out.put("end\n\n");
    if (!out.finish())
        return fail(INVALID_FILE_NAME);
    return true;
}

void kgiKmcFile::close()
{
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
}

bool kgiKmcFile::create(int nodeCount, int keyCount)
{
    if (nodeCount < 1)
        return fail(INVALID_NODE_COUNT);
    if (keyCount < 1)
        return fail(INVALID_KEY_COUNT);
    nodes.assign(static_cast<size_t>(nodeCount), kgiKmcNode());
    for (kgiKmcNode& node : nodes)
        node.keyCount = keyCount;
    keyFrames.assign(static_cast<size_t>(keyCount), -1);
    return true;
}

void kgiKmcFile::release()
{
    nodes.clear();
    keyFrames.clear();
}

kgiKmcNode* kgiKmcFile::getNode(int i)
{
    return i >= 0 && i < getNodeCount() ? &nodes[static_cast<size_t>(i)] : nullptr;
}

const kgiKmcNode* kgiKmcFile::getNode(int i) const
{
    return i >= 0 && i < getNodeCount() ? &nodes[static_cast<size_t>(i)] : nullptr;
}

int kgiKmcFile::getNodeType(int i) const
{
    const kgiKmcNode* node = getNode(i);
    return node ? node->type : 0;
}

int kgiKmcFile::getKeyFrame(int key) const
{
    return key >= 0 && key < getKeyCount() ? keyFrames[static_cast<size_t>(key)] : -1;
}

const kgiKmcKey* kgiKmcFile::findRecord(int node, int key, int channel) const
{
    const kgiKmcNode* n = getNode(node);
    if (!n || key < 0 || key >= n->keyCount || channel < 0 || channel >= channelCount(n->type))
        return nullptr;
    const size_t index = static_cast<size_t>(key) * channelCount(n->type) + channel;
    return index < n->keys.size() ? &n->keys[index] : &UNSET_KEY;
}

kgiKmcKey* kgiKmcFile::record(int node, int key, int channel)
{
    if (!findRecord(node, key, channel))
        return nullptr;
    kgiKmcNode& n = nodes[static_cast<size_t>(node)];
    const int channels = channelCount(n.type);
    const size_t full = static_cast<size_t>(n.keyCount) * channels;
    if (n.keys.size() < full)
        n.keys.resize(full);
    return &n.keys[static_cast<size_t>(key) * channels + channel];
}

bool kgiKmcFile::setNodeName(int node, const char* name)
{
    kgiKmcNode* n = getNode(node);
    if (!n || !name)
        return false;
    if (std::strlen(name) > static_cast<size_t>(MAX_NAME_LENGTH))
        return fail(NAME_TOO_LONG);
    n->name = name;
    return true;
}

bool kgiKmcFile::setNodeType(int node, int code)
{
    kgiKmcNode* n = getNode(node);
    if (!n)
        return false;
    n->type = code;
    n->keys.clear();
    return true;
}

bool kgiKmcFile::setKeyFrame(int node, int key, int frame)
{
    kgiKmcNode* n = getNode(node);
    if (!n || key < 0 || key >= getKeyCount() || key >= n->keyCount)
        return false;
    int& shared = keyFrames[static_cast<size_t>(key)];
    if (shared != -1 && shared != frame)
        return false;
    shared = frame;
    for (int ch = 0; ch < channelCount(n->type); ++ch)
        record(node, key, ch)->frame = frame;
    return true;
}

bool kgiKmcFile::setValue(int node, int key, int channel, float value)
{
    kgiKmcKey* r = record(node, key, channel);
    if (!r)
        return false;
    r->value = value;
    return true;
}

bool kgiKmcFile::setInHandle(int node, int key, int channel, float x, float y)
{
    kgiKmcKey* r = record(node, key, channel);
    if (!r)
        return false;
    r->inHandle[0] = x;
    r->inHandle[1] = y;
    return true;
}

bool kgiKmcFile::setOutHandle(int node, int key, int channel, float x, float y)
{
    kgiKmcKey* r = record(node, key, channel);
    if (!r)
        return false;
    r->outHandle[0] = x;
    r->outHandle[1] = y;
    return true;
}

bool kgiKmcFile::getValue(int node, int key, int channel, float& value) const
{
    const kgiKmcKey* r = findRecord(node, key, channel);
    if (!r)
        return false;
    value = r->value;
    return true;
}

bool kgiKmcFile::getInHandle(int node, int key, int channel, float& x, float& y) const
{
    const kgiKmcKey* r = findRecord(node, key, channel);
    if (!r)
        return false;
    x = r->inHandle[0];
    y = r->inHandle[1];
    return true;
}

bool kgiKmcFile::getOutHandle(int node, int key, int channel, float& x, float& y) const
{
    const kgiKmcKey* r = findRecord(node, key, channel);
    if (!r)
        return false;
    x = r->outHandle[0];
    y = r->outHandle[1];
    return true;
}
