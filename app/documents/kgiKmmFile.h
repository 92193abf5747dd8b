#pragma once
// The motion-key file (".kmm", magic "KMM1"): for every node of a
// character's node tree its name, type letter and depth and one 4x4
// transform per frame, then the list of frames that are key frames.
//
// Reading: open, readHeader, readBody, close, in that order. Writing:
// create, the setters, then writeMatrices (full rows) or writeCompact.
// Every failure leaves a status code that stays until clear().
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class kgiTextFile;
class kgiTokenizer;

// One key record: the frame and a 4x4 transform of 16 floats, value 4j + i
// being row i, column j of the column-vector matrix (equivalently the rows
// of a row-vector matrix): 12-14 hold the translation, 3, 7 and 11 are 0
// and 15 is 1 for a rigid transform.
struct kgiKmmKey {
    int frame = 0;
    float matrix[16] = {};
};

struct kgiKmmNode {
    std::string name;            // at most kgiKmmFile::MAX_NAME_LENGTH bytes
    std::vector<kgiKmmKey> keys; // indexed by frame number when built by setKey
    float translation[3] = {};   // shared translation of 9-number key lines
    int hasTranslation = 0;
    int keyCount = 0;            // keys in use, never more than keys.size()
    int depth = 0;               // depth in the node tree, 0 = root
    int type = 0;                // node type code, see kgiKmmFile::typeLetter

    // Key `index`, clamped into the keys in use (a negative index gives the
    // first, one past the end the last); null when the node has no keys.
    kgiKmmKey* getKey(int index);
    const kgiKmmKey* getKey(int index) const;
};

// The depths of a file's nodes, for checking that a file fits a node tree.
struct kgiKmmDepthList {
    std::vector<int> depths;
};

class kgiKmmFile {
public:
    enum Status {
        NO_ERROR = 0,
        NULL_PATH = 1,
        CANNOT_OPEN = 2,
        BAD_HEADER = 3,
        BAD_NODE_COUNT = 4,
        NOT_OPEN = 6,
        NO_DEPTH_LIST = 7,
        DEPTH_COUNT_DIFFERS = 8,
        DEPTH_DIFFERS = 9,
        BAD_NODE_LINE = 10,
        EMPTY_COUNT_LINE = 11,
        NO_TRANSLATION = 12,
        BAD_KEY_LINE = 13,
        TOO_MANY_KEY_FRAMES = 15,
        TOO_MANY_FRAMES = 16,
        NO_NODES = 17,
        NULL_NAME = 18,
        NODE_TYPE_ZERO = 19,
        NEGATIVE_DEPTH = 20,
        KEY_FRAME_RANGE = 21,
        LIST_FRAME_RANGE = 22,
        LIST_INDEX_RANGE = 23,
        CANNOT_WRITE = 24,
        BAD_KEY_COUNT = 25,        // a count line below 0 or above MAX_FRAMES
        NAME_TOO_LONG = 26,        // a name longer than MAX_NAME_LENGTH
        KEY_FRAME_LIST_TOO_LONG = 27, // more than MAX_KEY_FRAMES list lines
        KEY_FRAME_NUMBER_RANGE = 28,  // a list entry outside 0..65535
        EXTRA_NODE_BLOCK = 29,     // more node blocks than the header counts
        EXTRA_KEY_LINE = 30,       // more key lines than the count line says
        NODE_INDEX_RANGE = 31,     // a setter's node index out of range
        MISSING_KEY_LINE = 32,     // fewer key lines than the count line says
        UNREADABLE_NAME = 33       // a writer met a node name the reader
                                   // could not read back (empty, or with a
                                   // blank, colon, comma, quote or control)
    };

    // The key-frame list holds 16-bit frame numbers: at most this many
    // entries, and frames run 0..MAX_FRAMES - 1.
    static const int MAX_KEY_FRAMES = 65536;
    static const int MAX_FRAMES = 65536;
    // Node names were fixed 256-byte buffers with their terminating zero.
    static const int MAX_NAME_LENGTH = 255;

    kgiKmmFile();
    ~kgiKmmFile();
    kgiKmmFile(const kgiKmmFile&) = delete;
    kgiKmmFile& operator=(const kgiKmmFile&) = delete;

    // Releases everything and resets every count and the status.
    void clear();
    // Closes the stream and frees the nodes and the path; the status stays.
    void release();

    // Opens the file for reading (status 1 for a null path, 2 when it cannot
    // be opened). A stream still open from before is closed first.
    bool open(const char* path);
    // Closes the stream of open(); status 6 when none is open.
    bool close();

    // The header line: magic, node count, one depth per node.
    bool readHeader();
    // The node blocks, "end" and the key-frame list. A failure leaves what
    // was read so far; treat any false as a failed load.
    bool readBody();

    // Makes nodeCount empty nodes of frameCount key records each and a
    // key-frame list of keyCount zeros (statuses 15, 16, 17).
    bool create(int nodeCount, int frameCount, int keyCount);
    bool setNodeName(int node, const char* name);
    // Code 0 is refused (status 19): a node written must have a type.
    bool setNodeType(int node, int code);
    bool setNodeDepth(int node, int depth);
    // Key record `frame` of the node gets the frame and the 16 values
    // (layout of kgiKmmKey); the node's key count grows to frame + 1.
    bool setKey(int node, int frame, const float* matrix);
    bool setKeyFrame(int index, int frame);

    // Writes a new file with full 16-number rows. The file replaces `path`
    // only when everything was written: a failed write (status 24) leaves
    // the previous file as it was. Every writer first checks the node
    // names and writes nothing for one the reader cannot read back
    // (status 33).
    bool writeMatrices(const char* path);
    // Like writeMatrices, with 12-number rows, and 9-number rows sharing
    // key 0's translation for types 2 and 3 (their other translations are
    // lost). Types 4 to 6 keep only key 0 in both layouts.
    bool writeCompact(const char* path);
    // Writes like writeCompact (compact true) or writeMatrices (false) but
    // leaves the new file finished and pending in `out`: `path` is replaced
    // only by out.commit(), and dropping `out` keeps the previous file. A
    // save of several files finishes them all before it commits any.
    bool writePending(const char* path, bool compact, kgiTextFile& out);

    int getStatus() const { return status; }
    int getNodeCount() const { return static_cast<int>(nodes.size()); }
    // Node i, or null out of range.
    kgiKmmNode* getNode(int i);
    const kgiKmmNode* getNode(int i) const;
    // Frames per node: the create() count, or the first node's key count
    // after a read.
    int getFrameCount() const { return frameCount; }
    int getKeyCount() const { return static_cast<int>(keyFrames.size()); }
    // Entry i of the key-frame list, or -1 out of range.
    int getKeyFrame(int i) const;
    const std::vector<uint16_t>& getKeyFrames() const { return keyFrames; }
    const std::string& getPath() const { return path; }

    // The nodes' depths, for compareDepths on another file.
    kgiKmmDepthList makeDepthList() const;
    // True when the list has this file's node count and depths (statuses
    // 7, 8, 9).
    bool compareDepths(const kgiKmmDepthList* list);

    // Type code of a type letter: F 1, S 2, R 3, N 4, G 5, H 6, L 7, any
    // other letter 0.
    static int typeFromLetter(char letter);
    // Letter written for a type code: "-" for 0 and unknown codes, so that
    // they read back as 0.
    static char typeLetter(int code);

private:
    bool fail(int code)
    {
        status = code;
        return false;
    }
    bool readNodeBlock(kgiKmmNode& node, kgiTokenizer& tokens);

    FILE* file = nullptr;
    int status = NO_ERROR;
    std::vector<kgiKmmNode> nodes;
    std::string path;
    int frameCount = 0;
    std::vector<uint16_t> keyFrames;
};
