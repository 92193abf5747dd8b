#include "kgiTables.h"

#include "kgcLight.h"
#include "kgcMaterial.h"
#include "ksgViewpoint.h"

// Function-local statics: built on first use, destroyed at exit in reverse
// order of construction, each freeing the objects it still holds.
kgiCharacterTable* kgiCharacterTable::instance() {
    static kgiCharacterTable table;
    return &table;
}

int kgiCharacterTable::create() {
    int id = -1;
    createEntry(id);
    return id;
}

kgiViewpointTable* kgiViewpointTable::instance() {
    static kgiViewpointTable table;
    return &table;
}

ksgViewpoint* kgiViewpointTable::create() {
    int id = -1;
    return createEntry(id);
}

bool kgiViewpointTable::remove(const ksgViewpoint* viewpoint) {
    return removeObject(viewpoint);
}

kgiLightTable* kgiLightTable::instance() {
    static kgiLightTable table;
    return &table;
}

kgcLight* kgiLightTable::create() {
    int id = -1;
    return createEntry(id);
}

kgiMaterialTable* kgiMaterialTable::instance() {
    static kgiMaterialTable table;
    return &table;
}

kgcMaterial* kgiMaterialTable::create() {
    int id = -1;
    return createEntry(id);
}

bool kgiMaterialTable::remove(const kgcMaterial* material) {
    return removeObject(material);
}
