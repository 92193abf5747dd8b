#pragma once
// Turns a project (".ts") and the binary scene file it names into a
// character's node tree: one transform with a kgiKmdData per scene object,
// the object's mesh parts below it, and a motion controller per joint
// whose curves hold the key frames of the project's motion-key file. Also
// writes the tree's keys back into the project's motion-key file.
#include "kmlMatrix4.h"

#include <cstdint>
#include <string>

class kgiModelData;
class kgiProject;
class kmlBaseCurve;
class ksgNode;
class ksgTransform;
struct kgiMeshRecord;

// The modeller convention of a model, read from "project.txt" beside the
// project.
struct kgiAxisConvention {
    enum Modeler { MAX = 0, MAYA = 1, NOT_STATED = 4 };
    // Not plain EULER: the toolkit's headers define that name as a macro.
    enum ControllerKind { ASK = 0, EULER_CURVES = 1, QUATERNION = 2 };

    int modeler = NOT_STATED;
    int controllerKind = ASK;
    bool root90 = true;
    // The identity turned by -90 degrees about x; kept for the record, not
    // applied by the build.
    kmlMatrix4 modelMatrix;

    kgiAxisConvention();
    void reset();
};

class kgiModelBuilder {
public:
    // Bits of load's flags.
    enum LoadFlags { KEEP_MODEL_DATA = 1, BUILD_TREE = 2 };

    kgiModelBuilder();
    ~kgiModelBuilder();
    kgiModelBuilder(const kgiModelBuilder&) = delete;
    kgiModelBuilder& operator=(const kgiModelBuilder&) = delete;

    // Frees the model data, the tree and the project, in that order.
    void reset();

    // Opens the project and its model; with BUILD_TREE builds the node tree,
    // with KEEP_MODEL_DATA keeps the model data afterwards. A project that
    // cannot be opened shows "Error - 061", a scene file that cannot be
    // read "Error - 060", a motion-key file whose node count does not fit
    // the scene "Error - 061" as well; every failure leaves the builder
    // empty. A tree is built only from a scene whose first object is the
    // root joint (node type 1) and that has no second one: any other scene
    // fails without a box of the builder's own.
    bool load(const std::string& path, unsigned char flags);

    // Writes the tree's keys into a new motion-key file of the project and
    // saves the project as "<name of path>.ts": in the project's own folder
    // for a bare name (and under the project's own name for an empty path),
    // in the path's folder for a path with one (kgiProject::save makes or
    // adopts the project folder there). False without a project or tree,
    // or when a file cannot be made or written.
    bool saveMotion(const std::string& path);

    // The world's first and last frame, truncated, become the project's
    // frame range. False without a project.
    bool copyWorldFrameRange();

    // Reads "project.txt" into the convention record (reset first). False,
    // with the reader's defaults, when the file cannot be opened.
    bool readAxisConvention(const std::string& path);

    // Curves of a named scene object of the kept model data, made from its
    // motion frames; null without model data or object. The caller owns them.
    kmlBaseCurve* makeQuatCurve(const std::string& objectName) const;
    kmlBaseCurve* makePositionCurve(const std::string& objectName) const;
    kmlBaseCurve* makeEulerCurve(const std::string& objectName) const;

    kgiProject* getProject() const { return project; }
    kgiModelData* getModelData() const { return modelData; }
    // The transform of the model's root joint (node type 1); the builder
    // owns the tree it heads. Null before a successful build.
    ksgTransform* getRoot() const { return root; }
    int getRootId() const { return rootId; }
    const kgiAxisConvention& getAxisConvention() const { return axisConvention; }
    bool isMotionApplied() const { return motionApplied; }
    bool hasCurves() const { return hasCurveFile; }

private:
    // Decides Euler or quaternion controllers, asking the user where the
    // project leaves it open; false when the user refuses.
    bool askCurveController();
    // Builds the object and, below a parent, its later siblings.
    bool buildTransformTree(ksgTransform* parent, const kgiMeshRecord* object, int format, int frameCount,
                            int keyCount, const uint16_t* keyFrames);
    // One object and its subtree.
    bool buildObject(ksgTransform* parent, const kgiMeshRecord* object, int format, int frameCount, int keyCount,
                     const uint16_t* keyFrames);
    const kgiMeshRecord* findObject(const std::string& name) const;

    kgiProject* project = nullptr;
    kgiModelData* modelData = nullptr;
    ksgTransform* root = nullptr;
    // The top of the built tree; the root itself unless the scene's first
    // object is not the root joint.
    ksgNode* top = nullptr;
    kgiAxisConvention axisConvention;
    bool motionApplied = false;
    bool hasCurveFile = false;
    int rootId = -1;
};
