#include "common/app_title.h"

#include <gtest/gtest.h>

#include "app/file_exists.h"
#include "platform/sim/sim_desktop.h"

namespace pellucor::test {
namespace {

TEST(ShortenTitle, OneWordStaysWhole) {
  EXPECT_EQ(ShortenTitle("Pellucor"), "Pellucor");
  const std::string longWord(55, 'x');
  EXPECT_EQ(ShortenTitle(longWord), longWord) << "no space to cut at";
}

TEST(ShortenTitle, ShortTitleWithASpaceLosesItsLastWord) {
  EXPECT_EQ(ShortenTitle("Pellucor Cursor Hider"), "Pellucor Cursor");
  EXPECT_EQ(ShortenTitle("A B"), "A");
  EXPECT_EQ(ShortenTitle("Trailing "), "Trailing");
}

TEST(ShortenTitle, LongTitleLosesWordsUntilItFitsFortyCharacters) {
  // 10 words of 9 characters: 99 characters in all.
  std::string title;
  for (int i = 0; i < 10; ++i) title += (i ? " " : "") + std::string(9, static_cast<char>('a' + i));
  const std::string cut = ShortenTitle(title);
  EXPECT_EQ(cut, title.substr(0, 39)) << "four words, 39 characters";
  EXPECT_EQ(ShortenTitle(title.substr(0, 49)), title.substr(0, 39));
}

TEST(ShortenTitle, ExactlyFortyOneCharactersNeedsOneCutOnly) {
  const std::string title = std::string(30, 'a') + " " + std::string(10, 'b');  // 41 characters
  EXPECT_EQ(ShortenTitle(title), std::string(30, 'a'));
}

TEST(ShortenTitle, CountsCharactersNotBytes) {
  // 40 two-byte letters fit; the cut still drops the last word.
  std::string wide;
  for (int i = 0; i < 38; ++i) wide += "\xC3\xA9";  // é
  EXPECT_EQ(ShortenTitle(wide + " x y"), wide + " x");
}

TEST(ShortenTitle, WordsLeftWhenTheFirstSpaceIsAtTheStart) { EXPECT_EQ(ShortenTitle(" " + std::string(50, 'z')), ""); }

struct FileExistsTest : ::testing::Test {
  sim::SimDesktop sim;
};

TEST_F(FileExistsTest, FilesAndFoldersExist) {
  sim.addFile("C:\\Apps\\Tool\\readme.txt", "x");
  EXPECT_TRUE(FileExists(sim, "C:\\Apps\\Tool\\readme.txt"));
  EXPECT_TRUE(FileExists(sim, "c:\\apps\\tool\\README.TXT")) << "paths compare without case";
  EXPECT_TRUE(FileExists(sim, "C:\\Apps\\Tool"));
  EXPECT_TRUE(FileExists(sim, "C:\\Apps\\Tool\\"));
}

TEST_F(FileExistsTest, MissingEmptyAndMalformedPathsDoNot) {
  sim.addFile("C:\\Apps\\a.txt", "x");
  EXPECT_FALSE(FileExists(sim, "C:\\Apps\\b.txt"));
  EXPECT_FALSE(FileExists(sim, "C:\\Nowhere\\a.txt"));
  EXPECT_FALSE(FileExists(sim, ""));
  EXPECT_FALSE(FileExists(sim, "C:\\Apps\\a<b>.txt"));
  EXPECT_FALSE(FileExists(sim, "C:\\Apps\\*.txt")) << "a pattern is not a file";
  EXPECT_FALSE(FileExists(sim, "C:\\Ap:ps"));
}

}  // namespace
}  // namespace pellucor::test
