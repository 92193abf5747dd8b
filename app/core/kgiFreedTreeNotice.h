#pragma once
// The notice a character gives just before it frees its model tree
// (kgiCharacter::reset with a model, which removing a character, removing
// all of them and a reload pass through). Whoever keeps node pointers into
// a character's tree (canvases, the robot joint table, the options dialog)
// subscribes and drops them when told; after the notice the nodes are
// freed, so a listener must not keep or dereference anything below root.
//
// Listeners unsubscribe before they are destroyed. The list itself lives
// until the process ends, so a listener destroyed during static
// destruction may still unsubscribe safely.

class kgiCharacter;
class ksgNode;

class kgiFreedTreeListener {
public:
    virtual ~kgiFreedTreeListener() = default;
    // The character's tree below (and including) root is about to be freed.
    virtual void treeFreed(kgiCharacter* character, ksgNode* root) = 0;
};

namespace kgiFreedTreeNotice {

// Adds a listener once (a second subscribe changes nothing).
void subscribe(kgiFreedTreeListener* listener);
// Removes it; nothing when it is not subscribed. Safe inside a notice.
void unsubscribe(kgiFreedTreeListener* listener);
bool isSubscribed(const kgiFreedTreeListener* listener);
// Tells every listener, in subscription order. A listener that unsubscribes
// during the notice is not told afterwards; one that subscribes during it
// hears the next notice.
void raise(kgiCharacter* character, ksgNode* root);

} // namespace kgiFreedTreeNotice
