#include "mediaFixtures.h"

#include "support/kgiTestEnv.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

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
    GError* parseError = nullptr;
    GstElement* p = gst_parse_launch(desc.c_str(), &parseError);
    if (!p || parseError) {
        std::string why = parseError ? parseError->message : "the pipeline is not built";
        if (parseError)
            g_error_free(parseError);
        if (p)
            gst_object_unref(p);
        return noMovie(why);
    }
    gst_element_set_state(p, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(p);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    std::string why = msg ? "" : "no end of stream within 20 s";
    if (msg && !ok) {
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
    return ok ? path : noMovie(why);
}

} // namespace mediatest
