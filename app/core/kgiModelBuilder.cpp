#include "kgiModelBuilder.h"

#include "platform/path.h"

#include "kgiCharacterServices.h"
#include "kgiKeyEdit.h"
#include "kgiKmdData.h"
#include "kgiLangKeys.h"
#include "kgiKmmFile.h"
#include "kgiModelData.h"
#include "kgiModelParts.h"
#include "kgiProject.h"
#include "kgiWorld.h"
#include "ksgMotionController.h"
#include "ksgTransform.h"
#include "kutPath.h"

#include <cstdio>
#include <memory>
#include <vector>

kgiAxisConvention::kgiAxisConvention()
{
    reset();
}

void kgiAxisConvention::reset()
{
    modeler = NOT_STATED;
    controllerKind = ASK;
    root90 = true;
    modelMatrix.setIdentity();
    modelMatrix.setRotation(-90.0f, kmlVec3(1.0f, 0.0f, 0.0f));
}

kgiModelBuilder::kgiModelBuilder() = default;

kgiModelBuilder::~kgiModelBuilder()
{
    reset();
}

void kgiModelBuilder::reset()
{
    delete modelData;
    modelData = nullptr;
    delete top;
    top = nullptr;
    root = nullptr;
    delete project;
    project = nullptr;
    axisConvention.reset();
    motionApplied = false;
    hasCurveFile = false;
    rootId = -1;
}

bool kgiModelBuilder::load(const std::string& path, unsigned char flags)
{
    reset();
    if (!kgiOpenModel(path, project, modelData, motionApplied)) {
        kgiCharacterServices& services = kgiCharacterServices::current();
        // No project, or project and model read but the motion refused:
        // the project failed. A project without its model: the scene.
        if (!project || modelData)
            services.showMessage("Error - 061", services.text(kgiLangKey::Er_TS_fail));
        else
            services.showMessage("Error - 060", services.text(kgiLangKey::Er_KMD_File));
        reset();
        return false;
    }
    const std::string folder = kutExtractPath(path);
    readAxisConvention(folder.empty() ? "project.txt" : kutAppendPath(folder, "project.txt"));

    if (flags & BUILD_TREE) {
        if (!askCurveController()) {
            reset();
            return false;
        }
        const kgiModelEntry& entry = modelData->models[0];
        const kgiMeshRecord* first = entry.records.empty() ? nullptr : &entry.records[0];
        // The first object must be the root joint: any other top would be
        // a root without a motion controller, or one with siblings, which
        // mirroring and the key edits cannot use.
        if (!first || first->jointKind != kgiKmdData::ROOT) {
            reset();
            return false;
        }
        bool built;
        if (motionApplied)
            built = buildTransformTree(nullptr, first, entry.frameLayout, modelData->frameCount, entry.keyCount,
                                       entry.keyFrames.get());
        else
            built = buildTransformTree(nullptr, first, entry.frameLayout, 0, 0, nullptr);
        if (!built || !top) {
            reset();
            return false;
        }
        if (!root)
            root = top->asTransform();
        rootId = root->getId();
        root->update(0.0f, false, true);
    }
    if (!(flags & KEEP_MODEL_DATA)) {
        delete modelData;
        modelData = nullptr;
    }
    return true;
}

bool kgiModelBuilder::askCurveController()
{
    kgiCharacterServices& services = kgiCharacterServices::current();
    if (!project->hasMotionController() && axisConvention.controllerKind == kgiAxisConvention::ASK &&
        services.askYesNo("Animation control", "Do you want to use F-Curve animation controller ?\n"
                                               "(experimental, will use Quaternion controller otherwise)"))
        project->setEulerController();
    if (project->isEulerController()) {
        axisConvention.controllerKind = kgiAxisConvention::EULER_CURVES;
        if (axisConvention.modeler == kgiAxisConvention::MAX && axisConvention.root90 &&
            !services.askYesNo("Warning - Curve import",
                               "Using this model, you will not be able to import valid curve data in 3D Studio "
                               "Max\n(Disable Root90 option in export dialog box)\nContinue anyway ?"))
            return false;
    } else {
        axisConvention.controllerKind = kgiAxisConvention::QUATERNION;
    }
    hasCurveFile = project->getCurveFile() != nullptr;
    return true;
}

namespace {

void deleteParts(std::vector<ksgNode*>& parts)
{
    for (ksgNode* p : parts)
        delete p;
    parts.clear();
}

} // namespace

bool kgiModelBuilder::buildTransformTree(ksgTransform* parent, const kgiMeshRecord* object, int format,
                                         int frameCount, int keyCount, const uint16_t* keyFrames)
{
    // Siblings in a loop, children by recursion: the build is only as deep
    // as the scene, however many objects share a level. The top object is
    // built without its siblings.
    for (const kgiMeshRecord* o = object; o; o = parent ? o->nextSibling : nullptr)
        if (!buildObject(parent, o, format, frameCount, keyCount, keyFrames))
            return false;
    return true;
}

bool kgiModelBuilder::buildObject(ksgTransform* parent, const kgiMeshRecord* object, int format, int frameCount,
                                  int keyCount, const uint16_t* keyFrames)
{
    const bool euler = axisConvention.controllerKind == kgiAxisConvention::EULER_CURVES;
    std::unique_ptr<ksgTransform> owned(new ksgTransform);
    ksgTransform* t = owned.get();
    t->setName(object->name);
    kgiKmdData* data = new kgiKmdData;
    t->setData(data);
    std::vector<ksgNode*> parts;
    kgiBuildMeshParts(object, parts);

    if (object->jointKind == kgiKmdData::ROOT) {
        if (root) {
            deleteParts(parts);
            return false;
        }
        root = t;
    }
    const kmlMatrix4 local = kgiRecordLocalMatrix(object, format);
    t->setLocal(local);
    if (parent) {
        if (!parent->attachChild(t)) {
            if (root == t)
                root = nullptr;
            deleteParts(parts);
            return false;
        }
    } else {
        t->init();
        top = t;
    }
    owned.release(); // the parent, or `top`, holds it now

    data->setType(object->jointKind);
    data->scanChainName();
    for (ksgNode* part : parts) {
        if (!t->attachChild(part)) {
            delete part;
            continue;
        }
        if (kgiKmdData* partData = kgiKmdData::of(part)) {
            partData->scanChainName();
            partData->attachMotionController(euler);
        }
    }
    parts.clear();
    data->attachMotionController(euler);

    if (ksgMotionController* mc = getMotionController(t)) {
        kmlBaseCurve* rotation = nullptr;
        kmlBaseCurve* position = nullptr;
        const int type = data->getType();
        if (type == kgiKmdData::ROOT || type == kgiKmdData::FREE_JOINT || type == kgiKmdData::HINGE)
            rotation = euler ? kgiMakeEulerCurve(object, frameCount, keyCount, keyFrames)
                             : kgiMakeQuatCurve(object, frameCount, keyCount, keyFrames);
        if (type == kgiKmdData::ROOT || type == kgiKmdData::MOVE_ONLY)
            position = kgiMakePositionCurve(object, frameCount, keyCount, keyFrames);
        mc->setDefault(local);
        // The controller takes the curves it accepts.
        if (rotation && !mc->setRotationCurve(rotation, -1, true))
            delete rotation;
        if (position && !mc->setPositionCurve(position, -1, true))
            delete position;
        mc->setPositionInterpolation(KML_EVAL_LINEAR);
        mc->setRotationInterpolation(KML_EVAL_LINEAR);
    }

    return buildTransformTree(t, object->firstChild, format, frameCount, keyCount, keyFrames);
}

bool kgiModelBuilder::readAxisConvention(const std::string& path)
{
    axisConvention.reset();
    axisConvention.modeler = kgiAxisConvention::NOT_STATED;
    axisConvention.controllerKind = kgiAxisConvention::QUATERNION;
    axisConvention.root90 = true;
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return false;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::string line;
    for (int c = std::fgetc(f);; c = std::fgetc(f)) {
        if (c != EOF && c != '\n') {
            line += char(c);
            continue;
        }
        // A line written on Windows ends in CR LF.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t end = 0;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        if (line.compare(0, end, "Modeler") == 0 && end == 7) {
            size_t at = end;
            while (at < line.size()) {
                while (at < line.size() && isBlank(line[at]))
                    ++at;
                size_t stop = at;
                while (stop < line.size() && !isBlank(line[stop]))
                    ++stop;
                const std::string token = line.substr(at, stop - at);
                if (token == "MAX") {
                    axisConvention.modeler = kgiAxisConvention::MAX;
                } else if (token == "MAYA") {
                    axisConvention.modeler = kgiAxisConvention::MAYA;
                    axisConvention.controllerKind = kgiAxisConvention::ASK;
                    axisConvention.root90 = false;
                } else if (token == "0") {
                    axisConvention.controllerKind = kgiAxisConvention::ASK;
                    axisConvention.root90 = false;
                } else if (token == "1" || token == "2") {
                    axisConvention.controllerKind = kgiAxisConvention::QUATERNION;
                    axisConvention.root90 = true;
                }
                at = stop;
            }
        }
        line.clear();
        if (c == EOF)
            break;
    }
    std::fclose(f);
    // The quaternion controller is used whatever the tokens said.
    axisConvention.controllerKind = kgiAxisConvention::QUATERNION;
    return true;
}

bool kgiModelBuilder::saveMotion(const std::string& path)
{
    if (!project || !root)
        return false;
    ksgNullVisitor leave;
    kgiCountNode count(3);
    root->depthVisit(count, leave);
    project->releaseMotionFile();
    kgiGetKeysInfo keys(-1);
    root->depthVisit(keys, leave);

    kgiKmmFile* file = project->createMotionFile();
    const bool hasKeys = !keys.times.empty();
    const int frames = hasKeys ? int(keys.times.back() + 1.0f) : 1;
    if (!file || !file->create(count.count, frames, int(keys.times.size()))) {
        project->releaseMotionFile();
        return false;
    }
    kgiDumpKmm dump(file, hasKeys ? 1 : 0, hasKeys ? 0 : -1, true, true);
    root->depthVisit(dump, leave);
    bool ok = dump.succeeded();
    for (size_t i = 0; ok && i < keys.times.size(); ++i)
        ok = file->setKeyFrame(int(i), int(keys.times[i]));
    if (!ok) {
        project->releaseMotionFile();
        return false;
    }
    const std::string source = path.empty() ? project->getTsName() : path;
    std::string name = kutRemoveExt(kutRemovePath(source)) + ".ts";
    // A path with a folder keeps it: the project saves into (or makes) the
    // project folder there, where the user chose, not into its old one.
    const std::string::size_type sep = platform::lastPathSeparator(path);
    if (!path.empty() && sep != std::string::npos)
        name = path.substr(0, sep + 1) + name;
    const bool saved = project->save(name.c_str()) == 1;
    project->releaseMotionFile();
    return saved;
}

bool kgiModelBuilder::copyWorldFrameRange()
{
    if (!project)
        return false;
    const kgiWorld* world = kgiWorld::instance();
    project->setSelection(int(world->getStartFrame()), int(world->getEndFrame()));
    return true;
}

const kgiMeshRecord* kgiModelBuilder::findObject(const std::string& name) const
{
    if (!modelData || modelData->models.empty() || modelData->models[0].records.empty())
        return nullptr;
    return kgiFindRecord(&modelData->models[0].records[0], name);
}

kmlBaseCurve* kgiModelBuilder::makeQuatCurve(const std::string& objectName) const
{
    const kgiMeshRecord* r = findObject(objectName);
    const kgiModelEntry* e = modelData && !modelData->models.empty() ? &modelData->models[0] : nullptr;
    return r ? kgiMakeQuatCurve(r, modelData->frameCount, e->keyCount, e->keyFrames.get()) : nullptr;
}

kmlBaseCurve* kgiModelBuilder::makePositionCurve(const std::string& objectName) const
{
    const kgiMeshRecord* r = findObject(objectName);
    const kgiModelEntry* e = modelData && !modelData->models.empty() ? &modelData->models[0] : nullptr;
    return r ? kgiMakePositionCurve(r, modelData->frameCount, e->keyCount, e->keyFrames.get()) : nullptr;
}

kmlBaseCurve* kgiModelBuilder::makeEulerCurve(const std::string& objectName) const
{
    const kgiMeshRecord* r = findObject(objectName);
    const kgiModelEntry* e = modelData && !modelData->models.empty() ? &modelData->models[0] : nullptr;
    return r ? kgiMakeEulerCurve(r, modelData->frameCount, e->keyCount, e->keyFrames.get()) : nullptr;
}
