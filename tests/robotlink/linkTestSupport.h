#pragma once
// Shared fixtures of the serial link tests: a message recorder, a link on
// the heap, and a link whose channel 1 is open on a simulated board.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "kgiBoardPump.h"
#include "kgiRobotLink.h"
#include "kgiSimBoard.h"

class RecordingMessages : public kgiLinkMessages {
public:
    void showMessage(const char* title, const char* text) override { shown.emplace_back(title, text); }
    std::vector<std::pair<std::string, std::string>> shown;
};

inline std::unique_ptr<kgiRobotLink> makeLink(RecordingMessages* messages)
{
    std::unique_ptr<kgiRobotLink> link(new kgiRobotLink);
    link->setMessages(messages);
    return link;
}

// A fixed calendar time for image stamps.
inline platform::LocalTime fixedLocalTime()
{
    platform::LocalTime t{};
    t.year = 2026; t.month = 3; t.day = 9; t.weekday = 1;
    t.hour = 14; t.minute = 5; t.second = 7; t.millisecond = 0;
    return t;
}
inline double fixedSeconds() { return 1000.0; }

// Channel 1 of a link, opened as the robot session opens it (TL-D8150,
// FIFO, DORUZAVO-1, 9600 baud) on COM3, which is the simulated board.
class BoardFixture : public ::testing::Test {
protected:
    static constexpr uint32_t CH = 1;
    static constexpr unsigned PORT = 3;

    void SetUp() override
    {
        ASSERT_TRUE(board.ok());
        link = makeLink(&messages);
        link->setClock(kgiRobotLink::Clock{fixedSeconds, fixedLocalTime});
        ASSERT_TRUE(kgiPointPortAt(*link, PORT, board.devicePath()));
    }

    void TearDown() override
    {
        if (link) std::remove(link->portMapFile.c_str());
    }

    // Opens without the information read unless asked.
    void open(uint32_t readInfo = 0)
    {
        ASSERT_EQ(0, link->openChannel(CH, PORT, kgiRobotLink::BOARD_TLD8150, kgiRobotLink::BUFFER_FIFO,
                                       kgiRobotLink::ROBOT_DORUZAVO1, 9600, readInfo));
    }

    void step(bool fullTick = true) { kgiPumpLink(*link, board, CH, fullTick); }

    int stepUntil(const std::function<bool()>& done, int maxSteps, bool fullTick = true)
    {
        return kgiPumpUntil(*link, board, CH, done, maxSteps, fullTick);
    }

    bool ringEmpty() const { return link->Q_Read[CH] == link->Q_Write[CH]; }
    bool settled() const
    {
        const kgiRobotLink::Channel& r = link->channel[CH];
        return ringEmpty() && r.Send == r.Receive + r.Error && !link->inFlight[CH];
    }

    kgiSimBoard board;
    RecordingMessages messages;
    std::unique_ptr<kgiRobotLink> link;
};
