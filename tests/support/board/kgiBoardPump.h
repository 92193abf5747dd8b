#pragma once
// Drives a serial link against a simulated board in one thread, with no
// sleeps: each step runs the link, lets the board answer everything the link
// wrote, and waits (bounded) until the answers are readable by the link, so
// the next step sees them. Tests assert outcomes, not step counts: the
// pseudo-terminal moves bytes without a line's pacing.
#include <cstdint>
#include <functional>
#include <string>

class kgiRobotLink;
class kgiSimBoard;

// Writes a port map file naming device for COM<port> and points the link at
// it. Returns false when the file cannot be written.
bool kgiPointPortAt(kgiRobotLink& link, unsigned port, const std::string& device);

// One step: link.tick() (or only link.serviceIo() when fullTick is false),
// then the board answers channel ch's bytes.
void kgiPumpLink(kgiRobotLink& link, kgiSimBoard& board, uint32_t ch, bool fullTick = true);

// Steps until done() holds or maxSteps are taken; returns the steps taken
// (maxSteps when done() never held).
int kgiPumpUntil(kgiRobotLink& link, kgiSimBoard& board, uint32_t ch,
                 const std::function<bool()>& done, int maxSteps, bool fullTick = true);
