#include "kgiMsgWindowHost.h"

#include "kgiCharacterServices.h"
#include "platform/module.h"

#include "core/child_process_test.h"
#include "support/app/kgiAppRig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Counts the message boxes the host might show.
struct BoxCounter : kgiCharacterServices {
    int boxes = 0;
    void showMessage(const std::string&, const std::string&) override { ++boxes; }
    bool askYesNo(const std::string&, const std::string&) override { return ++boxes, true; }
};

// The fake plug-in of one variant, reached through the same module handle
// the host holds, so its log is the one the host's calls fill.
class FakePlugin {
public:
    explicit FakePlugin(const std::string& variant)
    {
        module.setFolder(folder(variant));
        if (module.open("kgimsglib.so")) {
            log = reinterpret_cast<Log* (*)()>(module.symbol("kgiFakeMsgLog"))();
            set = reinterpret_cast<void (*)(bool, bool)>(module.symbol("kgiFakeMsgSet"));
            log->clear();
            set(false, false);
        }
    }
    static std::string folder(const std::string& variant) { return KGI_FAKE_MSGLIB_DIR + variant; }

    platform::Module module;
    Log* log = nullptr;
    void (*set)(bool speaking, bool refuse) = nullptr;
};

class MsgWindowHostTest : public ::testing::Test {
protected:
    FakePlugin fake{"whole"};
    BoxCounter services;

    void SetUp() override
    {
        ASSERT_NE(fake.log, nullptr);
        kgiCharacterServices::install(&services);
    }
    void TearDown() override
    {
        kgiCharacterServices::install(nullptr);
        EXPECT_EQ(services.boxes, 0);
    }
};

TEST_F(MsgWindowHostTest, WindowIsSizedToTheCountedLines)
{
    struct Case {
        const char* what;
        std::string text;
        int height;
    };
    const std::string seventy(70, 'a');
    const Case cases[] = {
        {"one line without a newline", "abc", 6},
        {"one line with a newline", "abc\n", 22},
        {"two lines", "abc\ndef\n", 38},
        {"empty", "", 6},
        {"70 characters", seventy, 22},
        {"70 characters and a newline", seventy + "\n", 38},
        {"69 characters and a newline", std::string(69, 'a') + "\n", 22},
        {"140 characters", seventy + seventy, 38},
        {"a newline then 69 characters", "\n" + std::string(69, 'a'), 38},
    };
    kgiMsgWindowHost host(FakePlugin::folder("whole"));
    ASSERT_TRUE(host.isBound());
    for (const Case& c : cases) {
        fake.log->clear();
        host.showText(c.text.c_str(), "speech", 100, 120, 0);
        Log expected = {"create 100 120 564 " + std::to_string(c.height),
                        "say " + c.text + "|speech", "color 0"};
        EXPECT_EQ(*fake.log, expected) << c.what;
        EXPECT_EQ(kgiMsgWindowHost::windowHeight(c.text.c_str()), c.height) << c.what;
    }
}

TEST_F(MsgWindowHostTest, HideBeforeAnyTextDoesNothing)
{
    kgiMsgWindowHost host(FakePlugin::folder("whole"));
    fake.set(true, false);
    host.hideWindow();
    EXPECT_FALSE(host.isSpeaking());
    EXPECT_TRUE(fake.log->empty());
}

TEST_F(MsgWindowHostTest, HideMovesTheWindowAwayThenStopsTheSpeech)
{
    {
        kgiMsgWindowHost host(FakePlugin::folder("whole"));
        host.showText("text\n", "speech", 10, 20, 1);
        fake.set(true, false);
        EXPECT_TRUE(host.isSpeaking());
        fake.log->clear();
        host.hideWindow();
        EXPECT_EQ(*fake.log, (Log{"create 12800 10240 0 0", "stop"}));
        EXPECT_FALSE(host.isSpeaking());

        // The next text brings it back where its caller says.
        fake.log->clear();
        host.showText("x", "y", 30, 40, 2);
        EXPECT_EQ(*fake.log, (Log{"create 30 40 564 6", "say x|y", "color 2"}));
        fake.log->clear();
    }
    // The host's end destroys the window it showed.
    EXPECT_EQ(*fake.log, (Log{"destroy"}));
}

TEST_F(MsgWindowHostTest, RefusedWindowIsNotKept)
{
    kgiMsgWindowHost host(FakePlugin::folder("whole"));
    fake.set(true, true);
    host.showText("text", "speech", 0, 0, 0);
    EXPECT_EQ(*fake.log, (Log{"create 0 0 564 6"}));
    fake.log->clear();
    host.hideWindow();
    EXPECT_FALSE(host.isSpeaking());
    EXPECT_TRUE(fake.log->empty());
}

TEST_F(MsgWindowHostTest, HostWithoutAWindowDestroysNothing)
{
    { kgiMsgWindowHost host(FakePlugin::folder("whole")); }
    EXPECT_TRUE(fake.log->empty());
}

TEST(MsgWindowHostUnbound, EveryOperationDoesNothingAndNothingIsShown)
{
    struct Case {
        const char* what;
        std::string folder;
        bool loaded;
    };
    const Case cases[] = {
        {"no module", FakePlugin::folder("none"), false},
        {"DestroyMsgWindow missing", FakePlugin::folder("partial"), true},
    };
    FakePlugin partial("partial");
    ASSERT_NE(partial.log, nullptr);
    BoxCounter services;
    kgiCharacterServices::install(&services);
    for (const Case& c : cases) {
        {
            testing::internal::CaptureStderr();
            kgiMsgWindowHost host(c.folder);
            testing::internal::GetCapturedStderr();
            EXPECT_FALSE(host.isBound()) << c.what;
            EXPECT_EQ(host.isLoaded(), c.loaded) << c.what;
            host.initialize();
            host.showText("text\n", "speech", 1, 2, 1);
            partial.set(true, false);
            EXPECT_FALSE(host.isSpeaking()) << c.what;
            host.hideWindow();
        }
        EXPECT_TRUE(partial.log->empty()) << c.what;
    }
    kgiCharacterServices::install(nullptr);
    EXPECT_EQ(services.boxes, 0);
}

// The application's message hooks again, with this host on the fake
// plug-in in place of the recording stand-in.
void appWithTheHost()
{
    kgiAppRig rig;
    kgiAppMakers makers = rig.fakes.makers();
    makers.msgWindowHost = [] { return new kgiMsgWindowHost(FakePlugin::folder("whole")); };
    rig.app->setMakers(makers);
    kgiApp& app = *rig.app;
    FakePlugin fake("whole");
    CHILD_CHECK(fake.log != nullptr);

    app.showMessageText("a", "b", 1, 2, 3); // no host yet
    CHILD_CHECK(fake.log->empty() && !app.isMessageDone() && !app.isMessageSpeaking());
    app.createMsgWindowHost();
    app.setSoundWaitLimit(0.05);
    app.showMessageText("Hello\n", "hello", 350, 40, 1);
    CHILD_CHECK(*fake.log == (Log{"create 350 40 564 22", "say Hello\n|hello", "color 1"}));
    fake.set(true, false);
    CHILD_CHECK(!app.isMessageDone() && app.isMessageSpeaking());
    fake.set(false, false);
    CHILD_CHECK(app.isMessageDone() && !app.isMessageSpeaking());

    // The next text first takes the shown one away.
    fake.log->clear();
    app.showMessageText("x", "y", 5, 6, 0);
    CHILD_CHECK(*fake.log == (Log{"create 12800 10240 0 0", "stop", "create 5 6 564 6", "say x|y",
                                  "color 0"}));
    // Shut-down silences the window, then the host destroys it.
    fake.log->clear();
    rig.app.reset();
    CHILD_CHECK(*fake.log == (Log{"create 12800 10240 0 0", "stop", "destroy"}));
}

TEST(MsgWindowHostInTheApplication, MessageHooksShowReplaceAndSilenceTheWindow)
{
    EXPECT_IN_CHILD(appWithTheHost);
}

} // namespace
