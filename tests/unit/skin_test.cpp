#include <gtest/gtest.h>

#include "app/skin_engine.h"
#include "harness.h"

namespace pellucor::test {
namespace {

constexpr const char* kBlueSkin =
    "; a dark blue skin\n"
    "[Colors]\n"
    "Window=#204080\n"
    "Frame = #102030\r\n"
    "FrameText=#FFFFFF\n"
    "CheckBox=#112233\n"
    "Field=#FFFFEE\n"
    "Button=#336699\n"
    "ButtonText=#FFFF00\n"
    "Unknown=#000000\n";

TEST(SkinFile, ColoursAreReadAsBgr) {
  const SkinColours c = ParseSkin(kBlueSkin, "");
  EXPECT_EQ(c.window, 0x804020u);
  EXPECT_EQ(c.frame, 0x302010u);
  EXPECT_EQ(c.buttonText, 0x00FFFFu);
  EXPECT_FALSE(c.checkBoxText.has_value()) << "absent keys change nothing";
}

TEST(SkinFile, TheSectionCanBeChosen) {
  const SkinColours c = ParseSkin("[Colors]\nWindow=#000001\n[night]\nWindow=#000002\n", "Night");
  EXPECT_EQ(c.window, 0x020000u);
}

TEST(SkinFile, MalformedFilesAreRejected) {
  for (const char* text : {"Window=#204080\n", "[Colors]\nWindow=204080\n", "[Colors]\nWindow=#20408\n",
                           "[Colors]\nWindow=#20408G\n", "[Colors]\nWindow\n", "[Colors\nWindow=#000000\n", ""}) {
    EXPECT_THROW(ParseSkin(text, ""), Failure) << text;
  }
}

TEST(SkinEngine, UnknownMembersAndWrongArgumentsFail) {
  sim::SimDesktop sim;
  SkinEngine skin(sim, sim);
  EXPECT_THROW(skin.Invoke(4, InvokeKind::Method), Failure);
  EXPECT_THROW(skin.Invoke(SkinEngine::kLoadSkin, InvokeKind::Method, {std::int32_t{1}, std::string()}), Failure);
  EXPECT_THROW(skin.Invoke(SkinEngine::kLoadSkin, InvokeKind::Method, {std::string("C:\\none.cjs")}), Failure);
  EXPECT_THROW(skin.Invoke(SkinEngine::kOptions, InvokeKind::PropertyPut, {std::string("x")}), Failure);
}

TEST(SkinEngine, WithoutTheControlsOptionOnlyTheWindowIsSkinned) {
  Desktop d;
  d.sim.addFile("C:\\skin.cjs", kBlueSkin);
  d.start();
  SkinEngine skin(d.sim, d.sim);
  skin.Invoke(SkinEngine::kLoadSkin, InvokeKind::Method, {std::string("C:\\skin.cjs"), std::string()});
  skin.Invoke(SkinEngine::kApplyColors, InvokeKind::PropertyPut, {true});
  skin.Invoke(SkinEngine::kApplyWindow, InvokeKind::Method, {static_cast<std::int32_t>(d.sim.handle())});
  EXPECT_EQ(d.sim.windowBack(), 0x804020u);
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsFrame).back, kWhite);
}

TEST(SkinEngine, AnotherWindowsHandleIsRefused) {
  Desktop d;
  d.start();
  SkinEngine skin(d.sim, d.sim);
  EXPECT_THROW(skin.Invoke(SkinEngine::kApplyWindow, InvokeKind::Method, {std::int32_t{0x1234}}), Failure);
}

TEST(ApplySkin, NoSkinFileLeavesTheWindowWhite) {
  Desktop d;
  MainWindow& f = d.start();
  EXPECT_EQ(d.sim.windowBack(), kWhite);
  for (ControlId id : {MainWindow::kIdleSecondsFrame, MainWindow::kStartupFrame, MainWindow::kStartWithWindowsBox,
                       MainWindow::kStartMinimisedBox})
    EXPECT_EQ(d.sim.control(id).back, kWhite);
  EXPECT_FALSE(f.skin.loaded());
  EXPECT_TRUE(d.logOf({"readTextFile"}).empty());
}

TEST(ApplySkin, SkinFileRecoloursWindowAndControls) {
  Desktop d;
  d.sim.addFile(d.file("\\x\\o.cjs"), kBlueSkin);
  MainWindow& f = d.start();
  EXPECT_TRUE(d.sim.boxes.empty());
  // The engine's colours win over the button face that went before them.
  EXPECT_EQ(d.sim.windowBack(), 0x804020u);
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsFrame).back, 0x302010u);
  EXPECT_EQ(d.sim.control(MainWindow::kStartupFrame).fore, 0xFFFFFFu);
  EXPECT_EQ(d.sim.control(MainWindow::kStartMinimisedBox).back, 0x332211u);
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsField).back, 0xEEFFFFu);
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).back, 0x996633u);
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).fore, 0x00FFFFu);
  // The properties were set before the window was skinned, as asked.
  EXPECT_EQ(std::get<std::int32_t>(f.skin.Invoke(SkinEngine::kOptions, InvokeKind::PropertyGet)), 1);
  EXPECT_TRUE(std::get<bool>(f.skin.Invoke(SkinEngine::kApplyTextColors, InvokeKind::PropertyGet)));
}

TEST(ApplySkin, ButtonFaceGoesToTheWindowFramesAndCheckBoxesOnly) {
  Desktop d;
  d.sim.addFile(d.file("\\x\\o.cjs"), "[Colors]\n");  // a skin with no colours of its own
  d.start();
  EXPECT_EQ(d.sim.windowBack(), kSysButtonFace);
  for (ControlId id : {MainWindow::kIdleSecondsFrame, MainWindow::kStartupFrame, MainWindow::kStartWithWindowsBox,
                       MainWindow::kStartMinimisedBox})
    EXPECT_EQ(d.sim.control(id).back, kSysButtonFace) << id;
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsField).back, kSysWindow);
  EXPECT_EQ(d.sim.control(MainWindow::kRunButton).back, kWhite);
}

TEST(ApplySkin, RejectedSkinIsReportedAtLine100AndTheColoursSoFarStay) {
  Desktop d;
  d.sim.addFile(d.file("\\x\\o.cjs"), "[Colors]\nWindow=blue\n");
  d.start();
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.boxes[0].text.rfind("Invalid skin file\r\nin Pellucor2021/08/31.Form1.Form_Load at line 100", 0), 0u);
  EXPECT_EQ(d.sim.windowBack(), kSysButtonFace);
  EXPECT_EQ(d.sim.windowCaption(), "Pellucor") << "start-up went on";
  EXPECT_FALSE(d.logOf({"line 102"}).empty());
}

TEST(ApplySkin, AHiddenOrFolderSkinIsNoSkin) {
  Desktop hidden;
  hidden.sim.addFile(hidden.file("\\x\\o.cjs"), kBlueSkin, /*hidden=*/true);
  hidden.start();
  EXPECT_EQ(hidden.sim.windowBack(), kWhite);

  Desktop folder;
  folder.sim.addFolder(folder.file("\\x\\o.cjs"));
  folder.start();
  EXPECT_EQ(folder.sim.windowBack(), kWhite);
  EXPECT_TRUE(folder.sim.boxes.empty());
}

// A high-contrast theme: the system's colours, skin or not; the skin comes
// back when the theme goes, and goes again with the next one.
TEST(ApplySkin, HighContrastLeavesTheSkinAloneUntilItGoes) {
  for (const bool skinned : {false, true}) {
    Desktop d;
    if (skinned) d.sim.addFile(d.file("\\x\\o.cjs"), kBlueSkin);
    d.sim.highContrastOn = true;
    MainWindow& f = d.start();
    const auto systemColours = [&] {
      return d.sim.windowBack() == kSysButtonFace &&
             d.sim.control(MainWindow::kIdleSecondsFrame).back == kSysButtonFace &&
             d.sim.control(MainWindow::kIdleSecondsFrame).fore == kSysButtonText &&
             d.sim.control(MainWindow::kIdleSecondsField).back == kSysWindow &&
             d.sim.control(MainWindow::kRunButton).fore == kSysButtonText;
    };
    EXPECT_TRUE(systemColours()) << "at the start, skinned " << skinned;
    EXPECT_EQ(f.skin.loaded(), skinned);
    d.sim.highContrastOn = false;
    d.sim.coloursChanged();
    d.sim.runPending();
    EXPECT_EQ(d.sim.windowBack(), skinned ? 0x804020u : kWhite) << skinned;
    EXPECT_EQ(d.sim.control(MainWindow::kRunButton).fore, skinned ? 0x00FFFFu : kSysButtonText) << skinned;
    EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsField).back, skinned ? 0xEEFFFFu : kSysWindow) << skinned;
    d.sim.highContrastOn = true;
    d.sim.coloursChanged();
    d.sim.runPending();
    EXPECT_TRUE(systemColours()) << "again, skinned " << skinned;
    EXPECT_TRUE(d.sim.boxes.empty());
  }
}

}  // namespace
}  // namespace pellucor::test
