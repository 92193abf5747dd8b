#include "kutObject.h"

#include <iostream>
#include <utility>

kutRtti::kutRtti() : base(nullptr) {}

kutRtti::kutRtti(std::string name_, const kutRtti* base_) : name(std::move(name_)), base(base_) {}

const kutRtti kutObject::RTTI("kutObject", nullptr);
unsigned kutObject::totalObjectCount = 0;

kutObject::kutObject() : refCount(0)
{
    ++totalObjectCount;
}

kutObject::kutObject(const kutObject&) : refCount(0)
{
    ++totalObjectCount;
}

kutObject& kutObject::operator=(const kutObject&)
{
    return *this;
}

kutObject::~kutObject()
{
    if (--totalObjectCount == 0)
        std::cerr << "All object cleaned" << std::endl;
}

const kutRtti* kutObject::getRtti() const
{
    return &RTTI;
}

bool kutObject::isA(const kutRtti* rtti) const
{
    return getRtti() == rtti;
}

bool kutObject::isKind(const kutRtti* rtti) const
{
    if (!rtti)
        return false;
    for (const kutRtti* r = getRtti(); r; r = r->getBase())
        if (r == rtti)
            return true;
    return false;
}

void* kutObject::cast(const kutRtti* rtti) const
{
    return isKind(rtti) ? const_cast<kutObject*>(this) : nullptr;
}

const std::string& kutObject::className()
{
    return RTTI.getName();
}

void kutObject::incRef()
{
    ++refCount;
}

void kutObject::decRef()
{
    if (--refCount == 0)
        delete this;
}

unsigned kutObject::getTotalObjectCount()
{
    return totalObjectCount;
}
