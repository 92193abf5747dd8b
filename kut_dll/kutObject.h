#pragma once
// Class records and the reference-counted root object.
//
// Every shared class of the libraries and of the program derives from
// kutObject and takes part in kind tests like this:
//
//   class myThing : public kutObject {
//   public:
//       static const kutRtti RTTI;               // ("myThing", &kutObject::RTTI)
//       const kutRtti* getRtti() const override { return &RTTI; }
//   };
//
// Kind tests go through these records (isKind, cast), never through the
// compiler's own type information.
#include <string>

// The record of one class: its name and its direct base's record. Records
// are compared by address; two records with equal names are different kinds.
class kutRtti {
public:
    // Empty name, no base.
    kutRtti();
    // The base is the address of the direct base class's RTTI, null only for
    // the root class.
    kutRtti(std::string name, const kutRtti* base);

    const std::string& getName() const { return name; }
    const kutRtti* getBase() const { return base; }

private:
    std::string name;
    const kutRtti* base;
};

// Root of the shared classes: an intrusive reference count with
// self-deletion, and a process-wide count of live objects.
class kutObject {
public:
    static const kutRtti RTTI;

    // Count 0; an object nobody counts is owned plainly by whoever made it.
    kutObject();
    // A copy is a new object with its own count of 0.
    kutObject(const kutObject&);
    // Keeps the target's own count: the count belongs to the object's
    // holders, not to its value.
    kutObject& operator=(const kutObject&);
    // Writes "All object cleaned" to stderr when the last live object dies.
    virtual ~kutObject();

    // The record of the object's class; a class that does not override this
    // is reported as its nearest ancestor that does.
    virtual const kutRtti* getRtti() const;

    // True only for the object's exact class.
    bool isA(const kutRtti* rtti) const;
    // True for the object's class and each of its bases; false for null.
    bool isKind(const kutRtti* rtti) const;
    // This object when isKind(rtti), else null. Convert the result to the
    // class whose record was passed, nothing else.
    void* cast(const kutRtti* rtti) const;

    // "kutObject".
    static const std::string& className();

    // Holders that share the object call incRef when they take it and decRef
    // when they drop it. The decRef that reaches 0 deletes the object: do not
    // touch it afterwards, and release only objects made with plain new.
    // A decRef on a count of 0 wraps the count and deletes nothing.
    void incRef();
    void decRef();
    unsigned getRefCount() const { return refCount; }

    // kutObjects alive in the process.
    static unsigned getTotalObjectCount();

private:
    unsigned refCount;
    static unsigned totalObjectCount;
};
