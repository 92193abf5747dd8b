#include "kgiMediaPipeline.h"

#include "platform/path.h"

#include <gst/gst.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <cmath>
#include <cstdlib>
#include <mutex>

namespace kgi {

namespace {

// playbin's "flags" bits (GstPlayFlags lives in a plug-in, not a header).
constexpr guint PLAY_FLAG_VIDEO = 1u << 0;
constexpr guint PLAY_FLAG_TEXT = 1u << 2;

std::string envOr(const char* name, const char* fallback)
{
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : std::string(fallback);
}

// Runs on the thread that posts each message. A sink about to open a
// window of its own gets ours instead (the handle is a value fixed at
// open(), 0 for none, so nothing shared is touched here). Only the end of
// the stream and errors stay on the bus: nobody else reads it, and the
// host may go on seeking a paused track for as long as it lives without
// ever asking whether it has ended, so everything else would pile up.
GstBusSyncReply keepEndAndErrors(GstBus*, GstMessage* msg, gpointer handle)
{
    if (handle && gst_is_video_overlay_prepare_window_handle_message(msg)) {
        GstVideoOverlay* overlay = GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(msg));
        gst_video_overlay_set_window_handle(overlay, reinterpret_cast<guintptr>(handle));
        // Clicks and drags belong to the window (see kgiMovieDlg::attach).
        gst_video_overlay_handle_events(overlay, FALSE);
        return GST_BUS_DROP;
    }
    GstMessageType type = GST_MESSAGE_TYPE(msg);
    if (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR)
        return GST_BUS_PASS;
    return GST_BUS_DROP;
}

std::string errorText(GstMessage* msg)
{
    GError* err = nullptr;
    gst_message_parse_error(msg, &err, nullptr);
    std::string text = err ? err->message : "unknown error";
    if (err)
        g_error_free(err);
    return text;
}

GstElement* makeSink(const std::string& description, std::string* error)
{
    GError* err = nullptr;
    GstElement* e = gst_parse_bin_from_description(description.c_str(), TRUE, &err);
    if (!e) {
        *error = "cannot make sink \"" + description + "\": " + (err ? err->message : "?");
        if (err)
            g_error_free(err);
    } else if (err) {
        g_error_free(err);
    }
    return e;
}

// A sink that draws into a window it is given and scales the picture to
// the rectangle the window asks for, tried in order of picture quality;
// one that cannot start (a display without XVideo, without OpenGL) is
// passed over. The plain X image sink comes last: it never scales, the
// picture would sit at its own size whatever the window's layout. Not the
// automatic choice: without an X sink installed that may pick a terminal
// sink.
std::string windowSink()
{
    for (const char* name : {"xvimagesink", "glimagesink", "ximagesink"}) {
        GstElement* e = gst_element_factory_make(name, nullptr);
        if (!e)
            continue;
        gst_object_ref_sink(e);
        bool works = gst_element_set_state(e, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
        gst_element_set_state(e, GST_STATE_NULL);
        gst_object_unref(e);
        if (works)
            return name;
    }
    return "fakesink sync=true";
}

} // namespace

bool kgiMediaInit()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = gst_init_check(nullptr, nullptr, nullptr); });
    return ok;
}

double kgiMediaLinearVolume(int hundredthsDb)
{
    if (hundredthsDb > 0)
        return -1.0;
    if (hundredthsDb <= -10000)
        return 0.0;
    // 20 dB per decade of amplitude, 100 steps per decibel.
    return std::pow(10.0, hundredthsDb / 2000.0);
}

bool kgiMediaNanoseconds(float ms, std::int64_t* ns)
{
    if (!std::isfinite(ms))
        return false;
    if (ms <= 0.0f) {
        *ns = 0;
        return true;
    }
    double v = static_cast<double>(ms) * 1e6;
    if (v >= 9.2e18)  // just under INT64_MAX
        return false;
    *ns = static_cast<std::int64_t>(v);
    return true;
}

kgiMediaPipeline::Sinks kgiMediaPipeline::defaultSinks()
{
    Sinks s;
    s.audio = envOr("KGI_MEDIA_AUDIO_SINK", "autoaudiosink");
    s.video = envOr("KGI_MEDIA_VIDEO_SINK", "");
    return s;
}

bool kgiMediaPipeline::open(const std::string& path, bool withVideo,
                            std::uintptr_t windowHandle, std::string* error)
{
    close();
    if (!kgiMediaInit()) {
        *error = "media framework not available";
        return false;
    }
    // Paths from the Windows-era lists may use '\'; try that spelling only
    // when the path as given names no file.
    std::string file = path;
    if (!g_file_test(file.c_str(), G_FILE_TEST_IS_REGULAR))
        file = platform::toNativePath(path);
    if (file.empty() || !g_file_test(file.c_str(), G_FILE_TEST_IS_REGULAR)) {
        *error = "no such file";
        return false;
    }
    gchar* uri = gst_filename_to_uri(file.c_str(), nullptr);
    if (!uri) {
        *error = "cannot make a URI of the path";
        return false;
    }
    pipeline = gst_element_factory_make("playbin", nullptr);
    if (!pipeline) {
        g_free(uri);
        *error = "playbin missing";
        return false;
    }
    gst_object_ref_sink(pipeline);
    g_object_set(pipeline, "uri", uri, nullptr);
    g_free(uri);

    guint flags = 0;
    g_object_get(pipeline, "flags", &flags, nullptr);
    flags &= ~PLAY_FLAG_TEXT;
    if (!withVideo)
        flags &= ~PLAY_FLAG_VIDEO;
    g_object_set(pipeline, "flags", flags, nullptr);

    GstElement* audio = makeSink(sinks.audio.empty() ? "autoaudiosink" : sinks.audio, error);
    if (!audio) {
        close();
        return false;
    }
    g_object_set(pipeline, "audio-sink", audio, nullptr);
    if (withVideo) {
        // Without a window the pictures are decoded and dropped in step
        // with the clock rather than popping up a window of the sink's own.
        std::string desc = sinks.video;
        if (desc.empty())
            desc = windowHandle ? windowSink() : "fakesink sync=true";
        GstElement* video = makeSink(desc, error);
        if (!video) {
            close();
            return false;
        }
        g_object_set(pipeline, "video-sink", video, nullptr);
    } else if (GstElement* none = gst_element_factory_make("fakesink", nullptr)) {
        // Even with video off, playbin tries the system's video sinks one
        // by one for a file that has pictures (X, Wayland, DirectFB, ...);
        // some take seconds to fail or crash without a screen. A sink that
        // drops everything keeps it from looking.
        g_object_set(pipeline, "video-sink", none, nullptr);
    }

    bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, keepEndAndErrors, reinterpret_cast<gpointer>(windowHandle),
                             nullptr);
    if (!waitReady(error)) {
        close();
        return false;
    }
    readStreams();
    return true;
}

bool kgiMediaPipeline::waitReady(std::string* error)
{
    GstStateChangeReturn ret = gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (ret == GST_STATE_CHANGE_ASYNC)
        ret = gst_element_get_state(pipeline, nullptr, nullptr,
                                    GstClockTime(OPEN_TIMEOUT_MS) * GST_MSECOND);
    if (ret == GST_STATE_CHANGE_SUCCESS || ret == GST_STATE_CHANGE_NO_PREROLL)
        return true;
    if (ret == GST_STATE_CHANGE_ASYNC) {
        *error = "timed out opening the file";
        return false;
    }
    // The bus keeps errors, so the reason is there when there is one.
    GstMessage* msg = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    *error = msg ? errorText(msg) : "cannot open the file";
    if (msg)
        gst_message_unref(msg);
    return false;
}

void kgiMediaPipeline::readStreams()
{
    g_object_get(pipeline, "n-video", &nVideo, "n-audio", &nAudio, nullptr);
    width = height = 0;
    if (nVideo > 0) {
        GstPad* pad = nullptr;
        g_signal_emit_by_name(pipeline, "get-video-pad", 0, &pad);
        if (pad) {
            if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
                GstVideoInfo info;
                if (gst_video_info_from_caps(&info, caps)) {
                    width = GST_VIDEO_INFO_WIDTH(&info);
                    height = GST_VIDEO_INFO_HEIGHT(&info);
                }
                gst_caps_unref(caps);
            }
            gst_object_unref(pad);
        }
        GstElement* sink = nullptr;
        g_object_get(pipeline, "video-sink", &sink, nullptr);
        if (sink) {
            if (GST_IS_BIN(sink) && !GST_IS_VIDEO_OVERLAY(sink)) {
                if (GstElement* inner =
                        gst_bin_get_by_interface(GST_BIN(sink), GST_TYPE_VIDEO_OVERLAY)) {
                    gst_object_unref(sink);
                    sink = inner;
                }
            }
            renderer = sink;  // keeps the reference until close()
        }
    }
    seekable = false;
    GstQuery* q = gst_query_new_seeking(GST_FORMAT_TIME);
    if (gst_element_query(pipeline, q)) {
        gboolean can = FALSE;
        gst_query_parse_seeking(q, nullptr, &can, nullptr, nullptr);
        seekable = can;
    }
    gst_query_unref(q);
}

void kgiMediaPipeline::close()
{
    if (renderer) {
        gst_object_unref(renderer);
        renderer = nullptr;
    }
    if (pipeline) {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        pipeline = nullptr;
    }
    if (bus) {
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        bus = nullptr;
    }
    nVideo = nAudio = width = height = 0;
    seekable = false;
}

bool kgiMediaPipeline::run()
{
    return pipeline &&
           gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool kgiMediaPipeline::pause()
{
    if (!pipeline ||
        gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        return false;
    return gst_element_get_state(pipeline, nullptr, nullptr,
                                 STATE_TIMEOUT_MS * GST_MSECOND) != GST_STATE_CHANGE_FAILURE;
}

bool kgiMediaPipeline::seekTo(float ms)
{
    std::int64_t ns = 0;
    if (!pipeline || !kgiMediaNanoseconds(ms, &ns))
        return false;
    if (!gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                                 GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), ns))
        return false;
    // A flushing seek prerolls again; wait for the picture at the new place.
    return gst_element_get_state(pipeline, nullptr, nullptr,
                                 STATE_TIMEOUT_MS * GST_MSECOND) != GST_STATE_CHANGE_FAILURE;
}

bool kgiMediaPipeline::position(double* ms)
{
    gint64 ns = 0;
    if (!pipeline || !gst_element_query_position(pipeline, GST_FORMAT_TIME, &ns) || ns < 0)
        return false;
    *ms = double(ns) / 1e6;
    return true;
}

bool kgiMediaPipeline::duration(double* ms)
{
    gint64 ns = 0;
    if (!pipeline || !gst_element_query_duration(pipeline, GST_FORMAT_TIME, &ns) || ns < 0)
        return false;
    *ms = double(ns) / 1e6;
    return true;
}

bool kgiMediaPipeline::isRunning()
{
    if (!pipeline)
        return false;
    GstState state = GST_STATE_NULL;
    if (gst_element_get_state(pipeline, &state, nullptr, STATE_TIMEOUT_MS * GST_MSECOND) ==
        GST_STATE_CHANGE_FAILURE)
        return false;
    return state == GST_STATE_PLAYING;
}

bool kgiMediaPipeline::pollEnd()
{
    if (!bus)
        return false;
    bool ended = false;
    // Only these two kinds reach the bus (see open()).
    while (GstMessage* msg = gst_bus_pop_filtered(
               bus, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
        ended = true;
        gst_message_unref(msg);
    }
    return ended;
}

bool kgiMediaPipeline::setVolume(int hundredthsDb)
{
    double v = kgiMediaLinearVolume(hundredthsDb);
    if (!pipeline || v < 0.0)
        return false;
    g_object_set(pipeline, "volume", v, nullptr);
    return true;
}

} // namespace kgi
