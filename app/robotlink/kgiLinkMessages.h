#pragma once
// How the serial link tells the user about a serial fault. The link knows no
// window: the robot session hands it an object that shows a message box, and
// tests hand it one that records what was said.

class kgiLinkMessages {
public:
    virtual ~kgiLinkMessages() = default;
    // Shows one fault; title is its code ("Error - 004"), text the fault
    // ("Que_Buffer Overflow!"). May block (a modal box): the link carries on
    // only after it returns, so it must not call back into the link.
    virtual void showMessage(const char* title, const char* text) = 0;
};

// The default: one line on the standard error stream per message.
class kgiLinkStderrMessages : public kgiLinkMessages {
public:
    void showMessage(const char* title, const char* text) override;
};
