#pragma once
// A stored call to a member function of some object, run later by code that
// does not know the object's class (the 3D view's tool-bar buttons hold one
// each). Build one with kutMakeCallback0:
//
//   kutCallback0 cb = kutMakeCallback0(canvas, &myCanvas::resetView);
//   if (cb) cb();
#include <cstring>

class kutUnknownClass; // never defined: see FUNCTION_SIZE

class kutCallback {
public:
    // Room for any member-function pointer of the platform: a pointer to a
    // member of an incomplete class has the most general layout (16 bytes on
    // x86-64, more than a data pointer).
    static constexpr unsigned FUNCTION_SIZE = sizeof(void (kutUnknownClass::*)());

    // Empty: no callee, no function.
    kutCallback();
    // With a callee, copies `size` bytes of the member-function pointer at
    // `function`; without one, keeps the free-function pointer `function`
    // itself. A size above FUNCTION_SIZE leaves the callback empty.
    kutCallback(const void* callee, const void* function, unsigned size);

    void setCallee(void* callee) { this->callee = callee; }

    // 1 when a callee or a function is stored, else 0. Test it before calling.
    operator int() const;

protected:
    // For the thunks that perform the typed call.
    static void* calleeOf(const kutCallback& c) { return c.callee; }
    static const void* functionOf(const kutCallback& c) { return c.function; }

private:
    void* callee;
    unsigned char function[FUNCTION_SIZE];
};

static_assert(kutCallback::FUNCTION_SIZE >= sizeof(void*),
              "a free-function pointer must fit the function slot");

// A callback without arguments. Copies are independent values.
class kutCallback0 : public kutCallback {
public:
    // Empty; converts to 0 and must not be called.
    kutCallback0();

    // Runs the stored call. Does not test for an empty callback: callers test
    // operator int first.
    void operator()() const { thunk(*this); }

protected:
    // Reads the callee and the function back from the callback and calls.
    typedef void (*Thunk)(const kutCallback&);
    kutCallback0(Thunk thunk, const void* callee, const void* function, unsigned size);

private:
    Thunk thunk;
};

// The typed side: remembers Callee and Member so that the thunk can call
// (callee->*member)(). It adds no fields, so it is returned as a plain
// kutCallback0.
template <class Callee, class Member>
class kutMemberCallback0 : public kutCallback0 {
public:
    kutMemberCallback0(Callee* callee, Member member)
        : kutCallback0(&call, callee, &member, sizeof(Member))
    {
        static_assert(sizeof(Member) <= FUNCTION_SIZE, "member pointer too large");
    }

private:
    static void call(const kutCallback& cb)
    {
        Member member;
        std::memcpy(&member, functionOf(cb), sizeof(Member));
        (static_cast<Callee*>(calleeOf(cb))->*member)();
    }
};

// A callback that calls callee->member(). The member may be virtual or
// belong to any base of Callee; callee must outlive every copy that is run.
template <class Callee, class Member>
kutCallback0 kutMakeCallback0(Callee* callee, Member member)
{
    return kutMemberCallback0<Callee, Member>(callee, member);
}
