#pragma once
// The onion skin: translucent copies of a character's model in the poses it
// has at other times, around the current time, so the user sees where the
// motion comes from and goes to. Each ghost is a pose snapshot taken from
// the motion controllers at the ghost's time and drawn with two visitors
// that put the snapshot's matrices in place of the joints' own; the model
// itself (local matrices, keys) is never touched.
//
// One kgiGhost serves the program: the first canvas makes it from the
// world's kgiGhostSetup and hands it to the scene (acquire); the last one
// takes it out of the scene and frees it (release).
#include <cfloat>
#include <vector>

#include "kgiPoseDumper.h"
#include "kgiScene.h"
#include "ksgVisitor.h"

class kgcMaterial;
class kgiCharacter;
class ksgState;
class ksgVisualState;

class kgiGhost : public kgiGhostPainter {
public:
    // Ghost time of an offset that has no key.
    static constexpr float NO_KEY = FLT_MAX;

    // One ghost each side, opacity 0.6, range 20 frames, mode 2 (key
    // offsets); the render state blends and pushes the ghost behind the
    // model (polygon offset).
    kgiGhost();
    ~kgiGhost() override;
    kgiGhost(const kgiGhost&) = delete;
    kgiGhost& operator=(const kgiGhost&) = delete;

    // The material ghosts are drawn with; its opacity is set per ghost and
    // put back after each pass. Null is ignored.
    void setMaterial(kgcMaterial* m);
    // 0 the stored snapshot once, 1 frame offsets, 2 key offsets (clamped).
    void setMode(int m);
    // |frames| as whole frames.
    void setRange(float frames);
    // Clamped to 0..1.
    void setAlpha(float a);
    void setGhostCounts(int before, int after);
    kgiPoseDumper* getPoseDumper() { return &dumper; }

    int getMode() const { return mode; }
    int getRange() const { return range; }
    float getAlpha() const { return alpha; }
    float getAlphaStep() const { return alphaStep; }
    int getCountBefore() const { return countBefore; }
    int getCountAfter() const { return countAfter; }
    // Opacity of the ghost prepared last.
    float getGhostAlpha() const { return ghostAlpha; }

    // The time of the ghost at offset k around t. Mode 0: t; mode 1: t - k;
    // mode 2: +1 the first key after t, +2 the one after, -1 the last key at
    // or before t, -2 the one before; NO_KEY past either end.
    static float ghostTime(const std::vector<float>& keyTimes, int mode, float t, int k);
    // A ghost at g is drawn for time t when 0 <= g < frameCount and
    // |g - t| <= range.
    bool accepts(float t, float g, int frameCount) const;
    // Snapshot and opacity of the ghost at offset k; false (nothing to draw)
    // without a character or model, or when the ghost is not accepted.
    bool prepareGhost(kgiCharacter* c, float t, int k);
    // Draws the ghost prepared last; nothing when that failed.
    void drawGhost(ksgVisualState& vs);
    // Mode 0: the prepared ghost once; modes 1 and 2: every offset from
    // -before to +after (0 skipped) that is accepted.
    void render(ksgVisualState& vs, kgiCharacter* c, float time);
    void render(kgiCharacter* c, float time, ksgVisualState& vs) override { render(vs, c, time); }

    // The program's one ghost renderer, made and handed to the world's
    // scene on the first acquire, taken out and freed on the matching last
    // release.
    static kgiGhost* acquire();
    static void release();
    static kgiGhost* shared();

    // Puts the snapshot's matrices in place of the joints' local ones and
    // draws the shown meshes.
    class RenderEnter : public ksgVisitor {
    public:
        RenderEnter(ksgVisualState& vs, const kgiPoseDumper& dumper) : vs(&vs), dumper(&dumper) {}
        ReturnType exec(ksgNode* node) override;

    private:
        ksgVisualState* vs;
        const kgiPoseDumper* dumper;
    };
    class RenderLeave : public ksgVisitor {
    public:
        explicit RenderLeave(ksgVisualState& vs) : vs(&vs) {}
        ReturnType exec(ksgNode* node) override;

    private:
        ksgVisualState* vs;
    };

private:
    void updateAlphaStep();
    kgcMaterial* material() const;

    int countAfter = 1;
    int countBefore = 1;
    float alpha = 0.6f;
    int range = 20;
    float alphaStep = 0.0f;
    int mode = 2;
    kgiCharacter* character = nullptr;
    float ghostAlpha = 0.0f;
    kgiPoseDumper dumper;
    ksgState* state = nullptr;
    int materialIndex = -1;
};
