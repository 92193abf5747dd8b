#pragma once
// What the world and the start-up call on classes that live in their own
// files: the character, the scene root and the model node data. Kept here in
// one place so the world's own logic reads and tests on its own.
#include <string>
#include <vector>

class kgiCharacter;
class kgiScene;
class kgcMaterial;
class ksgNode;
class ksgScene;

struct kgiWorldLinks {
    // --- character ---
    static kgiCharacter* newCharacter();
    static void deleteCharacter(kgiCharacter* c);
    // The model root, null before a load.
    static ksgNode* characterRoot(kgiCharacter* c);
    // Evaluates the model at an absolute time in frames; nothing without a
    // model.
    static void setCharacterTime(kgiCharacter* c, float frames);
    // The frames that hold keys, ascending; null when unknown.
    static const std::vector<float>* characterKeyTimes(kgiCharacter* c);
    // Builds the model from a project file; false on failure (the loader
    // shows its own message).
    static bool loadCharacter(kgiCharacter* c, const std::string& path);
    // Saves the keys into the character's own project; false on failure.
    static bool saveCharacterMotion(kgiCharacter* c);
    // The collision check of the current character at the current time.
    static void checkCollisions();

    // --- scene ---
    static kgiScene* newScene();
    static void deleteScene(kgiScene* s);
    // The scene as the library's scene, for adding and removing roots.
    static ksgScene* sceneBase(kgiScene* s);

    // --- model node data ---
    // Hands the eight highlight materials, in the world's order, to the
    // node data that draws with them.
    static void setHighlightMaterials(kgcMaterial* const materials[8]);
};
