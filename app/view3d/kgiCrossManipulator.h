#pragma once
// A manipulator drawn as a three-armed cross (red x, green y, blue z arms
// with cone tips around a black ball) that restricts dragging to the arm the
// user picked. Each arm's local +y runs along its axis; the tips sit at the
// arm's end.
//
// The base constructor runs only ksgManipulator::init, so the geometry is
// built by init(): call it after construction (attaching the manipulator to
// a target runs it as well). It builds once; later calls change nothing.
#include "ksgManipulator.h"

class kgcCylinderMesh;
class kgcEllipseMesh;
class ksgModel;
class ksgTransform;

class kgiCrossManipulator : public ksgManipulator {
public:
    static const kutRtti RTTI;
    const kutRtti* getRtti() const override;

    // Arm indices of getSelected(); CENTRE is the ball.
    enum { NONE = -1, ARM_X = 0, ARM_Y = 1, ARM_Z = 2, CENTRE = 3 };

    kgiCrossManipulator();
    ~kgiCrossManipulator() override;

    // Builds the arms and the centre (once).
    void init() override;

    // A picked node: the arm whose arm or tip model it is, the centre, or
    // NONE for anything else, also a node of another manipulator.
    void select(ksgNode* node) override;
    int getSelected() const { return selected; }

    using ksgManipulator::update;
    // With an arm selected, a delta keeps only its part along the arm and a
    // goal is moved onto the line through the target along the arm; with
    // the centre or nothing selected a delta passes unchanged and a goal is
    // the target's own position. The arm direction is the unit axis of the
    // manipulator's world frame, so a scaled parent does not scale the
    // motion. A goal without a target does nothing (false).
    bool update(const kmlVec3& input, bool isDelta) override;

    // Geometry; each recomputes the meshes it changes and updates the node.
    // Nothing before init.
    void setArmLength(float len);
    void setArmRadius(float r);
    void setTipRadius(float r);
    void setCentreSize(float s);

    // The parts, for drawing checks and picking; null before init.
    ksgModel* getArmModel(int i) const { return inRange(i) ? arms[i].armModel : nullptr; }
    ksgModel* getTipModel(int i) const { return inRange(i) ? arms[i].tipModel : nullptr; }
    ksgTransform* getArmTransform(int i) const { return inRange(i) ? arms[i].armNode : nullptr; }
    ksgTransform* getTipTransform(int i) const { return inRange(i) ? arms[i].tipNode : nullptr; }
    kgcCylinderMesh* getArmMesh(int i) const { return inRange(i) ? arms[i].armMesh : nullptr; }
    kgcCylinderMesh* getTipMesh(int i) const { return inRange(i) ? arms[i].tipMesh : nullptr; }
    ksgModel* getCentreModel() const { return centreModel; }
    kgcEllipseMesh* getCentreMesh() const { return centreMesh; }

private:
    static bool inRange(int i) { return i >= 0 && i < 3; }
    // The unit world direction of arm i; zero when the frame is degenerate.
    kmlVec3 armDirection(int i) const;
    void refresh();

    // Every pointer is owned by the node tree below the manipulator.
    struct Arm {
        kgcCylinderMesh* tipMesh = nullptr;
        kgcCylinderMesh* armMesh = nullptr;
        ksgModel* armModel = nullptr;
        ksgModel* tipModel = nullptr;
        ksgTransform* armNode = nullptr;
        ksgTransform* tipNode = nullptr;
    };
    Arm arms[3];
    ksgModel* centreModel = nullptr;
    kgcEllipseMesh* centreMesh = nullptr;
    int selected = NONE;
};
