#pragma once
// The curve file (".kmc", magic "KMC1"): for a list of key frames shared by
// every node, each animated channel of each node has a value and two
// handles at every key. The project reads it for a project with the Euler
// motion controller and writes the same object back on save.
#include <cstdio>
#include <string>
#include <vector>

class kgiTextFile;
class kgiTokenizer;

struct kgiKmcKey {
    int frame = -1; // -1: not set
    float value = 0.0f;
    float inHandle[2] = {};
    float outHandle[2] = {};
};

struct kgiKmcNode {
    std::string name; // at most kgiKmcFile::MAX_NAME_LENGTH bytes
    // Records key-major: key j, channel ch is record j * channels + ch.
    // Only the records read or set so far are held; those past the end are
    // unset (frame -1, zeros), as the getters and the writer report them.
    std::vector<kgiKmcKey> keys;
    int keyCount = 0; // the file's key count
    int type = 0;     // node type code, as in the motion-key file
};

class kgiKmcFile {
public:
    enum Status {
        NO_ERROR = 0,
        INVALID_FILE_NAME = 1,
        INVALID_HEADER = 2,
        INVALID_NODE_COUNT = 3,
        INVALID_KEY_COUNT = 4,
        BAD_NODE_LINE = 5,
        BAD_KEY_LINE = 6,
        NO_KEYS = 7,
        KEY_MISMATCH = 8,
        NO_NODES = 9,
        TOO_MANY_NODES = 10,   // header node count above MAX_NODES
        EXTRA_NODE_BLOCK = 11, // more node blocks than the header counts
        EXTRA_KEY_LINE = 12,   // more key lines than the header's key count
        NAME_TOO_LONG = 13,    // a node name longer than MAX_NAME_LENGTH
        UNREADABLE_NAME = 14   // a node name the reader could not read back
    };

    static const int MAX_NODES = 65536;
    // Node names were fixed 256-byte buffers with their terminating zero.
    static const int MAX_NAME_LENGTH = 255;

    kgiKmcFile() = default;
    ~kgiKmcFile();
    kgiKmcFile(const kgiKmcFile&) = delete;
    kgiKmcFile& operator=(const kgiKmcFile&) = delete;

    // Reads the whole file. On a failure in the node blocks the object is
    // released; the status says why. The stream stays open until close().
    bool read(const char* path);
    // Writes the object to a new file that replaces `path` only once it is
    // complete: a failed write leaves the previous file as it was. A node
    // name the reader could not read back (empty, or with a delimiter or
    // control byte) is refused before anything is written (status 14).
    bool write(const char* path);
    // Writes like write() but leaves the new file finished and pending in
    // `out`: `path` is replaced only by out.commit(), and dropping `out`
    // keeps the previous file.
    bool writePending(const char* path, kgiTextFile& out);
    // Closes the stream of read(), if any.
    void close();

    // nodeCount empty nodes (no name, type 0) and keyCount unset key frames
    // (statuses 3 and 4).
    bool create(int nodeCount, int keyCount);
    // Frees the nodes and the key-frame list; both counts become 0.
    void release();

    int getStatus() const { return status; }
    // The message of the current status, e.g. "Invalid KMC header".
    const char* getStatusMessage() const { return statusMessage(status); }
    static const char* statusMessage(int status);

    bool setNodeName(int node, const char* name);
    // Sets the type and drops the node's records: every key of the new
    // channel count starts unset.
    bool setNodeType(int node, int code);
    // Gives key `key` its frame: an unset key frame takes it, a set one must
    // be given the same frame.
    bool setKeyFrame(int node, int key, int frame);
    bool setValue(int node, int key, int channel, float value);
    bool setInHandle(int node, int key, int channel, float x, float y);
    bool setOutHandle(int node, int key, int channel, float x, float y);

    int getNodeCount() const { return static_cast<int>(nodes.size()); }
    int getKeyCount() const { return static_cast<int>(keyFrames.size()); }
    // Frame of key index `key`; -1 when unset or out of range.
    int getKeyFrame(int key) const;
    // Node i, or null out of range.
    kgiKmcNode* getNode(int i);
    const kgiKmcNode* getNode(int i) const;
    // Type of node i; 0 out of range.
    int getNodeType(int i) const;
    // False unless node, key and channel (below the node's channel count)
    // are in range.
    bool getValue(int node, int key, int channel, float& value) const;
    bool getInHandle(int node, int key, int channel, float& x, float& y) const;
    bool getOutHandle(int node, int key, int channel, float& x, float& y) const;

    // Channels of a node type: F 6, S 3, R 1, L 1, the others 0.
    static int channelCount(int type);

private:
    bool fail(int code)
    {
        status = code;
        return false;
    }
    bool readHeader(kgiTokenizer& tokens);
    bool readBody(kgiTokenizer& tokens);
    // The record of (node, key, channel): null out of range, an unset
    // record when it is in range but not held.
    const kgiKmcKey* findRecord(int node, int key, int channel) const;
    // The record of (node, key, channel), the node's records grown to full
    // size first; null out of range.
    kgiKmcKey* record(int node, int key, int channel);

    std::vector<kgiKmcNode> nodes;
    FILE* file = nullptr;
    std::vector<int> keyFrames;
    int status = NO_ERROR;
};
