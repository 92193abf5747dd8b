#pragma once
// Diagnostic lines of the media plug-in. The user never sees them: they go
// to GStreamer's debug log under the category "kgimedia" (run with
// GST_DEBUG=kgimedia:4 to read them). Tests may take them instead.
#include <string>

namespace kgi {

void kgiMediaLog(const std::string& line);

// Replaces the destination of the lines; null gives them back to the debug
// log. Not for use while tracks are played from another thread.
typedef void (*kgiMediaLogSink)(const std::string& line, void* user);
void kgiMediaSetLogSink(kgiMediaLogSink sink, void* user);

} // namespace kgi
