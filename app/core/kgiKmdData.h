#pragma once
// The data every node of a character's model carries: the node's kind,
// its display flags and the material it is drawn with; the accessor of a
// node's motion controller; the motion-file identity of nodes and the
// visitor that writes a model into a motion-key file.
//
// Node kinds (the scene file, the motion-key file and this data agree):
// 0 none, 1 the model's root joint, 2 a free-turning joint, 3 a hinge,
// 4 and 6 helper nodes, 5 mesh parts and other nodes without motion,
// 7 a joint that only moves.
#include "kmlMatrix4.h"
#include "ksgNodeData.h"
#include "ksgVisitor.h"

class kgcMaterial;
class kgiKmmFile;
class ksgMaterialParam;
class ksgMotionController;
class ksgNode;

class kgiKmdData : public ksgNodeData {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    enum Type { NONE = 0, ROOT = 1, FREE_JOINT = 2, HINGE = 3, HELPER = 4, PART = 5,
                MIRROR_HELPER = 6, MOVE_ONLY = 7 };
    // Slots of the highlight materials shared by every node.
    enum Slot { PICKED = 0, HIGHLIGHT = 1, HIDDEN = 2, PICKED_HIDDEN = 3, GROUP = 4, HIT = 5,
                SPARE = 6, MARK = 7, SLOT_COUNT = 8 };

    kgiKmdData();
    ~kgiKmdData() override;

    // The node data of a node when it is a kgiKmdData, else null.
    static kgiKmdData* of(const ksgNode* node);

    // Stores the kind; on a transform owner also sets its joint limits and
    // its FK/IK participation (types 0 and 5 take part in neither). Set the
    // data on its node first: without an owner only the kind is stored.
    void setType(int t);
    int getType() const { return type; }

    // Marks the node as a member of a branch chain when its name holds
    // "_BR_" or "_BL_" (looked for at each '_'), and as the chain's start
    // when the nearest ancestor with node data is no member. False without
    // an owner; chainMember unchanged when neither string occurs.
    bool scanChainName();
    bool isChainMember() const { return chainMember; }
    bool isChainStart() const { return chainStart; }

    // Creates the motion controller the kind asks for (time step 1.0) and
    // attaches it to the owner: 1 position and rotation, 7 position, 2 and
    // 3 rotation; Euler rotation curves when `euler`, else quaternions.
    // Other kinds get none.
    void attachMotionController(bool euler);

    // Data of the nearest ancestor that carries a kgiKmdData; null at the top.
    kgiKmdData* getParentData() const;

    // The render-state parameter that draws the node; its present material
    // becomes the node's own. Null clears both.
    void setMaterialParam(ksgMaterialParam* p);
    ksgMaterialParam* getMaterialParam() const { return materialParam; }
    kgcMaterial* getOwnMaterial() const { return ownMaterial; }

    // Flag setters; each chooses the drawing material again.
    void setSelected(bool on);
    void setHit(bool on);
    void setHit2(bool on);
    void setMarked(bool on);
    void setHighlighted(bool on);
    // Mesh parts (types 5 and 6) pass the group mark to their joint.
    void setGrouped(bool on);
    // Stored on the nearest node (this or above) that owns the flags.
    void setPicked(bool on);
    void setShown(bool on);

    bool isPicked() const { return picked; }
    bool isSelected() const { return selected; }
    bool isMarked() const { return marked; }
    bool isHit() const { return hit; }
    bool isHit2() const { return hit2; }
    bool isHighlighted() const { return highlighted; }
    // Asked of the nearest flag owner; true when there is none.
    bool isShown() const;
    // Mesh parts answer for their joint.
    bool isGrouped() const;
    // The flagOwner value of the nearest node that has one, 0 when none.
    int getFlagOwner() const;
    // Refused for types 0 and 5.
    void setFlagOwner(int v);

    void setUserIndex(int i) { userIndex = i; }
    int getUserIndex() const { return userIndex; }
    // Keeps the owner's present local matrix.
    void storeLocal();
    const kmlMatrix4& getStoredLocal() const { return storedLocal; }

    // Picks the drawing material from the flags and sets it on the
    // material parameter; nothing without one.
    void chooseMaterial();

    // The highlight materials. Each setter keeps the new material with an
    // inverted copy from the material table; null, and the material the
    // slot already holds, change nothing. The material replaced and its
    // copy are not removed from the table (nodes may still draw with them):
    // they stay until the table is freed at exit.
    static void setPickedMaterial(kgcMaterial* m);
    static void setHighlightMaterial(kgcMaterial* m);
    static void setHiddenMaterial(kgcMaterial* m);
    static void setPickedHiddenMaterial(kgcMaterial* m);
    static void setGroupMaterial(kgcMaterial* m);
    static void setHitMaterial(kgcMaterial* m);
    static void setSpareMaterial(kgcMaterial* m);
    static void setMarkMaterial(kgcMaterial* m);
    static kgcMaterial* getSlotMaterial(int slot);
    // The inverted copy kept for a slot material; null when none.
    static kgcMaterial* getInvertedMaterial(const kgcMaterial* m);

private:
    static void setSlotMaterial(int slot, kgcMaterial* m);
    // The data of this node or an ancestor whose flagOwner is non-zero.
    kgiKmdData* flagHolder();
    const kgiKmdData* flagHolder() const;

    int type = NONE;
    int flagOwner = 0;
    bool picked = false;
    bool shown = true;
    bool selected = false;
    bool grouped = false;
    bool highlighted = false;
    bool hit = false;
    bool marked = false;
    bool hit2 = false;
    kmlMatrix4 storedLocal;
    int userIndex = -1;
    bool chainMember = false;
    bool chainStart = false;
    kgcMaterial* ownMaterial = nullptr;       // not owned
    ksgMaterialParam* materialParam = nullptr; // not owned (the node's state holds it)
};

// The node's motion controller, or null.
ksgMotionController* getMotionController(const ksgNode* node);

// Nodes written to a motion-key file are those with a kgiKmdData whose type
// is neither 0 nor 5, in depth-first order; a node's motion-file id is its
// position in that order, from 0.
bool kgiIsMotionFileNode(const ksgNode* node);

// Finds the node with a given motion-file id. Run with depthVisit from the
// model root; `found` stays null when the id is out of range.
class kgiGetNodeByKmmID : public ksgVisitor {
public:
    explicit kgiGetNodeByKmmID(int id) : id(id) {}
    ReturnType exec(ksgNode* node) override;

    int id;
    int counter = 0;
    ksgNode* found = nullptr;
};

// Finds the motion-file id of a node; `id` stays -1 when the node is not
// one the file holds.
class kgiGetNodeKmmID : public ksgVisitor {
public:
    explicit kgiGetNodeKmmID(ksgNode* target) : target(target) {}
    ReturnType exec(ksgNode* node) override;

    int id = -1;
    int counter = 0;
    ksgNode* target;
};

// Writes the nodes of a model into a motion-key file made with
// kgiKmmFile::create: name, type, depth and keys per node. Mode 0 writes
// one key, the local matrix; any other mode evaluates each node's base
// curves at start .. start + frameCount - 1. Skip types 0 and 5 so that
// file node i is the node with motion-file id i.
class kgiDumpKmm : public ksgVisitor {
public:
    kgiDumpKmm(kgiKmmFile* file, int mode, int start, bool skipType0, bool skipType5)
        : file(file), start(start), mode(mode), skipType5(skipType5), skipType0(skipType0)
    {
    }
    ReturnType exec(ksgNode* node) override;
    // False when a write into the file was refused.
    bool succeeded() const { return ok; }

    kgiKmmFile* file;
    int start;
    int index = 0;
    int mode;
    bool skipType5;
    bool skipType0;

private:
    bool ok = true;
};
