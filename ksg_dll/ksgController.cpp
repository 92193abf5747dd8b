#include "ksgController.h"

const kutRtti ksgController::RTTI("ksgController", &kutObject::RTTI);
const kutRtti ksgStaticController::RTTI("ksgStaticController", &ksgController::RTTI);
const kutRtti ksgTimeBasedController::RTTI("ksgTimeBasedController", &ksgController::RTTI);
const kutRtti ksgInputBasedController::RTTI("ksgInputBasedController", &ksgController::RTTI);

const kutRtti* ksgController::getRtti() const { return &RTTI; }
const kutRtti* ksgStaticController::getRtti() const { return &RTTI; }
const kutRtti* ksgTimeBasedController::getRtti() const { return &RTTI; }
const kutRtti* ksgInputBasedController::getRtti() const { return &RTTI; }

ksgController::ksgController() : enabled(true), target(nullptr) {}

ksgController::ksgController(const ksgController& other)
    : kutObject(other), enabled(other.enabled), target(nullptr)
{
}

ksgController& ksgController::operator=(const ksgController& other)
{
    kutObject::operator=(other);
    enabled = other.enabled;
    return *this;
}

ksgController::~ksgController() = default;

void ksgController::setTarget(ksgNode* node) { target = node; }

bool ksgStaticController::update()
{
    return getTarget() != nullptr && isEnabled();
}

ksgTimeBasedController::ksgTimeBasedController() : lastUpdateTime(0.0f) {}

bool ksgTimeBasedController::update(float t, bool absolute)
{
    if (getTarget() == nullptr || !isEnabled())
        return false;
    if (!absolute)
        t += lastUpdateTime;
    if (!update(t))
        return false;
    lastUpdateTime = t;
    return true;
}

bool ksgInputBasedController::update(const kmlVec3&, bool)
{
    return getTarget() != nullptr && isEnabled();
}
