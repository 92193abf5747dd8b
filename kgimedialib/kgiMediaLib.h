#pragma once
// Entry points of the media plug-in, looked up by name after the host
// loads kgimedialib.so. The host binds all four or none.
#include "kgiMediaTrack.h"
#include "kgiMediaWindow.h"

namespace FX { class FXWindow; }

// The plug-in is built with every symbol hidden; these four alone are seen.
#define KGI_MEDIA_EXPORT __attribute__((visibility("default")))

extern "C" {

// Opens a file as a movie track, else as a sound track; null when neither
// can play it. Files named .wav, .mp3, .ogg or .aiff (any case) are only
// tried as sound. The caller owns the track until DestroyMediaTrack.
KGI_MEDIA_EXPORT kgi::kgiMediaTrack* CreateMediaTrack(const char* path);
// Deletes a track from CreateMediaTrack; null is ignored.
KGI_MEDIA_EXPORT void DestroyMediaTrack(kgi::kgiMediaTrack* track);

// The one video window, made on the first call as a dialog owned by parent
// (null: a free top-level window) and placed on every call: width < 0 means
// 320, height < 0 means 240, x < 0 or y < 0 puts that edge against the
// right or bottom of the work area. Later calls ignore parent. Null, and
// no window made, when the host's FXApp does not exist, has no display or
// is not created yet, or when parent has no X window yet.
KGI_MEDIA_EXPORT kgi::kgiMediaWindow* CreateMediaWindow(FX::FXWindow* parent, int x, int y,
                                                        int width, int height);
// Deletes the window; nothing when there is none.
KGI_MEDIA_EXPORT void DestroyMediaWindow();

typedef kgi::kgiMediaTrack* (*kgiCreateMediaTrackFn)(const char*);
typedef void (*kgiDestroyMediaTrackFn)(kgi::kgiMediaTrack*);
typedef kgi::kgiMediaWindow* (*kgiCreateMediaWindowFn)(FX::FXWindow*, int, int, int, int);
typedef void (*kgiDestroyMediaWindowFn)();

} // extern "C"
