#pragma once
// What the 3D canvas's joint pop-up offers and which joints its commands
// act on, apart from the toolkit: the menu is a plain function of the
// clicked node's ancestors and the joint table's answer, so the canvas only
// builds the pane and sends the chosen command to itself.
#include <vector>

class kgiPartTable;
class ksgNode;
class ksgTransform;

class kgiCanvasPopup {
public:
    // The canvas's command identifiers (they continue after the toolkit
    // canvas's own).
    enum Command {
        SUBTREE_MIRROR = 54,
        SET_REVERSE_ROOT = 55,
        FLIP_POSE = 56,
        HAND_OPEN = 57,
        HAND_CLOSE = 58,
        FOOT_LAND = 59,
        LEVEL_ANKLES = 60,
        ADJUST_PREV_KEY = 61
    };

    struct Item {
        Command command;
        // The language-table key of the label.
        const char* labelKey;
    };

    // The menu for node, in order: adjust-previous-key always; subtree
    // mirror inside a limb; foot landing when the table (if any) places the
    // node in a foot; open and close hand below a wrist. The node and its
    // ancestors are searched nearest first: a wrist is noted and the search
    // goes on, the first limb root ends it, so a wrist above the limb root
    // is not seen. Empty without a node.
    static std::vector<Item> items(ksgNode* node, kgiPartTable* table);

    // The joint a subtree mirror starts from: the owner of the first node
    // data, from node's upward, that is no mesh part (kinds 5 and 6). Null
    // when there is none.
    static ksgNode* mirrorJoint(ksgNode* node);

    // The CCD reverse root for node: node as a transform or its parent
    // transform, moved up while the joint is left out of IK. Null when the
    // search runs out.
    static ksgTransform* reverseRootJoint(ksgNode* node);
};
