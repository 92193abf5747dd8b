#pragma once
// The four program-wide registries: characters, viewpoints, lights and
// materials. Each is created on first use by its instance() and frees what
// it still holds at program exit.
#include "kgiObjectTable.h"

class kgiCharacter;
class ksgViewpoint;
class kgcLight;
class kgcMaterial;

// Characters are made and freed through the world's link to the character
// class (kgiWorldLinks.cpp), so this header needs only its name.
struct kgiCharacterTraits {
    static kgiCharacter* make();
    static void destroy(kgiCharacter* character);
};

class kgiCharacterTable : public kgiObjectTable<kgiCharacter, kgiCharacterTraits> {
public:
    static kgiCharacterTable* instance();
    // A new character under a new id; the id, or -1 when no id is left. The
    // id can hold a null character when making it failed: check find().
    int create();
    // True when the id was registered: the character is deleted and the id
    // released. Take its model root out of the scene first (the world does).
    bool remove(int id) { return removeId(id); }
};

class kgiViewpointTable : public kgiObjectTable<ksgViewpoint> {
public:
    static kgiViewpointTable* instance();
    // A new default viewpoint, owned by the table; null when none could be
    // made.
    ksgViewpoint* create();
    // True when the viewpoint was registered; it is deleted, so drop every
    // other pointer to it first.
    bool remove(const ksgViewpoint* viewpoint);
};

class kgiLightTable : public kgiObjectTable<kgcLight> {
public:
    static kgiLightTable* instance();
    // A new point light (type 0), owned by the table. Its id (idOf) is what
    // a view is given to switch it on.
    kgcLight* create();
};

class kgiMaterialTable : public kgiObjectTable<kgcMaterial> {
public:
    static kgiMaterialTable* instance();
    // A new default material, owned by the table.
    kgcMaterial* create();
    bool remove(const kgcMaterial* material);
};
