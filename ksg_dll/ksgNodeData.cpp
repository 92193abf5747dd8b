#include "ksgNodeData.h"

const kutRtti ksgNodeData::RTTI("ksgNodeData", &kutObject::RTTI);
const kutRtti* ksgNodeData::getRtti() const { return &RTTI; }

ksgNodeData::ksgNodeData(ksgNode* node) : owner(node) {}

ksgNodeData::ksgNodeData(const ksgNodeData& other) : kutObject(other), owner(nullptr) {}

ksgNodeData::~ksgNodeData() = default;
