#pragma once
// Small integer ids handed out and taken back for reuse. A value type:
// copies hand out ids independently of the original.
#include <vector>

class kutIdManager {
public:
    kutIdManager();

    // The most recently removed id when there is one, else the lowest id never
    // handed out. -1 when every non-negative int is in use.
    int newId();
    // Gives an id back. An id that is negative, was never handed out or is
    // already free is ignored, so no id can be handed out twice.
    void removeId(int id);
    // Ids in use.
    int count() const;

private:
    int nextId;               // lowest id never handed out
    std::vector<int> freeIds; // ids given back, in the order they came back
};
