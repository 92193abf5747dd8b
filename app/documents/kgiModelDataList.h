#pragma once
// A list of loaded models kept in two chains: models of kind 1, and models
// of kind 2 read from ".kmd" scene files, which can also be animated from a
// motion-key file (.kmm). The list owns its entries; they are chained
// through kgiModelData::next. It draws them all with kgiDrawModel and steps
// them through frames together.
#include "kgiDrawModel.h"

class kgiModelData;
class kgiProject;

class kgiModelDataList {
public:
    // Kinds of entries, one chain each.
    enum Kind { PLAIN = 1, SCENE = 2 };
    // Result of the motion operations for an entry that is not of kind 2.
    static constexpr int NOT_A_SCENE_MODEL = 14;

    struct Chain {
        int count = 0;
        kgiModelData* head = nullptr;
        kgiModelData* tail = nullptr;
    };

    kgiModelDataList() = default;
    // Deletes every entry (kind 2 entries after releasing their motion).
    ~kgiModelDataList();
    kgiModelDataList(const kgiModelDataList&) = delete;
    kgiModelDataList& operator=(const kgiModelDataList&) = delete;

    // Takes ownership: a kind 2 entry joins the second chain, any other the
    // first (its kind becomes 1). Returns 1; null is ignored.
    int add(kgiModelData* model);
    // Loads a file into a new entry (kind 2 when the name ends in exactly
    // ".kmd", else 1) and adds it, also when the load failed; null for a
    // null or empty path.
    kgiModelData* addFile(const char* path);
    // Load into a new entry of kind 1 or 2 and add it; the load result is
    // not checked (the entry may be empty).
    kgiModelData* addModel(const char* path);
    kgiModelData* addKmdModel(const char* path);
    // Unlinks and deletes an entry of this list; 0 for null, 1 otherwise.
    // An entry the list does not hold is left alone.
    int remove(kgiModelData* model);
    // Deletes the first kind 2 entry whose first model object has this
    // name; 0 for a null name, else 1.
    int removeByName(const char* name);

    // Draws every entry, then clears the options' box-dump flag so the
    // dump prints once.
    int draw(kgiDrawOptions& options);
    // Sets the frame of every entry; returns 1.
    int setFrame(int frame);
    // Selects vertex set `frame` of every kind 1 entry; returns 1.
    int setVertexFrame(int frame);

    // Replaces a kind 2 entry's frames with those of the motion-key file
    // beside its scene file (the same name with ".kmm"): one 4x4 matrix a
    // frame for every record that moves (not of kind 5), in order, once the
    // file's node depths match those records; a node without keys leaves
    // its record without frames. Returns 0, the motion-key file's status
    // when it cannot be read or does not match (the entry then keeps the
    // frames of its scene file), or NOT_A_SCENE_MODEL. A file with more or
    // fewer nodes than the entry has moving records is refused with
    // kgiKmmFile::DEPTH_COUNT_DIFFERS and an "Error - 061" line on
    // standard error.
    static int loadMotion(kgiModelData* model, const char* scenePath);
    // The same from the motion-key file a project already holds (no depth
    // check, but the same node count check: a refused motion leaves the
    // entry as it was). 0 also when the project holds none.
    static int loadMotion(kgiModelData* model, const kgiProject& project);
    // Frees the frames and key-frame list that a motion put into a kind 2
    // entry; NOT_A_SCENE_MODEL for other kinds, else 0.
    static int releaseFrames(kgiModelData* model);

    const Chain& plainModels() const { return plain; }
    const Chain& sceneModels() const { return scenes; }

private:
    kgiModelData* addLoaded(const char* path, Kind kind);
    Chain& chainOf(const kgiModelData* model);
    static void append(Chain& c, kgiModelData* model);
    static bool unlink(Chain& c, kgiModelData* model);
    static void deleteAll(Chain& c, bool release);

    Chain plain;
    Chain scenes;
};
