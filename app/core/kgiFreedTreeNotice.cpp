#include "kgiFreedTreeNotice.h"

#include <algorithm>
#include <vector>

namespace {

// Never freed: listeners that are themselves static may unsubscribe at
// exit, after a static list would already be gone.
std::vector<kgiFreedTreeListener*>& listeners()
{
    static auto* list = new std::vector<kgiFreedTreeListener*>();
    return *list;
}

} // namespace

void kgiFreedTreeNotice::subscribe(kgiFreedTreeListener* listener)
{
    if (listener && !isSubscribed(listener))
        listeners().push_back(listener);
}

void kgiFreedTreeNotice::unsubscribe(kgiFreedTreeListener* listener)
{
    auto& list = listeners();
    list.erase(std::remove(list.begin(), list.end(), listener), list.end());
}

bool kgiFreedTreeNotice::isSubscribed(const kgiFreedTreeListener* listener)
{
    const auto& list = listeners();
    return std::find(list.begin(), list.end(), listener) != list.end();
}

void kgiFreedTreeNotice::raise(kgiCharacter* character, ksgNode* root)
{
    // A copy, so listeners may (un)subscribe while being told.
    const std::vector<kgiFreedTreeListener*> told = listeners();
    for (kgiFreedTreeListener* l : told)
        if (isSubscribed(l))
            l->treeFreed(character, root);
}
