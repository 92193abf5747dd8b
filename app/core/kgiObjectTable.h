#pragma once
// Program-wide registries of objects under small integer ids. A table owns
// its objects: removing an entry deletes the object and gives its id back,
// and the id is handed out again before any new one (kutIdManager).
#include "kutIdManager.h"

#include <map>
#include <new>
#include <vector>

// How a table makes and frees its objects. The default is plain new and
// delete; a table of a type whose definition lives elsewhere supplies its
// own (see kgiCharacterTable).
template <class T>
struct kgiObjectTableTraits {
    static T* make() { return new (std::nothrow) T(); }
    static void destroy(T* object) { delete object; }
};

template <class T, class Traits = kgiObjectTableTraits<T>>
class kgiObjectTable {
public:
    kgiObjectTable() = default;
    ~kgiObjectTable() { clear(); }
    kgiObjectTable(const kgiObjectTable&) = delete;
    kgiObjectTable& operator=(const kgiObjectTable&) = delete;

    // The object with that id, or null (also for an id whose object could
    // not be made).
    T* find(int id) const {
        auto it = objects.find(id);
        return it == objects.end() ? nullptr : it->second;
    }

    // The id the object is registered under, in ascending id order; -1 for
    // null or an object this table does not hold.
    int idOf(const T* object) const {
        if (!object) return -1;
        for (const auto& entry : objects)
            if (entry.second == object) return entry.first;
        return -1;
    }

    // Number of entries, objects that could not be made included.
    int size() const { return static_cast<int>(objects.size()); }

    // Empties out and appends every object in ascending id order.
    void listAll(std::vector<T*>& out) const {
        out.clear();
        for (const auto& entry : objects) out.push_back(entry.second);
    }

    // Deletes every object and releases every id, in ascending id order.
    void clear() {
        // Taken out of the map first, so an object whose destructor reaches
        // back into the table finds a consistent (empty) table.
        std::map<int, T*> old;
        old.swap(objects);
        for (auto& entry : old) {
            ids.removeId(entry.first);
            Traits::destroy(entry.second);
        }
    }

protected:
    // A new object under a new id. The id is -1 when ids ran out; then
    // nothing is registered and the result is null. When only the object
    // could not be made the id is still taken and find() gives null for it.
    T* createEntry(int& id) {
        id = ids.newId();
        if (id < 0) return nullptr;
        T* object = Traits::make();
        objects[id] = object;
        return object;
    }

    // True when an entry was found: its object is deleted and its id
    // released. Nothing changes for an unknown id.
    bool removeId(int id) {
        auto it = objects.find(id);
        if (it == objects.end()) return false;
        T* object = it->second;
        objects.erase(it);
        ids.removeId(id);
        Traits::destroy(object);
        return true;
    }

    // The first entry (ascending id) holding the object, removed as above.
    bool removeObject(const T* object) {
        if (!object) return false;
        return removeId(idOf(object));
    }

private:
    kutIdManager ids;
    std::map<int, T*> objects;
};
