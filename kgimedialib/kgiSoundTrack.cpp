#include "kgiSoundTrack.h"

#include "kgiMediaLog.h"

namespace kgi {

bool kgiSoundTrack::play(float ms)
{
    return playFrom(ms, "Sound Error: ");
}

bool kgiSoundTrack::stop()
{
    return pipeline.isOpen() && pipeline.pause();
}

bool kgiSoundTrack::load(const std::string& path)
{
    reset(path);
    std::string error;
    if (!pipeline.open(path, false, 0, &error)) {
        kgiMediaLog("Sound Load Error: サウンドの初期化に失敗しました path:<" + path + "> " + error);
        return false;
    }
    if (pipeline.audioStreams() == 0)
        kgiMediaLog("Sound Error: サウンド出力が見つかりません。");
    // A sound load starts at full volume whatever was set before.
    pipeline.setVolume(0);
    return true;
}

} // namespace kgi
