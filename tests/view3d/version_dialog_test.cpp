#include "kgiVersionDialog.h"

#include "support/fox/kgiFoxTestApp.h"
#include "support/kgiTestEnv.h"

#include <gtest/gtest.h>

#include <memory>

using namespace FX;

namespace {

template <class T>
T* childAs(FXWindow* parent, int index)
{
    FXWindow* w = parent ? parent->childAtIndex(index) : nullptr;
    return dynamic_cast<T*>(w);
}

TEST(VersionDialog, ShowsTheProgramAndOkHidesIt)
{
    FXApp* app = kgiSharedFoxApp();
    if (!app) {
        if (kgiTestEnvRequired())
            FAIL() << "no X display";
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    std::unique_ptr<FXMainWindow> owner(new FXMainWindow(app, "owner"));
    owner->create();
    std::unique_ptr<kgiVersionDialog> box(new kgiVersionDialog(owner.get(), nullptr));
    box->create();
    EXPECT_EQ(box->getOwner(), owner.get());

    EXPECT_EQ(box->getTitle(), FXString("Version"));
    EXPECT_EQ(box->getWidth(), 680);
    EXPECT_EQ(box->getHeight(), 220);
    EXPECT_EQ(box->getDecorations(), FXuint(DECOR_TITLE | DECOR_MINIMIZE | DECOR_MAXIMIZE | DECOR_CLOSE | DECOR_BORDER))
        << "not resizable";

    // frame > "Information" > column > (row > label), button
    FXGroupBox* group = childAs<FXGroupBox>(childAs<FXHorizontalFrame>(box.get(), 0), 0);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->getText(), FXString("Information"));
    FXVerticalFrame* column = childAs<FXVerticalFrame>(group, 0);
    ASSERT_NE(column, nullptr);
    FXLabel* label = childAs<FXLabel>(childAs<FXHorizontalFrame>(column, 0), 0);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getText(), FXString("Zodarovu 0 for DORUZAVO-1 \n Ver.0.01.04 \n "));
    FXButton* ok = childAs<FXButton>(column, 1);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->getText(), FXString("OK"));

    // What a click on the button sends.
    box->show();
    ASSERT_TRUE(box->shown());
    ASSERT_NE(ok->getTarget(), nullptr);
    EXPECT_EQ(ok->getTarget()->handle(ok, FXSEL(SEL_COMMAND, ok->getSelector()), nullptr), 1);
    EXPECT_FALSE(box->shown());
    box.reset();
}

TEST(VersionDialog, MakerWithoutOwnerUsesTheApplication)
{
    FXApp* app = kgiSharedFoxApp();
    if (!app) {
        if (kgiTestEnvRequired())
            FAIL() << "no X display";
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    std::unique_ptr<FXTopWindow> box(kgiVersionDialog::make(nullptr, nullptr));
    ASSERT_NE(dynamic_cast<kgiVersionDialog*>(box.get()), nullptr);
    EXPECT_EQ(box->getOwner(), nullptr);
    EXPECT_EQ(box->getApp(), app);
}

TEST(VersionDialog, ClassFactoryKnowsIt)
{
    // A made instance is a bare window that only a toolkit loading saved
    // state fills in; the record is what the factory needs.
    const FXMetaClass* meta = FXMetaClass::getMetaClassFromName("kgiVersionDialog");
    ASSERT_NE(meta, nullptr);
    EXPECT_EQ(meta->getBaseClass(), &FXDialogBox::metaClass);
}

} // namespace
