#pragma once
// Hand pose files and the hand pose database.
//
// A pose file holds one hand's pose: ".mhl" for the left hand, ".mhr" for
// the right. Its first line is "MHL0" or "MHR0", then one line per joint of
// the hand's description
//     (matrix3 [a,b,c] [d,e,f] [g,h,i])
// with the joint's 3x3 rotation row by row, then an empty line. Numbers are
// written as a C++ stream writes floats (six significant digits) in the C
// notation whatever the user's locale.
//
// A pose list (".lsl" left, ".lsr" right) names pose files of one side, one
// a line, relative to the list's folder. The database is a folder of such
// lists with an index "MHandDB.lst" naming them, one a line.
//
// Every reader is all or nothing: a file that is missing, too large or not
// exactly in this form is refused with false and the caller's data stays as
// it was.
#include "kgiHandRig.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

// Largest pose, list or index file read (far above any hand's needs; a
// pose line is about 100 bytes).
const std::size_t KGI_HAND_FILE_MAX = 1 << 20;

// The text of a pose file.
std::string formatHandPose(const kgiHandPose& pose);
// Reads the text of a pose file of the given side (kgiHandSet::LEFT or
// RIGHT) holding `joints` rotations into `rotations`, which is replaced
// only on success. Lines after the last joint are not read.
bool parseHandPose(const std::string& text, int side, int joints, std::vector<kmlMatrix3>& rotations);

// Writes the pose under `path` (replacing the file only once it is written
// completely). The header follows the pose's side; the caller gives the
// file the extension of that side.
bool writeHandPose(const std::string& path, const kgiHandPose& pose);
// Reads a pose of pose.side with as many joints as the description holds;
// pose.rotations is replaced only on success.
bool readHandPose(const std::string& path, const kgiHandDesc& desc, kgiHandPose& pose);

// A pose with the file name it was read from.
struct kgiNamedHandPose {
    std::string name;
    kgiHandPose pose;
};

// The side of a pose list by its extension (".lsl" left, ".lsr" right,
// either case); -1 for any other name.
int kgiHandPoseListSide(const std::string& path);
// Reads every pose a list names, with the description of the list's side,
// and appends them to `poses` only when all of them read. A name that is
// absolute or climbs out of the list's folder ("..") is refused; '\' counts
// as a separator; blank lines are skipped.
bool readHandPoseList(const std::string& path, const kgiHandDesc& desc, std::vector<kgiNamedHandPose>& poses);

// The hand poses of the program's "MHandDB" folder.
class kgiHandDB {
public:
    // The program's database, made on first use for the application's base
    // directory (the current directory without an application). Nothing is
    // read until load.
    static kgiHandDB& instance();

    explicit kgiHandDB(const std::string& baseDir);

    // Reads the index "MHandDB.lst" of the folder and every list it names,
    // each with the description of its side. False (and the database left as
    // it was) when the folder, the index or any list does not read.
    bool load(const kgiHandDesc& left, const kgiHandDesc& right);
    bool isLoaded() const { return loaded; }

    const std::string& getFolder() const { return folder; }
    const kgiHandDesc& getDesc(int side) const { return hands[index(side)].desc; }
    const std::vector<kgiNamedHandPose>& getPoses(int side) const { return hands[index(side)].poses; }

    // "Hands database informations", then the pose counts and both
    // descriptions, or "Not loaded".
    void dump(std::ostream& out) const;

private:
    static int index(int side) { return side == kgiHandSet::RIGHT ? 1 : 0; }

    struct Side {
        kgiHandDesc desc;
        std::vector<kgiNamedHandPose> poses;
    };
    std::string folder;
    Side hands[2];
    bool loaded = false;
};
