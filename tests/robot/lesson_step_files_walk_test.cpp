// The shipped step files walked through by the step engine in both
// languages: every step from the introduction to the final one, each of
// its pages shown in turn while the window is silent, the step ended by
// the report its action sends, up to the unlocked editor. No step may show
// an empty page, in either its display or its speech text.
#include "kgiLessonManager.h"

#include "kgiApp.h"

#include "lesson_rig_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Lesson {
    int mode;
    int finalStep;
};
const Lesson LESSONS[] = {{1, 5}, {2, 10}, {3, 9}, {4, 11}, {5, 6}, {6, 10}, {7, 14}, {9, 8}};

void walkShipped() {
    LessonRig r;
    r.app().setModelFolders("DORUZAVO_1");
    const fs::path tutorial = r.rig.base / "DORUZAVO_1base" / "tutorial";
    fs::create_directories(tutorial);
    fs::copy(fs::path(KGI_DATA_DIR) / "DORUZAVO_1base" / "tutorial", tutorial,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    kgiLessonManager& m = r.manager;

    for (int language : {0, 1}) {
        for (const Lesson& lesson : LESSONS) {
            const std::string name = "lesson " + std::to_string(lesson.mode) + " language " + std::to_string(language);
            r.app().getSettings().language = language;
            r.clearRecords();
            r.clockStep = 0.25f;
            m.start(std::to_string(lesson.mode).c_str());
            r.clockStep = 0.0f;
            // Pages shown per step, each checked as it shows.
            std::map<int, int> pages;
            std::size_t seen = 0;
            auto look = [&] {
                const auto& calls = r.rig.fakes.message.record.calls;
                for (; seen < calls.size(); ++seen) {
                    if (calls[seen].compare(0, 9, "showText(") != 0) continue;
                    // "showText(text|speech|x|y|colour)"
                    const std::string& c = calls[seen];
                    const std::size_t bar = c.find('|');
                    const std::size_t bar2 = c.find('|', bar + 1);
                    const std::string text = c.substr(9, bar - 9);
                    const std::string speech = c.substr(bar + 1, bar2 - bar - 1);
                    const std::string where = name + " step " + std::to_string(m.getStep()) + " page " +
                                              std::to_string(m.getPage());
                    CASE_CHECK(text.size() > kgiLessonTexts::PRESENT_ABOVE, where.c_str());
                    CASE_CHECK(speech.size() > kgiLessonTexts::PRESENT_ABOVE, where.c_str());
                    ++pages[m.getStep()];
                }
            };
            look();
            for (int pass = 0; pass < 400 && m.getMode() != 0; ++pass) {
                r.clock += 0.5f;
                const int step = m.getStep();
                m.runStep();
                look();
                // An ordinary step, set up and waiting: once its last page
                // has shown, the report of its action.
                const bool ordinary = step >= 1 && step < lesson.finalStep && m.getStep() == step;
                const bool lastPage = m.getPage() + 1 >= kgiLessonTexts::PAGES ||
                                      !m.getTexts().isPresent(0, 0, m.getPage() + 1, step);
                if (ordinary && m.isWaiting() && lastPage) {
                    if (m.getExpectedAnswer() > 0)
                        CASE_CHECK(m.checkAnswer(m.getExpectedAnswer() - 1), name.c_str());
                    else
                        m.nextStep();
                    look();
                }
            }
            CASE_CHECK(m.getMode() == 0 && !r.app().isLessonMode(), name.c_str());
            for (int step = 0; step <= lesson.finalStep; ++step) {
                const std::string where = name + " step " + std::to_string(step);
                CASE_CHECK(pages[step] >= 1, where.c_str());
            }
            CASE_CHECK(pages.rbegin()->first == lesson.finalStep, name.c_str());
        }
    }
}

TEST(LessonStepFilesWalk, EveryStepOfEveryShippedLessonShowsItsPagesWithText) {
    EXPECT_IN_CHILD(walkShipped);
}

} // namespace
