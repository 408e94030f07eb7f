// The texts in every language: which one is spoken, that every table holds
// every text with the same values put in, and the window in a long language.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "app/main_window.h"
#include "common/error_report.h"
#include "harness.h"
#include "options/key_chord.h"
#include "platform/sim/sim_text.h"
#include "platform/sim/sim_texts.h"

namespace pellucor::test {
namespace {

using ::testing::HasSubstr;

TEST(Language, IsTheFirstPreferredOneWeHaveWholeThenByItsBaseElseEnglish) {
  const std::vector<std::string> have = {"en-US", "de-DE", "pt-BR", "zh-CN", "ar-SA"};
  const struct {
    std::vector<std::string> preferred;
    const char* chosen;
  } cases[] = {
      {{"de-DE"}, "de-DE"},
      {{"DE-de"}, "de-DE"},
      {{"de-AT"}, "de-DE"},
      {{"pt-PT"}, "pt-BR"},
      {{"zh-SG"}, "zh-CN"},
      {{"zh-Hans-SG"}, "zh-CN"},
      {{"cy-GB"}, "en-US"},
      {{"cy-GB", "de-CH"}, "de-DE"},
      {{"en-GB", "de-DE"}, "en-US"},
      {{"fr-FR", "nl-NL"}, "en-US"},
      {{}, "en-US"},
      {{""}, "en-US"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseLanguage(c.preferred, have), c.chosen) << (c.preferred.empty() ? "" : c.preferred[0]);
  }
  EXPECT_TRUE(ReadsRightToLeft("ar-SA"));
  EXPECT_FALSE(ReadsRightToLeft("arn-CL"));
  EXPECT_EQ(FillIn("%2 then %1, 100%%", {"a", "b"}), "b then a, 100%");
}

// The values a text puts in, in order of their numbers.
std::multiset<std::string> Placeholders(const std::string& text) {
  static const std::regex kValue("%[1-9]");
  std::multiset<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), kValue); it != std::sregex_iterator(); ++it)
    found.insert(it->str());
  return found;
}

// The access key a text marks with "&", or 0.
char32_t AccessKey(const std::string& text) {
  const std::size_t amp = text.find('&');
  if (amp == std::string::npos || amp + 1 == text.size()) return 0;
  const std::u32string key = sim::FoldedCodePoints(text.substr(amp + 1, 4));
  return key.empty() ? 0 : key[0];
}

TEST(StringTables, EveryLanguageHasEveryTextWithTheSameValuesAndItsOwnAccessKeys) {
  const std::vector<sim::StringTable> tables = sim::ReadStringTables(sim::ResourceFolder());
  ASSERT_GE(tables.size(), 14u);
  const sim::StringTable& english = tables.front();
  ASSERT_EQ(english.texts.at(IDS_LANGUAGE_TAG), "en-US");
  EXPECT_EQ(english.texts.size(), sim::ReadTextIds(sim::ResourceFolder() + "/../src/platform/text_ids.h").size());
  std::set<std::string> tags;
  for (const sim::StringTable& table : tables) {
    const std::string& file = table.file;
    EXPECT_THAT(table.faults, ::testing::IsEmpty()) << file;
    EXPECT_EQ(table.order, english.order) << file << ": the same texts in the same order";
    EXPECT_TRUE(tags.insert(table.texts.count(IDS_LANGUAGE_TAG) ? table.texts.at(IDS_LANGUAGE_TAG) : "").second)
        << file << ": a tag of its own";
    std::map<char32_t, int> optionsKeys;
    for (const auto& [id, text] : table.texts) {
      const auto theirs = english.texts.find(id);
      if (theirs == english.texts.end()) continue;
      EXPECT_FALSE(text.empty()) << file << " " << id;
      EXPECT_EQ(Placeholders(text), Placeholders(theirs->second)) << file << " " << id;
      if (id >= IDS_KEY_CTRL) {
        EXPECT_EQ(text.find('+'), std::string::npos) << file << " " << id << ": joins keys";
      }
      if (id < IDS_OPTIONS_CAPTION || id > IDS_OPT_CANCEL) continue;
      EXPECT_EQ(AccessKey(text) != 0, AccessKey(theirs->second) != 0) << file << " " << id << ": " << text;
      if (const char32_t key = AccessKey(text)) {
        const auto [other, fresh] = optionsKeys.emplace(key, id);
        EXPECT_TRUE(fresh) << file << ": " << id << " and " << other->second << " share an access key";
      }
    }
  }
}

TEST(Languages, AGermanUserReadsGermanCaptionsWithGermanKeyNamesAndAWiderWindow) {
  Desktop english;
  english.start();
  Desktop german;
  german.sim.preferredLanguages = {"de-AT", "en-US"};
  MainWindow& form = german.start();
  EXPECT_EQ(german.sim.control(MainWindow::kRunButton).text, "Ausblenden starten (Beenden mit Strg + Umschalt + S)");
  EXPECT_EQ(german.sim.control(MainWindow::kStartupFrame).text, german.sim.textFor(IDS_STARTUP_FRAME));
  EXPECT_EQ(english.sim.windowSpec().clientWidthTwips, 8040) << "English as designed";
  // A failure: its text and the request in German, where it happened as ever.
  form.idleSecondsField.setText("abc");
  form.run.onTick();
  form.run.onTick();
  ASSERT_FALSE(german.sim.boxes.empty());
  EXPECT_EQ(german.sim.boxes[0].caption, "Anwendungsfehler");
  EXPECT_THAT(german.sim.boxes[0].text, HasSubstr("Typen unverträglich\r\nin Pellucor2021/08/31.Form1.Timer1_Timer at line"));
  EXPECT_THAT(german.sim.boxes[0].text, HasSubstr("support@trandavel.example"));
}

TEST(Languages, NoCaptionIsCutInAnyLanguage) {
  for (const sim::StringTable& table : sim::ReadStringTables(sim::ResourceFolder())) {
    Desktop d;
    d.sim.preferredLanguages = {table.texts.at(IDS_LANGUAGE_TAG)};
    d.start();
    d.sim.control(MainWindow::kStartMinimisedBox).visible = true;
    int right = 0;
    for (const ControlId id : {MainWindow::kIdleSecondsFrame, MainWindow::kStartupFrame, MainWindow::kStartWithWindowsBox,
                               MainWindow::kStartMinimisedBox, MainWindow::kRunButton}) {
      const ControlSpec& design = d.sim.control(id).design;
      EXPECT_GT(design.rect.width, d.sim.textWidthTwips(design.font, d.sim.control(id).text)) << table.file << " " << id;
      if (design.container == MainWindow::kStartupFrame) right = std::max(right, design.rect.left + design.rect.width);
    }
    EXPECT_LE(right, d.sim.control(MainWindow::kStartupFrame).design.rect.width) << table.file;
    EXPECT_LE(d.sim.control(MainWindow::kRunButton).design.rect.width + 240, d.sim.windowSpec().clientWidthTwips);
  }
}

TEST(Languages, ArabicReadsRightToLeftAndAWelshUserReadsEnglish) {
  sim::SimDesktop arabic;
  arabic.preferredLanguages = {"ar-EG"};
  EXPECT_EQ(arabic.language(), "ar-SA");
  EXPECT_TRUE(arabic.rightToLeft());
  EXPECT_THAT(RunButtonCaption(true, KeyChord{true, true, false, false, 0x48}, arabic), HasSubstr("Ctrl + Alt + H"));
  sim::SimDesktop welsh;
  welsh.preferredLanguages = {"cy-GB"};
  EXPECT_EQ(welsh.language(), "en-US");
  EXPECT_FALSE(welsh.rightToLeft());
  EXPECT_EQ(RunButtonCaption(false, kDefaultStopKey, welsh), kStartCaption);
}

}  // namespace
}  // namespace pellucor::test
