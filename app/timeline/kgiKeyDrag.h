#pragma once
// The edits a key drag on the frame line makes to a copy of the character's
// key-time list, one call per pointer motion, and the pan step of a ruler
// dragged sideways. Plain functions over plain values, so they run without
// a widget, a character or a display.
//
// Every edit starts again from the values taken at the press (the key's
// index, its frame and its neighbours' frames) and from the list as the
// previous motion left it, so a pointer going back and forth never drifts:
// what one motion displaced is put back before the next displacement.
// On release the frame line records the edit as an undo entry from
// `fromFrame` to `toFrame`, whose replay (kgiPreservativeKeysUndo::moveKey,
// pushKeys, pullKeys on the list as it was at the press) gives the same list.
#include <cstddef>
#include <vector>

struct kgiKeyDrag {
    int keyIndex = -1;
    int fromFrame = -1;     // the key's frame at the press
    int toFrame = -1;       // where the key stands now (the list's value)
    int prevKeyFrame = -1;  // the key before it at the press, -1 for none
    int nextKeyFrame = -1;  // the key after it at the press, -1 for none

    // The drag of key `index` of an ascending list of whole frames; false
    // (the drag untouched) when the list has no such key.
    bool start(const std::vector<float>& times, int index);
};

// Each edit takes the pointer's frame f and ends with toFrame = the key's
// new time. False, with the list and the drag untouched, when the list no
// longer has the dragged key (it changed under the drag).
//
// Move: the key alone, kept one frame clear of its neighbours; without a
// next key it stops at `last`, the right end of the visible window.
bool kgiMoveDrag(std::vector<float>& times, kgiKeyDrag& drag, int f, int last);
// Push: the keys ahead of the key in the drag's direction go with it,
// keeping their distances; when the first key would go below frame 0 the
// keys up to the dragged one stop so that it lands on 0.
bool kgiPushDrag(std::vector<float>& times, kgiKeyDrag& drag, int f);
// Pull: the keys behind the key follow it; the key stops one frame short of
// the neighbour it moves towards (of frame 0 when there is none before it).
bool kgiPullDrag(std::vector<float>& times, kgiKeyDrag& drag, int f);

// A ruler being panned: its window and the column that stays under the
// pointer.
struct kgiPanWindow {
    int first = 0;
    int last = 0;
    int hoverFrame = -1;
    int anchor = 0;
};

// Whole frames between the anchor and the pointer d pixels right of it,
// rounded towards minus infinity: positive when the pointer went right.
int kgiPanFrames(int d, int pixelsPerFrame);
// One motion of a pan to pointer column px: the window slides by the whole
// frames the pointer moved (later frames come in from the right when it
// goes left), never starting before frame 0, and the anchor follows by
// those frames. Returns the frames moved (n, as kgiPanFrames gives it).
int kgiPanStep(kgiPanWindow& w, int px, int pixelsPerFrame);
