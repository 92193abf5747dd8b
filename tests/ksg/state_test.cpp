// Render states and the visual state's state stack in a real OpenGL context.
#include "support/gl/kgiGLTest.h"

#include <memory>
#include <string>
#include <vector>

#include "kmlMatrix4.h"
#include "ksgState.h"
#include "ksgStateParam.h"
#include "ksgVisualState.h"

namespace {

std::vector<std::string> journal;

// Writes each call, with whether blending was on at that moment, to the
// journal, and whether it was destroyed to a flag of the test's.
class RecordingParam : public ksgStateParam {
public:
  explicit RecordingParam(std::string name, bool* destroyed = nullptr)
    : name(std::move(name)), destroyed(destroyed) {}
  ~RecordingParam() override {
    if (destroyed) *destroyed = true;
  }
  void apply() const override { note("apply"); }
  void restore() const override { note("restore"); }
  ksgStateParam* clone() const override { return new RecordingParam(name); }

private:
  void note(const char* what) const {
    journal.push_back(std::string(what) + " " + name + (glIsEnabled(GL_BLEND) ? " blend" : ""));
  }
  std::string name;
  bool* destroyed;
};

bool enabled(GLenum cap) { return glIsEnabled(cap) == GL_TRUE; }

std::vector<float> currentColour() {
  std::vector<float> c(4);
  glGetFloatv(GL_CURRENT_COLOR, c.data());
  return c;
}

class StateTest : public kgiGLTest {
protected:
  void SetUp() override {
    kgiGLTest::SetUp();
    journal.clear();
  }
};

TEST_F(StateTest, ModesApplyBeforeParametersAndRestoreAfterThemInReverse) {
  ksgState state;
  state.setMode(GL_BLEND, true);
  state.setMode(GL_CULL_FACE, true);
  state.addParam(new RecordingParam("a"));
  state.addParam(new RecordingParam("b"));

  state.apply();
  EXPECT_TRUE(state.isApplied());
  EXPECT_TRUE(enabled(GL_BLEND) && enabled(GL_CULL_FACE));
  state.restore();
  EXPECT_FALSE(enabled(GL_BLEND) || enabled(GL_CULL_FACE));
  EXPECT_EQ(journal, (std::vector<std::string>{"apply a blend", "apply b blend", "restore b blend",
                                               "restore a blend"}));
  EXPECT_TRUE(glErrors().empty());
}

TEST_F(StateTest, OnlyOverrideEntriesAreSetAndOnlyChangesAreUndone) {
  // Blending is on before: the override "on" changes nothing, so restore
  // must not switch it off. Depth test is an inherit entry: queried only.
  glEnable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  ksgState state;
  state.setMode(GL_BLEND, true);
  state.setMode(GL_DEPTH_TEST, false);
  state.inheritMode(GL_DEPTH_TEST);
  state.overrideMode(GL_LIGHTING);  // new entry: override with value false
  state.addParam(new RecordingParam("inherited"));
  state.inheritParam(0);
  state.addParam(new RecordingParam("kept"));

  glEnable(GL_LIGHTING);
  state.apply();
  EXPECT_TRUE(enabled(GL_BLEND));
  EXPECT_TRUE(enabled(GL_DEPTH_TEST));
  EXPECT_FALSE(enabled(GL_LIGHTING));
  state.restore();
  EXPECT_TRUE(enabled(GL_BLEND));
  EXPECT_TRUE(enabled(GL_DEPTH_TEST));
  EXPECT_TRUE(enabled(GL_LIGHTING));
  EXPECT_EQ(journal, (std::vector<std::string>{"apply kept blend", "restore kept blend"}));

  // Back to override: the parameter takes part again; a removed mode does not.
  state.overrideParam(state.getParam(0));
  state.remMode(GL_LIGHTING);
  journal.clear();
  state.apply();
  EXPECT_TRUE(enabled(GL_LIGHTING));
  state.restore();
  EXPECT_EQ(journal.size(), 4u);
}

TEST_F(StateTest, NestedStatesRestoreInReverseOrder) {
  glColor4f(0.0f, 0.0f, 1.0f, 0.5f);
  const float red[4] = {1, 0, 0, 1}, green[4] = {0, 1, 0, 1};
  ksgState outer, inner;
  outer.setMode(GL_LIGHTING, true);
  outer.addParam(new ksgColorParam(red, true));
  inner.setMode(GL_LIGHTING, false);
  inner.setMode(GL_BLEND, true);
  inner.addParam(new ksgColorParam(green, false));

  ksgVisualState vs;
  ASSERT_TRUE(vs.pushState(&outer));
  ASSERT_TRUE(vs.pushState(&inner));
  EXPECT_FALSE(enabled(GL_LIGHTING));
  EXPECT_TRUE(enabled(GL_BLEND));
  EXPECT_EQ(currentColour(), (std::vector<float>{0, 1, 0, 1}));

  ASSERT_TRUE(vs.popState());
  EXPECT_TRUE(enabled(GL_LIGHTING));
  EXPECT_FALSE(enabled(GL_BLEND));
  EXPECT_EQ(currentColour(), (std::vector<float>{1, 0, 0, 1}));

  ASSERT_TRUE(vs.popState());
  EXPECT_FALSE(enabled(GL_LIGHTING));
  EXPECT_EQ(currentColour(), (std::vector<float>{0, 0, 1, 0.5f}));
  EXPECT_FALSE(vs.popState());
}

TEST_F(StateTest, PopAllStatesRestoresInReverseOrderOfPushing) {
  ksgState a, b, c;
  a.addParam(new RecordingParam("a"));
  b.addParam(new RecordingParam("b"));
  c.addParam(new RecordingParam("c"));
  ksgVisualState vs;
  EXPECT_FALSE(vs.pushState(nullptr));
  vs.pushState(&a);
  vs.pushState(&b);
  vs.pushState(&c);
  vs.popAllStates();
  EXPECT_EQ(journal, (std::vector<std::string>{"apply a", "apply b", "apply c", "restore c",
                                               "restore b", "restore a"}));
  EXPECT_FALSE(a.isApplied() || b.isApplied() || c.isApplied());
}

TEST_F(StateTest, UnbalancedApplyAndRestoreAreHarmless) {
  ksgState state;
  state.setMode(GL_BLEND, true);
  state.addParam(new RecordingParam("p"));
  state.restore();
  state.apply();
  state.apply();
  state.restore();
  state.restore();
  EXPECT_EQ(journal, (std::vector<std::string>{"apply p blend", "restore p blend"}));
  EXPECT_FALSE(enabled(GL_BLEND));
}

TEST_F(StateTest, EveryChangeIsRefusedWhileApplied) {
  ksgState state;
  bool firstGone = false;
  auto* first = new RecordingParam("first", &firstGone);
  ASSERT_EQ(state.addParam(first), 0);
  state.apply();
  auto* extra = new RecordingParam("extra");
  EXPECT_EQ(state.addParam(extra), -1);
  state.remParam(first);
  state.remParam(0);
  state.replaceParam(0, extra);
  state.replaceParam(first, extra);
  state.inheritParam(first);
  state.setMode(GL_BLEND, true);
  EXPECT_EQ(state.getParam(0), first);
  EXPECT_EQ(state.getParam(1), nullptr);
  state.restore();
  EXPECT_EQ(journal, (std::vector<std::string>{"apply first", "restore first"}));
  EXPECT_FALSE(enabled(GL_BLEND));

  // Unfrozen, the same calls work.
  EXPECT_EQ(state.addParam(extra), 1);
  EXPECT_EQ(state.getParam(1), extra);
  EXPECT_FALSE(firstGone);
}

TEST(StateEditing, IndicesOutOfRangeAndNullsChangeNothing) {
  ksgState state;
  auto* p = new RecordingParam("p");
  EXPECT_EQ(state.addParam(nullptr), -1);
  ASSERT_EQ(state.addParam(p), 0);
  auto* q = new RecordingParam("q");
  state.replaceParam(1, q);  // index equal to the count
  state.replaceParam(-1, q);
  state.replaceParam(0, nullptr);
  state.replaceParam(q, p);  // q is not held
  state.remParam(1);
  state.remParam(-1);
  state.remParam(q);
  EXPECT_EQ(state.getParam(0), p);
  EXPECT_EQ(state.getParam(1), nullptr);
  EXPECT_EQ(state.getParam(-1), nullptr);
  delete q;
}

// A parameter held twice would be applied twice over its own saved values
// and deleted twice.
TEST(StateEditing, AParameterIsHeldOnce) {
  ksgState state;
  auto* p = new RecordingParam("p");
  auto* q = new RecordingParam("q");
  ASSERT_EQ(state.addParam(p), 0);
  EXPECT_EQ(state.addParam(p), -1);
  ASSERT_EQ(state.addParam(q), 1);
  state.replaceParam(1, p);
  EXPECT_EQ(state.getParam(1), q);
  state.replaceParam(1, q);  // the same object in its own place is fine
  EXPECT_EQ(state.getParam(1), q);
}

TEST(StateEditing, TheStateDeletesWhatItHoldsAndNothingItGaveBack) {
  bool keptGone = false, removedGone = false, replacedGone = false, newGone = false;
  auto* removed = new RecordingParam("removed", &removedGone);
  auto* replaced = new RecordingParam("replaced", &replacedGone);
  {
    ksgState state;
    state.addParam(new RecordingParam("kept", &keptGone));
    state.addParam(removed);
    state.addParam(replaced);
    state.remParam(1);
    EXPECT_EQ(state.getParam(1), replaced);  // later indices shift down
    state.replaceParam(replaced, new RecordingParam("new", &newGone));
  }
  EXPECT_TRUE(keptGone);
  EXPECT_TRUE(newGone);
  EXPECT_FALSE(removedGone);
  EXPECT_FALSE(replacedGone);
  delete removed;
  delete replaced;
}

TEST(StateEditing, CopiesOwnTheirOwnParameters) {
  const float red[4] = {1, 0, 0, 1};
  ksgInitialState original;
  original.setClearBuffers(GL_COLOR_BUFFER_BIT);
  original.setMode(GL_BLEND, true);
  original.addParam(new ksgColorParam(red, true));

  ksgInitialState copy(original);
  EXPECT_EQ(copy.getClearBuffers(), unsigned(GL_COLOR_BUFFER_BIT));
  ASSERT_NE(copy.getParam(0), nullptr);
  EXPECT_NE(copy.getParam(0), original.getParam(0));
  EXPECT_TRUE(*static_cast<ksgColorParam*>(copy.getParam(0)) ==
              *static_cast<ksgColorParam*>(original.getParam(0)));
  EXPECT_EQ(copy.getRtti(), &ksgInitialState::RTTI);

  ksgState assigned;
  assigned.addParam(new RecordingParam("dropped"));
  assigned = original;
  EXPECT_NE(assigned.getParam(0), original.getParam(0));
  EXPECT_EQ(assigned.getParam(1), nullptr);
  // Each of the three frees its own parameters when it goes (the sanitizer
  // build sees a double free otherwise).
}

TEST_F(StateTest, InitialStateClearsItsBuffersAndSetsClearValues) {
  ksgVisualState vs;
  EXPECT_EQ(vs.getInitialState().getClearBuffers(), 0x4100u);
  const ksgInitialState& initial = vs.initialState();
  initial.clearColor(0.0f, 1.0f, 0.0f, 1.0f);
  initial.clearDepth(0.5f);
  initial.clearStencil(3);
  initial.clearAccum(0.25f, 0.5f, 0.75f, 1.0f);
  std::vector<float> colour(4), accum(4);
  float depth = 0;
  GLint stencil = 0;
  glGetFloatv(GL_COLOR_CLEAR_VALUE, colour.data());
  glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
  glGetIntegerv(GL_STENCIL_CLEAR_VALUE, &stencil);
  glGetFloatv(GL_ACCUM_CLEAR_VALUE, accum.data());
  EXPECT_EQ(colour, (std::vector<float>{0, 1, 0, 1}));
  EXPECT_EQ(depth, 0.5f);
  EXPECT_EQ(stencil, 3);
  EXPECT_EQ(accum, (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));

  vs.clearBuffers();
  auto pixel = readPixel(WIDTH / 2, HEIGHT / 2);
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 255);

  // With only the depth bit, the colour stays.
  vs.initialState().setClearBuffers(GL_DEPTH_BUFFER_BIT);
  initial.clearColor(1.0f, 0.0f, 0.0f, 1.0f);
  vs.clearBuffers();
  EXPECT_EQ(readPixel(WIDTH / 2, HEIGHT / 2)[0], 0);
  EXPECT_TRUE(glErrors().empty());
}

TEST_F(StateTest, DestroyingTheVisualStatePopsItsStatesAndRestoresTheInitialState) {
  ksgState pushed;
  pushed.setMode(GL_BLEND, true);
  {
    ksgVisualState vs;
    vs.initialState().setMode(GL_DEPTH_TEST, true);
    vs.initialState().addParam(new ksgShadeModelParam(GL_FLAT));
    vs.init();
    EXPECT_TRUE(enabled(GL_DEPTH_TEST));
    vs.pushState(&pushed);
    EXPECT_TRUE(enabled(GL_BLEND));
  }
  EXPECT_FALSE(enabled(GL_BLEND));
  EXPECT_FALSE(pushed.isApplied());
  EXPECT_FALSE(enabled(GL_DEPTH_TEST));
  GLint shade = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  EXPECT_EQ(shade, GL_SMOOTH);
}

TEST_F(StateTest, MatrixWrappersWorkOnTheCurrentMatrixMode) {
  kmlMatrix4 m;
  m.setTranslation(kmlVec3(1, 2, 3));
  ksgVisualState vs;
  glMatrixMode(GL_MODELVIEW);
  vs.pushMatrix();
  vs.multMatrix(m);
  vs.multMatrix(m);
  std::vector<float> top(16);
  glGetFloatv(GL_MODELVIEW_MATRIX, top.data());
  EXPECT_EQ(std::vector<float>(top.begin() + 12, top.end()), (std::vector<float>{2, 4, 6, 1}));
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 3);  // the harness's own push, then ours
  vs.popMatrix();
  glGetFloatv(GL_MODELVIEW_MATRIX, top.data());
  EXPECT_EQ(top[12], 0.0f);
}

}  // namespace
