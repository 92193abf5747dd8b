#include "kgiGhost.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "kgcMaterial.h"
#include "kgcMesh.h"
#include "kgiCharacter.h"
#include "kgiWorld.h"
#include "ksgModel.h"
#include "ksgState.h"
#include "ksgStateParam.h"
#include "ksgTransform.h"
#include "ksgVisualState.h"

namespace {

kgiGhost* theGhost = nullptr;
int ghostUsers = 0;

// Sample the controllers' frame at a time; never restored.
const unsigned short SNAPSHOT_FLAGS = kgiPoseDumper::SAMPLE_FRAME | kgiPoseDumper::RESTORE_NONE;

} // namespace

kgiGhost::kgiGhost() : state(new ksgState)
{
    updateAlphaStep();
    state->setMode(GL_BLEND, true);
    state->setMode(GL_POLYGON_OFFSET_FILL, true);
    state->addParam(new ksgBlendParam(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
    state->addParam(new ksgPolygonModeParam(GL_FRONT_AND_BACK, GL_FILL));
    state->addParam(new ksgPolygonOffsetParam(1.0f, 1.0f));
    materialIndex = state->addParam(new ksgMaterialParam());
}

kgiGhost::~kgiGhost() { delete state; }

void kgiGhost::updateAlphaStep() { alphaStep = range > 0.001f ? alpha / static_cast<float>(range) : alpha; }

kgcMaterial* kgiGhost::material() const
{
    auto* p = static_cast<ksgMaterialParam*>(state->getParam(materialIndex));
    return p != nullptr ? p->getMaterial() : nullptr;
}

void kgiGhost::setMaterial(kgcMaterial* m)
{
    if (m == nullptr || materialIndex < 0)
        return;
    if (auto* p = static_cast<ksgMaterialParam*>(state->getParam(materialIndex)))
        p->setMaterial(m);
}

void kgiGhost::setMode(int m) { mode = std::clamp(m, 0, 2); }

void kgiGhost::setRange(float frames)
{
    range = static_cast<int>(std::fabs(frames));
    updateAlphaStep();
}

void kgiGhost::setAlpha(float a)
{
    alpha = std::clamp(a, 0.0f, 1.0f);
    updateAlphaStep();
}

void kgiGhost::setGhostCounts(int before, int after)
{
    countBefore = std::abs(before);
    countAfter = std::abs(after);
}

float kgiGhost::ghostTime(const std::vector<float>& keys, int mode, float t, int k)
{
    if (mode == 0)
        return t;
    if (mode == 1)
        return t - static_cast<float>(k);
    const long i = std::upper_bound(keys.begin(), keys.end(), t) - keys.begin();
    const long j = k > 0 ? i + k - 1 : i + k;
    if (j < 0 || j >= static_cast<long>(keys.size()))
        return NO_KEY;
    return keys[static_cast<size_t>(j)];
}

bool kgiGhost::accepts(float t, float g, int frameCount) const
{
    if (g < 0.0f || !(g < static_cast<float>(frameCount)))
        return false;
    return std::fabs(g - t) <= static_cast<float>(range);
}

bool kgiGhost::prepareGhost(kgiCharacter* c, float t, int k)
{
    character = nullptr;
    if (c == nullptr || c->getRoot() == nullptr)
        return false;
    const float g = ghostTime(c->getKeyTimes(), mode, t, k);
    if (!accepts(t, g, c->getFrameCount()))
        return false;
    character = c;
    // Never below 0: the material refuses an opacity outside 0..1 and would
    // keep the previous ghost's.
    ghostAlpha = std::max(0.0f, alpha - std::fabs(t - g) * alphaStep);
    dumper.clear();
    dumper.setFlags(SNAPSHOT_FLAGS, g, -1.0f, -1);
    dumper.dump(c->getRoot());
    return true;
}

void kgiGhost::drawGhost(ksgVisualState& vs)
{
    if (character == nullptr)
        return;
    if (kgcMaterial* m = material())
        m->setAlpha(ghostAlpha);
    vs.pushState(state);
    RenderEnter enter(vs, dumper);
    RenderLeave leave(vs);
    character->getRoot()->depthVisit(enter, leave);
    vs.popState();
}

void kgiGhost::render(ksgVisualState& vs, kgiCharacter* c, float time)
{
    // The material is shared with the picked highlight: its opacity goes
    // back as it was once the ghosts are drawn.
    kgcMaterial* m = material();
    const kgcMaterial saved = m != nullptr ? *m : kgcMaterial();
    if (mode == 0) {
        drawGhost(vs);
    } else {
        for (int k = -countBefore; k <= countAfter; ++k) {
            if (k != 0 && prepareGhost(c, time, k))
                drawGhost(vs);
        }
    }
    if (m != nullptr)
        *m = saved;
}

ksgVisitor::ReturnType kgiGhost::RenderEnter::exec(ksgNode* node)
{
    if (node->isKind(&ksgTransform::RTTI)) {
        const ksgTransform* t = node->asTransform();
        kmlMatrix4 m = t->getLocal();
        dumper->getEntryMatrix(node, m);
        vs->pushMatrix();
        vs->multMatrix(t->getOffset() * m);
    } else if (const ksgModel* model = node->asModel()) {
        if (model->getMesh() != nullptr && model->isShown())
            model->getMesh()->render();
    }
    return DESCEND;
}

ksgVisitor::ReturnType kgiGhost::RenderLeave::exec(ksgNode* node)
{
    if (node->isKind(&ksgTransform::RTTI))
        vs->popMatrix();
    return DESCEND;
}

kgiGhost* kgiGhost::acquire()
{
    if (ghostUsers++ == 0) {
        kgiWorld* world = kgiWorld::instance();
        const kgiGhostSetup& setup = world->getGhostSetup();
        theGhost = new kgiGhost;
        theGhost->setMode(setup.mode);
        theGhost->setRange(setup.range);
        theGhost->setGhostCounts(setup.before, setup.after);
        theGhost->setMaterial(setup.material);
        if (kgiScene* scene = world->getScene())
            scene->setGhostPainter(theGhost);
    }
    return theGhost;
}

void kgiGhost::release()
{
    if (ghostUsers == 0 || --ghostUsers > 0)
        return;
    if (kgiScene* scene = kgiWorld::instance()->getScene())
        scene->setGhostPainter(nullptr);
    delete theGhost;
    theGhost = nullptr;
}

kgiGhost* kgiGhost::shared() { return theGhost; }
