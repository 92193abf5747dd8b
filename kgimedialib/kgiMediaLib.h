#pragma once
// Entry points of the media plug-in, looked up by name after the host
// loads kgimedialib.so. The host binds all four or none.
#include "kgiMediaTrack.h"
#include "kgiMediaWindow.h"

namespace FX { class FXWindow; }

extern "C" {

// Opens a file as a movie track, else as a sound track; null when neither
// can play it. Files named .wav, .mp3, .ogg or .aiff (any case) are only
// tried as sound. The caller owns the track until DestroyMediaTrack.
kgi::kgiMediaTrack* CreateMediaTrack(const char* path);
// Deletes a track from CreateMediaTrack; null is ignored.
void DestroyMediaTrack(kgi::kgiMediaTrack* track);

// The one video window, made on the first call as a dialog owned by parent
// (null: a free top-level window) and placed on every call: width < 0 means
// 320, height < 0 means 240, x < 0 or y < 0 puts that edge against the
// right or bottom of the screen. Later calls ignore parent. Null when the
// host's FXApp does not exist or has no display yet.
kgi::kgiMediaWindow* CreateMediaWindow(FX::FXWindow* parent, int x, int y, int width,
                                       int height);
// Deletes the window; nothing when there is none.
void DestroyMediaWindow();

typedef kgi::kgiMediaTrack* (*kgiCreateMediaTrackFn)(const char*);
typedef void (*kgiDestroyMediaTrackFn)(kgi::kgiMediaTrack*);
typedef kgi::kgiMediaWindow* (*kgiCreateMediaWindowFn)(FX::FXWindow*, int, int, int, int);
typedef void (*kgiDestroyMediaWindowFn)();

} // extern "C"
