#pragma once
// Where the picture goes inside the video window.

namespace kgi {

struct kgiMediaRect {
    int x, y, width, height;
};

// The largest rectangle of the video's shape centred in a client area
// (black bars above and below, or left and right), edges truncated to
// whole pixels. A client or video size of 0 gives the whole client area.
kgiMediaRect kgiLetterBox(int clientWidth, int clientHeight, int videoWidth, int videoHeight);

} // namespace kgi
