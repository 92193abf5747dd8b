// The plug-in as the host sees it: a file loaded at run time with four
// C entry points.
#include "kgiMediaLib.h"
#include "medialib/mediaFixtures.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

TEST(MediaModule, ExportsTheFourEntryPointsAndPlays)
{
    void* lib = dlopen(KGI_MEDIALIB_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto create = reinterpret_cast<kgiCreateMediaTrackFn>(dlsym(lib, "CreateMediaTrack"));
    auto destroy = reinterpret_cast<kgiDestroyMediaTrackFn>(dlsym(lib, "DestroyMediaTrack"));
    auto createWindow =
        reinterpret_cast<kgiCreateMediaWindowFn>(dlsym(lib, "CreateMediaWindow"));
    auto destroyWindow =
        reinterpret_cast<kgiDestroyMediaWindowFn>(dlsym(lib, "DestroyMediaWindow"));
    ASSERT_TRUE(create && destroy && createWindow && destroyWindow);

    mediatest::useFakeSinksForFactory();
    kgi::kgiMediaTrack* t = create(mediatest::writeWav("module.wav", 400).c_str());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->getFileName(), "module.wav");
    EXPECT_NEAR(t->getDuration(), 400.0f, 1.0f);
    EXPECT_TRUE(t->play(0));
    EXPECT_TRUE(t->isPlaying());
    destroy(t);
    EXPECT_EQ(create("/no/such/file.avi"), nullptr);

    EXPECT_EQ(createWindow(nullptr, -1, -1, -1, -1), nullptr);  // no FXApp here
    destroyWindow();
    // GStreamer cannot be unloaded cleanly; the module stays for the process.
}
