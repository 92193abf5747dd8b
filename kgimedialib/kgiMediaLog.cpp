#include "kgiMediaLog.h"

#include <gst/gst.h>

namespace kgi {

namespace {
kgiMediaLogSink logSink = nullptr;
void* logUser = nullptr;
} // namespace

GST_DEBUG_CATEGORY_STATIC(kgimedia);

void kgiMediaLog(const std::string& line)
{
    if (logSink) {
        logSink(line, logUser);
        return;
    }
    if (!gst_is_initialized())
        return;
    if (!kgimedia)
        GST_DEBUG_CATEGORY_INIT(kgimedia, "kgimedia", 0, "media plug-in");
    GST_CAT_INFO(kgimedia, "%s", line.c_str());
}

void kgiMediaSetLogSink(kgiMediaLogSink sink, void* user)
{
    logSink = sink;
    logUser = user;
}

} // namespace kgi
