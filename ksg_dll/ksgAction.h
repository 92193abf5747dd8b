#pragma once

class ksgNode;

// An operation on a node; the base does nothing and reports false.
class ksgAction {
public:
    bool exec(ksgNode* node);
};
