#pragma once
// Drawing a scene file's model straight from its records, without a node
// tree, in OpenGL immediate mode, and the projection and view of one of the
// scene file's cameras. Nothing in the editor draws this way (its views
// draw the character's node tree); they serve looking at a scene file as it
// is stored.
class kgiModelData;
struct kgiCameraRecord;

// Draws the first model of the data at a frame in the current modelview:
// each record through its per-frame matrix when it holds that frame, else
// through its transform data (translation, rotations about z, y and x,
// then the scale of the layout that stores one), children inside their
// parent's placement. Light grey (0.9) with the records' materials for
// lighting; smooth or flat shading. Nothing without model data.
void kgiDrawModelData(const kgiModelData* data, int frame, bool smooth);

// Loads a perspective projection (near 1, far 10000, the camera's field of
// view at the frame, else 56 degrees) and a view placed by the camera's
// pitch and heading and its position at the frame. A frame out of the
// camera's motion takes its nearest frame. False, leaving the matrices
// alone, for a camera without motion.
bool kgiSetUpSceneCamera(const kgiCameraRecord& camera, int frame, float aspect);
