#pragma once

#include "kutObject.h"

class ksgNode;

// The payload a node carries (the application derives its per-node data
// from it). The node owns the payload and sets its owner in setData.
class ksgNodeData : public kutObject {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    explicit ksgNodeData(ksgNode* owner = nullptr);
    // A copy belongs to no node yet.
    ksgNodeData(const ksgNodeData& other);
    ~ksgNodeData() override;
    // Copies nothing: the owner stays.
    ksgNodeData& operator=(const ksgNodeData&) { return *this; }

    ksgNode* getOwner() const { return owner; }
    void setOwner(ksgNode* node) { owner = node; }

private:
    ksgNode* owner;
};
