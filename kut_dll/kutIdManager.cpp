#include "kutIdManager.h"

#include <algorithm>
#include <climits>

kutIdManager::kutIdManager() : nextId(0) {}

int kutIdManager::newId()
{
    if (freeIds.empty()) {
        if (nextId == INT_MAX)
            return -1;
        return nextId++;
    }
    const int id = freeIds.back();
    freeIds.pop_back();
    return id;
}

void kutIdManager::removeId(int id)
{
    if (id < 0 || id >= nextId)
        return;
    if (std::find(freeIds.begin(), freeIds.end(), id) != freeIds.end())
        return;
    // Every free id stays below nextId: the highest id is only ever in use
    // here, so lowering nextId past it hands nothing out twice.
    if (id == nextId - 1)
        --nextId;
    else
        freeIds.push_back(id);
}

int kutIdManager::count() const
{
    return nextId - static_cast<int>(freeIds.size());
}
