#include "kgiMovieEncoder.h"

#include <gst/gst.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// How long the encoder may take to finish after the last buffer: the
// pictures of a short movie are encoded within seconds even on a busy
// machine, so this only stops a stuck pipeline from hanging the build.
const int FINISH_TIMEOUT_S = 300;

// The file sink's location is set as a property afterwards, so no path
// character can change the pipeline's description.
std::string describe(const kgiMovieFormat& f)
{
    const std::string size = ",width=" + std::to_string(f.width) + ",height=" +
                             std::to_string(f.height) + ",framerate=" +
                             std::to_string(f.framesPerSecond) + "/1";
    return "appsrc name=video format=time caps=video/x-raw,format=RGB" + size +
           " ! videoconvert ! jpegenc quality=" + std::to_string(f.jpegQuality) +
           " ! queue ! avimux name=mux ! filesink name=file"
           " appsrc name=audio format=time caps=audio/x-raw,format=S16LE,layout=interleaved,rate=" +
           std::to_string(f.sampleRate) + ",channels=1 ! queue ! mux.";
}

// The picture as GStreamer's packed RGB: rows top first, each padded to a
// multiple of 4 bytes.
GstBuffer* pictureBuffer(const kgiPicture& p, int frame, int fps)
{
    const gsize stride = (gsize(p.getWidth()) * 3 + 3) & ~gsize(3);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, stride * gsize(p.getHeight()), nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    std::memset(map.data, 0, map.size);
    for (int y = 0; y < p.getHeight(); ++y) {
        guint8* row = map.data + stride * gsize(y);
        for (int x = 0; x < p.getWidth(); ++x) {
            const kgiRgb c = p.at(x, y);
            row[3 * x] = c.r;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.b;
        }
    }
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(guint64(frame), GST_SECOND, guint64(fps));
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale(guint64(frame) + 1, GST_SECOND, guint64(fps)) - GST_BUFFER_PTS(buffer);
    return buffer;
}

// Samples [first, last) of the sound, little-endian as the caps say.
GstBuffer* soundBuffer(const std::vector<std::int16_t>& sound, std::size_t first, std::size_t last,
                       int rate)
{
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, (last - first) * 2, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    for (std::size_t i = first; i < last; ++i) {
        const auto v = static_cast<std::uint16_t>(sound[i]);
        map.data[2 * (i - first)] = guint8(v & 0xff);
        map.data[2 * (i - first) + 1] = guint8(v >> 8);
    }
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(first, GST_SECOND, guint64(rate));
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale(last, GST_SECOND, guint64(rate)) - GST_BUFFER_PTS(buffer);
    return buffer;
}

bool push(GstElement* src, GstBuffer* buffer)
{
    GstFlowReturn flow = GST_FLOW_OK;
    g_signal_emit_by_name(src, "push-buffer", buffer, &flow);
    gst_buffer_unref(buffer);
    return flow == GST_FLOW_OK;
}

// Ends both streams and waits for the file to be complete: empty when it
// is, else the pipeline's error.
std::string finish(GstElement* pipeline, GstElement* video, GstElement* audio)
{
    GstFlowReturn flow = GST_FLOW_OK;
    g_signal_emit_by_name(video, "end-of-stream", &flow);
    g_signal_emit_by_name(audio, "end-of-stream", &flow);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, GstClockTime(FINISH_TIMEOUT_S) * GST_SECOND,
        GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    std::string why;
    if (!msg) {
        why = "the encoder did not finish within " + std::to_string(FINISH_TIMEOUT_S) + " s";
    } else if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gst_message_parse_error(msg, &error, nullptr);
        why = error ? error->message : "the encoder failed";
        if (error)
            g_error_free(error);
    }
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    return why;
}

} // namespace

std::string kgiEncodeMovie(const std::string& path, const kgiMovieFormat& format,
                           const std::function<void(int, kgiPicture&)>& draw,
                           const std::vector<std::int16_t>& sound)
{
    if (format.width < 1 || format.height < 1 || format.framesPerSecond < 1 ||
        format.frames < 1 || format.sampleRate < 1)
        return path + ": the movie's format is empty";
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        std::string why = error ? error->message : "GStreamer does not start";
        if (error)
            g_error_free(error);
        return why;
    }
    const std::string temp = path + ".encoding";
    GstElement* pipeline = gst_parse_launch(describe(format).c_str(), &error);
    if (!pipeline || error) {
        std::string why = error ? error->message : "the encoder cannot be built";
        if (error)
            g_error_free(error);
        if (pipeline)
            gst_object_unref(pipeline);
        return path + ": " + why;
    }
    GstElement* file = gst_bin_get_by_name(GST_BIN(pipeline), "file");
    g_object_set(file, "location", temp.c_str(), nullptr);
    gst_object_unref(file);
    GstElement* video = gst_bin_get_by_name(GST_BIN(pipeline), "video");
    GstElement* audio = gst_bin_get_by_name(GST_BIN(pipeline), "audio");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);

    // Each picture goes in with the sound of its own time, so the muxer
    // never waits long for one stream while the other piles up.
    bool flowing = true;
    std::size_t soundDone = 0;
    for (int frame = 0; frame < format.frames && flowing; ++frame) {
        kgiPicture picture(format.width, format.height, kgiRgb());
        draw(frame, picture);
        flowing = push(video, pictureBuffer(picture, frame, format.framesPerSecond));
        const std::size_t soundEnd = std::min(
            sound.size(), std::size_t(gst_util_uint64_scale(guint64(frame) + 1,
                                                            guint64(format.sampleRate),
                                                            guint64(format.framesPerSecond))));
        if (flowing && soundEnd > soundDone) {
            flowing = push(audio, soundBuffer(sound, soundDone, soundEnd, format.sampleRate));
            soundDone = soundEnd;
        }
    }
    if (flowing && soundDone < sound.size())
        flowing = push(audio, soundBuffer(sound, soundDone, sound.size(), format.sampleRate));

    std::string why = finish(pipeline, video, audio);
    if (why.empty() && !flowing)
        why = "the encoder refused a buffer";
    gst_object_unref(video);
    gst_object_unref(audio);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);

    std::error_code ec;
    if (why.empty()) {
        std::filesystem::rename(temp, path, ec);
        if (ec)
            why = "cannot be renamed into place: " + ec.message();
    }
    if (!why.empty()) {
        std::filesystem::remove(temp, ec);
        return path + ": " + why;
    }
    return std::string();
}
