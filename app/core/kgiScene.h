#pragma once
// The scene every 3D canvas renders: the characters' model roots, plus
// three optional drawings: a display list under a matrix (the 3D view's
// floor grid), each character's onion-skin ghosts, and a marker at the
// current character's centre of gravity. The world creates and owns the
// one scene.
#include "kmlMatrix4.h"
#include "ksgScene.h"

class kgiCharacter;

// Draws a character's ghosts; the onion-skin renderer implements it and is
// handed to the scene, which does not own it.
class kgiGhostPainter {
public:
    virtual ~kgiGhostPainter();
    virtual void render(kgiCharacter* c, float time, ksgVisualState& vs) = 0;
};

class kgiScene : public ksgScene {
public:
    // OpenGL display list drawn when the list is switched on.
    static constexpr int DEFAULT_LIST_ID = 1000;

    // Draws nothing extra until switched on.
    kgiScene();
    ~kgiScene() override;

    void update(float time, bool absolute) override;
    // The display list, then each root followed by the centre-of-gravity
    // marker and the ghosts of its character. With several characters the
    // current character's marker is drawn once per root. The list must be
    // defined in the context being drawn; an undefined list draws nothing.
    void render(ksgVisualState& vs) const override;

    int getListId() const { return listId; }
    // Where the display list is drawn (its model matrix).
    void setMatrix(const kmlMatrix4& m) { matrix = m; }
    const kmlMatrix4& getMatrix() const { return matrix; }
    void setDrawList(bool on) { drawList = on; }
    bool getDrawList() const { return drawList; }
    // The ghosts of every character.
    void setDrawNodeExtras(bool on) { drawGhosts = on; }
    bool getDrawNodeExtras() const { return drawGhosts; }
    // The current character's centre-of-gravity marker.
    void setDrawSelection(bool on) { drawCenterOfGravity = on; }
    bool getDrawSelection() const { return drawCenterOfGravity; }

    // The renderer of the ghosts (not owned); without one no ghosts are
    // drawn. Set null before destroying it.
    void setGhostPainter(kgiGhostPainter* p) { ghostPainter = p; }

private:
    kmlMatrix4 matrix;
    bool drawGhosts = false;
    bool drawList = false;
    bool drawCenterOfGravity = false;
    int listId = DEFAULT_LIST_ID;
    kgiGhostPainter* ghostPainter = nullptr;
};
