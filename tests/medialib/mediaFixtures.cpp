#include "mediaFixtures.h"

#include "support/kgiTestEnv.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <unistd.h>

namespace mediatest {

namespace {

struct Scratch {
    std::string dir;
    Scratch()
    {
        char tmpl[] = "/tmp/kgimedia_testXXXXXX";
        if (char* d = mkdtemp(tmpl))
            dir = std::string(d) + "/";
    }
    ~Scratch()
    {
        std::error_code ignored;
        if (!dir.empty())
            std::filesystem::remove_all(dir, ignored);
    }
};

// Outside ./test a missing encoder is the machine's business and the
// caller skips; ./test installs the encoders, so there it is a fault.
std::string noMovie(const std::string& why)
{
    if (kgiTestEnvRequired())
        ADD_FAILURE() << "cannot make a movie: " << why;
    return "";
}

void put16(std::string& s, unsigned v)
{
    s += char(v & 0xff);
    s += char((v >> 8) & 0xff);
}
void put32(std::string& s, std::uint32_t v)
{
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

// A pipeline built from its description; null, with the reason, when it
// does not build.
GstElement* launch(const std::string& desc, std::string& why)
{
    GError* error = nullptr;
    GstElement* p = gst_parse_launch(desc.c_str(), &error);
    if (p && !error)
        return p;
    why = error ? error->message : "the pipeline is not built";
    if (error)
        g_error_free(error);
    if (p)
        gst_object_unref(p);
    return nullptr;
}

// Waits up to `seconds` for the running pipeline's end of stream or error,
// then stops and frees it: empty when the stream ended, else why not.
std::string runToEnd(GstElement* p, int seconds)
{
    GstBus* bus = gst_element_get_bus(p);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, seconds * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    std::string why;
    if (!msg) {
        why = "no end of stream within " + std::to_string(seconds) + " s";
    } else if (GST_MESSAGE_TYPE(msg) != GST_MESSAGE_EOS) {
        GError* error = nullptr;
        gst_message_parse_error(msg, &error, nullptr);
        why = error ? error->message : "the pipeline failed";
        if (error)
            g_error_free(error);
    }
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(p);
    return why;
}

} // namespace

kgi::kgiMediaPipeline::Sinks fakeSinks()
{
    return {"fakesink sync=true", "fakesink sync=true"};
}

void useFakeSinksForFactory()
{
    setenv("KGI_MEDIA_AUDIO_SINK", "fakesink sync=true", 1);
    setenv("KGI_MEDIA_VIDEO_SINK", "fakesink sync=true", 1);
}

const std::string& scratchDir()
{
    static Scratch scratch;
    return scratch.dir;
}

std::string writeBytes(const std::string& name, const std::string& bytes)
{
    std::string path = scratchDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string writeWav(const std::string& name, int ms)
{
    const unsigned rate = 8000;
    const std::uint32_t samples = rate * unsigned(ms) / 1000;
    std::string w = "RIFF";
    put32(w, 36 + samples * 2);
    w += "WAVEfmt ";
    put32(w, 16);
    put16(w, 1);  // PCM
    put16(w, 1);  // mono
    put32(w, rate);
    put32(w, rate * 2);
    put16(w, 2);
    put16(w, 16);
    w += "data";
    put32(w, samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        put16(w, unsigned(std::int16_t(1000 * std::sin(i * 0.3))) & 0xffff);
    return writeBytes(name, w);
}

std::string makeMovie(const std::string& name, bool withSound)
{
    if (!gst_init_check(nullptr, nullptr, nullptr))
        return noMovie("GStreamer does not initialise");
    for (const char* e : {"videotestsrc", "theoraenc", "oggmux", "audiotestsrc", "vorbisenc"}) {
        GstElementFactory* f = gst_element_factory_find(e);
        if (!f)
            return noMovie(std::string("no GStreamer element ") + e);
        gst_object_unref(f);
    }
    std::string path = scratchDir() + name;
    std::string desc = "oggmux name=mux ! filesink location=\"" + path +
                       "\" videotestsrc num-buffers=30 ! "
                       "video/x-raw,width=64,height=48,framerate=30/1 ! theoraenc ! queue ! mux. ";
    if (withSound)
        desc += "audiotestsrc num-buffers=10 samplesperbuffer=4410 ! "
                "audio/x-raw,rate=44100,channels=1 ! audioconvert ! vorbisenc ! queue ! mux. ";
    std::string why;
    GstElement* p = launch(desc, why);
    if (!p)
        return noMovie(why);
    gst_element_set_state(p, GST_STATE_PLAYING);
    why = runToEnd(p, 20);
    return why.empty() ? path : noMovie(why);
}

std::string makeClip(const std::string& name, const std::string& encode, int width, int height,
                     int seconds)
{
    if (!gst_init_check(nullptr, nullptr, nullptr))
        return "";
    const int fps = 25;
    std::string path = scratchDir() + name;
    std::string desc = "appsrc name=src format=time caps=video/x-raw,format=BGRx,width=" +
                       std::to_string(width) + ",height=" + std::to_string(height) +
                       ",framerate=" + std::to_string(fps) + "/1 ! videoconvert ! " + encode +
                       " ! filesink location=\"" + path + "\"";
    std::string why;
    GstElement* p = launch(desc, why);
    if (!p)
        return "";
    GstElement* src = gst_bin_get_by_name(GST_BIN(p), "src");
    gst_element_set_state(p, GST_STATE_PLAYING);
    const gsize bytes = gsize(width) * gsize(height) * 4;
    for (int i = 0; i < seconds * fps; ++i) {
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        // BGRx: red in the first second, green after.
        const guint8 pixel[4] = {0, guint8(i < fps ? 0 : 255), guint8(i < fps ? 255 : 0), 255};
        for (gsize b = 0; b < bytes; b += 4)
            std::copy(pixel, pixel + 4, map.data + b);
        gst_buffer_unmap(buffer, &map);
        GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(guint64(i), GST_SECOND, fps);
        GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(1, GST_SECOND, fps);
        GstFlowReturn flow = GST_FLOW_OK;
        g_signal_emit_by_name(src, "push-buffer", buffer, &flow);
        gst_buffer_unref(buffer);
        if (flow != GST_FLOW_OK)
            break;
    }
    GstFlowReturn flow = GST_FLOW_OK;
    g_signal_emit_by_name(src, "end-of-stream", &flow);
    gst_object_unref(src);
    return runToEnd(p, 60).empty() ? path : "";
}

double decodedSeconds(const std::string& path)
{
    if (!gst_init_check(nullptr, nullptr, nullptr))
        return 0.0;
    std::string desc = "filesrc location=\"" + path +
                       "\" ! decodebin ! fakesink name=sink sync=false signal-handoffs=true";
    std::string why;
    GstElement* p = launch(desc, why);
    if (!p)
        return 0.0;
    // First picture's start and last picture's end: some containers start
    // their clock above 0.
    struct Span {
        GstClockTime first = GST_CLOCK_TIME_NONE;
        GstClockTime end = 0;
    } span;
    GstElement* sink = gst_bin_get_by_name(GST_BIN(p), "sink");
    g_signal_connect(sink, "handoff",
                     G_CALLBACK(+[](GstElement*, GstBuffer* b, GstPad*, gpointer data) {
                         auto* s = static_cast<Span*>(data);
                         if (!GST_BUFFER_PTS_IS_VALID(b))
                             return;
                         GstClockTime pts = GST_BUFFER_PTS(b);
                         GstClockTime length = GST_BUFFER_DURATION_IS_VALID(b) ? GST_BUFFER_DURATION(b) : 0;
                         if (s->first == GST_CLOCK_TIME_NONE || pts < s->first)
                             s->first = pts;
                         s->end = std::max(s->end, pts + length);
                     }),
                     &span);
    gst_object_unref(sink);
    gst_element_set_state(p, GST_STATE_PLAYING);
    const bool ok = runToEnd(p, 60).empty();
    if (!ok || span.first == GST_CLOCK_TIME_NONE)
        return 0.0;
    return double(span.end - span.first) / 1e9;
}

} // namespace mediatest
