#include "kgiPoseDumper.h"

#include "kgiKmdData.h"
#include "ksgMotionController.h"
#include "ksgMotionFrame.h"
#include "ksgNode.h"
#include "ksgTransform.h"

#include <algorithm>
#include <functional>
#include <utility>

kgiPoseEntry::kgiPoseEntry(const kgiPoseEntry& other)
    : frame(other.frame ? other.frame->clone() : nullptr), local(other.local)
{
}

kgiPoseEntry& kgiPoseEntry::operator=(const kgiPoseEntry& other)
{
    if (this != &other) {
        ksgMotionFrame* copy = other.frame ? other.frame->clone() : nullptr;
        delete frame;
        frame = copy;
        local = other.local;
    }
    return *this;
}

kgiPoseEntry::kgiPoseEntry(kgiPoseEntry&& other) noexcept : frame(other.frame), local(other.local)
{
    other.frame = nullptr;
}

kgiPoseEntry& kgiPoseEntry::operator=(kgiPoseEntry&& other) noexcept
{
    if (this != &other) {
        delete frame;
        frame = other.frame;
        other.frame = nullptr;
        local = other.local;
    }
    return *this;
}

kgiPoseEntry::~kgiPoseEntry()
{
    delete frame;
}

namespace {

bool byNode(const std::pair<ksgNode*, kgiPoseEntry>& e, ksgNode* node) { return std::less<ksgNode*>()(e.first, node); }

} // namespace

kgiPoseEntry* kgiPoseSnapshot::find(ksgNode* node)
{
    auto it = std::lower_bound(entries.begin(), entries.end(), node, byNode);
    return it != entries.end() && it->first == node ? &it->second : nullptr;
}

const kgiPoseEntry* kgiPoseSnapshot::find(ksgNode* node) const
{
    auto it = std::lower_bound(entries.begin(), entries.end(), node, byNode);
    return it != entries.end() && it->first == node ? &it->second : nullptr;
}

void kgiPoseSnapshot::assign(ksgNode* node, kgiPoseEntry&& entry)
{
    auto it = std::lower_bound(entries.begin(), entries.end(), node, byNode);
    if (it != entries.end() && it->first == node)
        it->second = std::move(entry);
    else
        entries.emplace(it, node, std::move(entry));
}

void kgiPoseSnapshot::sortByNode()
{
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return std::less<ksgNode*>()(a.first, b.first); });
}

kgiPoseDumper::kgiPoseDumper()
    : root(nullptr), flags(DEFAULT_FLAGS), layer(-1), time1(-1.0f), time2(-1.0f)
{
}

void kgiPoseDumper::setFlags(unsigned short f, float t1, float t2, int layer_)
{
    unsigned short sampleChoice = SAMPLE_LOCAL;
    time1 = -1.0f;
    if (f & SAMPLE_FRAME) {
        sampleChoice = SAMPLE_FRAME;
        time1 = t1;
    } else if (f & SAMPLE_KEY) {
        sampleChoice = SAMPLE_KEY;
        time1 = t1;
    } else if (f & SAMPLE_BUFFER) {
        sampleChoice = SAMPLE_BUFFER;
    } else if (f & SAMPLE_DEFAULT) {
        sampleChoice = SAMPLE_DEFAULT;
    }

    unsigned short restoreChoice = RESTORE_NONE;
    time2 = -1.0f;
    if (f & RESTORE_KEY) {
        restoreChoice = RESTORE_KEY;
        time2 = t2;
    } else if (f & RESTORE_LOCAL) {
        restoreChoice = RESTORE_LOCAL;
    }

    flags = static_cast<unsigned short>(sampleChoice | restoreChoice);
    layer = layer_;
}

bool kgiPoseDumper::setRoot(ksgNode* node)
{
    root = node;
    return node != nullptr;
}

bool kgiPoseDumper::dump(ksgNode* node)
{
    if (!setRoot(node))
        return false;
    ksgNullVisitor leave;
    appendWalk = snapshot.empty();
    const bool done = node->depthVisit(*this, leave);
    if (appendWalk)
        snapshot.sortByNode();
    appendWalk = false;
    return done;
}

namespace {

// The transforms a dump samples, in the order it samples them.
class TransformOrder : public ksgVisitor {
public:
    ReturnType exec(ksgNode* node) override
    {
        if (node->asTransform() != nullptr)
            nodes.push_back(node);
        return DESCEND;
    }
    std::vector<ksgNode*> nodes;
};

} // namespace

void kgiPoseDumper::dumpKeys(ksgNode* node, const std::vector<float>& times, std::vector<kgiPoseDumper>& out)
{
    if (node == nullptr || times.empty())
        return;
    TransformOrder order;
    ksgNullVisitor leave;
    node->depthVisit(order, leave);
    // Each node's frames at every time (a node without a controller
    // samples its local matrix, the same at every time), in the map's
    // order so that each snapshot is filled from its end.
    struct Column {
        ksgNode* node;
        kmlMatrix4 local;
        bool keyed;
        std::vector<ksgMotionFrame*> frames;
    };
    std::vector<Column> columns;
    columns.reserve(order.nodes.size());
    for (ksgNode* n : order.nodes) {
        Column c{n, kmlMatrix4(), false, {}};
        if (ksgMotionController* mc = getMotionController(n)) {
            c.keyed = true;
            mc->getBaseKeyFrames(times, c.frames);
        } else {
            c.local = n->getLocal();
        }
        columns.push_back(std::move(c));
    }
    std::sort(columns.begin(), columns.end(), [](const Column& a, const Column& b) {
        return std::less<ksgNode*>()(a.node, b.node);
    });
    kgiPoseDumper work;
    work.snapshot.reserve(columns.size());
    for (size_t k = 0; k < times.size(); ++k) {
        bool complete = true;
        for (const Column& c : columns)
            complete = complete && (!c.keyed || c.frames[k] != nullptr);
        if (!complete) {
            for (Column& c : columns)
                if (c.keyed)
                    delete c.frames[k];
            continue;
        }
        work.setFlags(SAMPLE_KEY | RESTORE_KEY, times[k], times[k], -1);
        work.setRoot(node);
        for (Column& c : columns) {
            kgiPoseEntry entry;
            if (c.keyed)
                entry.frame = c.frames[k];
            else
                entry.local = c.local;
            work.snapshot.append(c.node, std::move(entry));
        }
        out.push_back(std::move(work));
        work.clear();
        work.snapshot.reserve(columns.size());
    }
}

bool kgiPoseDumper::restore()
{
    if (snapshot.empty() || root == nullptr)
        return false;
    RestorePose writer(snapshot, time2, static_cast<unsigned short>(flags & RESTORE_MASK), layer);
    ksgNullVisitor leave;
    return root->depthVisit(writer, leave);
}

bool kgiPoseDumper::getEntryMatrix(ksgNode* node, kmlMatrix4& out) const
{
    const kgiPoseEntry* entry = snapshot.find(node);
    if (entry == nullptr)
        return false;
    if (entry->frame)
        entry->frame->toMatrix(out);
    else
        out = entry->local;
    return true;
}

bool kgiPoseDumper::clear()
{
    snapshot.clear();
    root = nullptr;
    flags = DEFAULT_FLAGS;
    layer = -1;
    time1 = -1.0f;
    time2 = -1.0f;
    return true;
}

ksgVisitor::ReturnType kgiPoseDumper::exec(ksgNode* node)
{
    if (node->asTransform() == nullptr)
        return DESCEND;
    kgiPoseEntry entry;
    if (!sample(node, entry))
        return STOP;
    if (appendWalk)
        snapshot.append(node, std::move(entry));
    else
        snapshot.assign(node, std::move(entry));
    return DESCEND;
}

bool kgiPoseDumper::sample(ksgNode* node, kgiPoseEntry& entry) const
{
    delete entry.frame;
    entry.frame = nullptr;
    ksgMotionController* mc = getMotionController(node);
    if (mc)
        entry.frame = mc->newFrame();

    const unsigned short choice = static_cast<unsigned short>(flags & ~RESTORE_MASK & ~RESTORE_NONE);
    // Without a controller there is nothing else to read: every sample
    // choice takes the local matrix.
    if (choice == SAMPLE_LOCAL || mc == nullptr) {
        entry.local = node->getLocal();
        if (entry.frame)
            entry.frame->fromMatrix(entry.local);
        return true;
    }
    if (choice == SAMPLE_BUFFER || choice == SAMPLE_DEFAULT) {
        entry.local = choice == SAMPLE_BUFFER ? mc->getBuffer() : mc->getDefault();
        entry.frame->fromMatrix(entry.local);
        return true;
    }

    // SAMPLE_FRAME and SAMPLE_KEY: evaluate the curves at time1; a layer of
    // 0 or more is read alone, otherwise the base curves.
    entry.frame->setTime(time1);
    if (layer >= 0) {
        const std::vector<int> layers(1, layer);
        mc->getFrame(entry.frame, 2, layers);
    } else {
        // The base curves read no layer list.
        mc->getFrame(entry.frame, 1, ksgMotionController::NoLayerSet);
    }
    if (choice == SAMPLE_KEY && !entry.frame->isKey()) {
        delete entry.frame;
        entry.frame = nullptr;
        return false;
    }
    return true;
}

ksgVisitor::ReturnType kgiPoseDumper::RestorePose::exec(ksgNode* node)
{
    kgiPoseEntry* found = snapshot->find(node);
    if (found == nullptr)
        return DESCEND;
    kgiPoseEntry& entry = *found;

    if (flags == RESTORE_LOCAL) {
        // Only transforms are sampled, so an entry's node is a transform.
        ksgTransform* t = node->asTransform();
        if (t)
            t->setLocal(entry.local);
        return DESCEND;
    }
    if (flags != RESTORE_KEY)
        return STOP;

    ksgMotionController* mc = getMotionController(node);
    if (mc == nullptr)
        return DESCEND;
    if (entry.frame == nullptr) {
        entry.frame = mc->newFrame();
        entry.frame->fromMatrix(entry.local);
    }
    entry.frame->setTime(time2);
    return mc->addFrame(entry.frame, layer) ? DESCEND : STOP;
}
