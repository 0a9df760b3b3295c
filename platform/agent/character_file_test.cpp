#include "platform/agent/character_file.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/agent/character_file_testing.h"
#include "platform/core/error_codes.h"
#include "platform/files/file_test_support.h"

namespace platform::agent {
namespace {

// Sets the header field at `field` of the first entry to `value` (NUL padded).
std::string WithField(size_t field, size_t length, std::string_view value) {
  std::string a = SmallCharacterFile();
  std::memset(a.data() + field, 0, length);
  std::memcpy(a.data() + field, value.data(), value.size());
  RewriteChecksum(a, 0);
  return a;
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

TEST(CharacterFile, ReadsTheManifestAndKeepsTheFrames) {
  Result<std::shared_ptr<const Character>> read = ReadCharacterFile(SmallCharacterFile());
  ASSERT_TRUE(read.ok()) << read.status().ToString();
  const Character& c = *read.value();
  EXPECT_EQ(c.name, "Small");
  EXPECT_EQ(c.width, 40);
  EXPECT_EQ(c.height, 30);
  EXPECT_EQ(c.balloon_x, 20);
  EXPECT_EQ(c.balloon_y, 2);
  ASSERT_EQ(c.frames.size(), 3u);
  EXPECT_EQ(c.frames[2].name, "wave");
  EXPECT_EQ(c.frames[2].png, PngHeader(40, 30));
  ASSERT_EQ(c.speaking.size(), 2u);
  EXPECT_EQ(c.speaking[0].frame, 1u);
  EXPECT_EQ(c.speaking[1].ms, 100);
  // Every name of the animation list plays something: its own, or the fallback.
  for (const std::string_view name : kAnimationNames) {
    SCOPED_TRACE(name);
    ASSERT_NE(c.Find(name), nullptr);
    EXPECT_EQ(c.Find(name)->name, name == "Greet" ? "Wave" : "Rest");
  }
  EXPECT_EQ(c.Find("greet")->duration_ms(), 200);
  EXPECT_EQ(c.Find("Dance")->name, "Wave");  // a name of its own beyond the list
  EXPECT_EQ(c.Find("Jump"), nullptr);
}

TEST(CharacterFile, ADamagedArchiveLoadsNothing) {
  const std::string good = SmallCharacterFile();
  struct Case {
    std::string_view what;
    std::string_view fault;
    std::function<std::string()> make;
  };
  const Case kCases[] = {
      {"empty", "no end blocks", [] { return std::string(); }},
      {"only zeros", "no character.ini", [] { return std::string(10240, '\0'); }},
      {"cut in a header", "not a whole number of blocks", [&] { return good.substr(0, 700); }},
      {"cut after a data block", "no end blocks", [&] { return good.substr(0, 1024); }},
      {"without end blocks", "data past the end", [&] { return good.substr(0, 2048 + 1536); }},
      {"one end block", "one end block",
       [] {
         std::string a = UstarArchive({{"character.ini", "x"}});
         return a.substr(0, 1536);
       }},
      {"data after the end blocks", "data after the end blocks",
       [&] {
         std::string a = good;
         a[a.size() - 1] = 'x';
         return a;
       }},
      {"a checksum off by one", "wrong checksum",
       [&] {
         std::string a = good;
         a[148 + 5] = static_cast<char>(a[148 + 5] + 1);
         return a;
       }},
      {"a name byte changed", "wrong checksum",
       [&] {
         std::string a = good;
         a[0] = 'C';
         return a;
       }},
      {"no ustar magic", "no ustar magic", [] { return WithField(257, 8, "ustar  "); }},
      {"a directory", "not a plain file", [] { return WithField(156, 1, "5"); }},
      {"a symbolic link", "not a plain file", [] { return WithField(156, 1, "2"); }},
      {"a hard link", "not a plain file", [] { return WithField(156, 1, "1"); }},
      {"a size past the end", "data past the end",
       [] { return WithField(124, 12, "77777777777"); }},
      {"a size that is no number", "bad size", [] { return WithField(124, 12, "12a"); }},
      {"an empty size", "bad size", [] { return WithField(124, 12, ""); }},
      {"a name with ..", "unsafe name",
       [] { return WithField(0, 100, "frames/../character.ini"); }},
      {"a name from the root", "unsafe name", [] { return WithField(0, 100, "/etc/passwd"); }},
      {"an empty name part", "unsafe name", [] { return WithField(0, 100, "frames//rest.png"); }},
      {"a backslash", "unsafe name", [] { return WithField(0, 100, "frames\\rest.png"); }},
      {"an empty name", "unsafe name", [] { return WithField(0, 100, ""); }},
      {"a prefix with ..", "unsafe name", [] { return WithField(345, 155, ".."); }},
      {"a name twice", "a name twice",
       [] {
         ArchiveFiles files = SmallCharacterFiles();
         files.push_back(files[1]);
         return UstarArchive(files);
       }},
      {"too many entries", "too many entries",
       [] {
         ArchiveFiles files = SmallCharacterFiles();
         for (size_t i = 0; i < kMaxEntries; ++i) {
           std::string name = std::to_string(i);
           name.append(".png");
           files.push_back({name, ""});
         }
         return UstarArchive(files);
       }},
      {"too large", "too large", [&] { return good + std::string(kMaxFileBytes, '\0'); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const Result<std::shared_ptr<const Character>> read = ReadCharacterFile(c.make());
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.status().code(), kInvalidDataFile);
    EXPECT_NE(read.status().file_error().find(c.fault), std::string::npos)
        << read.status().file_error();
  }
}

TEST(CharacterFile, AFaultyManifestLoadsNothing) {
  const std::string m = SmallManifest();
  struct Case {
    std::string_view what;
    std::string manifest;
    std::string_view fault;
  };
  std::string many_frames = m;
  for (size_t i = 0; i < kMaxFrames; ++i) {
    many_frames =
        Replace(many_frames, "[Frames]\r\n",
                std::string("[Frames]\r\nf") + std::to_string(i) + "=frames/rest.png\r\n");
  }
  std::string many_steps = "rest 1";
  for (size_t i = 0; i < kMaxSteps; ++i) many_steps += ", rest 1";
  const Case kCases[] = {
      {"no Name", Replace(m, "Name=Small\r\n", ""), "Name, Width, Height and Balloon"},
      {"Width 0", Replace(m, "Width=40", "Width=0"), "bad Width"},
      {"Width beyond the limit", Replace(m, "Width=40", "Width=1025"), "bad Width"},
      {"Height not a number", Replace(m, "Height=30", "Height=3O"), "bad Height"},
      {"a key twice", Replace(m, "Width=40", "Width=40\r\nWidth=40"), "Width twice"},
      {"an unknown key", Replace(m, "Width=40", "Depth=40"), "unknown key"},
      {"an unknown section", Replace(m, "[Names]", "[Sounds]"), "unknown section"},
      {"a key before the sections", std::string("Name=x\r\n") + m, "before any section"},
      {"a line without =", Replace(m, "Width=40", "Width 40"), "no '='"},
      {"Balloon outside", Replace(m, "Balloon=20,2", "Balloon=41,2"), "bad Balloon"},
      {"Balloon one number", Replace(m, "Balloon=20,2", "Balloon=20"), "bad Balloon"},
      {"a control character in Name", Replace(m, "Name=Small", "Name=Sm\x01ll"), "bad Name"},
      {"no UTF-8", Replace(m, "Name=Small", "Name=Sm\xE9ll"), "no UTF-8"},
      {"a frame name with a blank", Replace(m, "wave=frames", "wa ve=frames"), "bad frame"},
      {"a frame twice in any case", Replace(m, "wave=frames/wave.png", "REST=frames/wave.png"),
       "bad frame"},
      {"a frame without its entry", Replace(m, "frames/wave.png", "frames/none.png"),
       "no entry for frame wave"},
      {"the manifest as a frame", Replace(m, "frames/wave.png", "character.ini"),
       "no entry for frame wave"},
      {"too many frames", many_frames, "too many frames"},
      {"a step of an unknown frame", Replace(m, "wave 120", "jump 120"), "bad step in Wave"},
      {"a step of 0 ms", Replace(m, "wave 120", "wave 0"), "bad step in Wave"},
      {"a step too long", Replace(m, "wave 120", "wave 60001"), "bad step in Wave"},
      {"a step without time", Replace(m, "wave 120", "wave"), "bad step in Wave"},
      {"an empty animation", Replace(m, "Wave = wave 120 , rest 80", "Wave="), "bad step in Wave"},
      {"too many steps", Replace(m, "Rest=rest 1000", std::string("Rest=") + many_steps),
       "too many steps in Rest"},
      {"bad speaking frames", Replace(m, "Speaking=talk 100", "Speaking=mouth 100"),
       "bad step in Speaking"},
      {"a name of no animation", Replace(m, "Greet=Wave", "Greet=Wink"), "no animation for Greet"},
      {"a fallback of no animation", Replace(m, "*=Rest", "*=Sleep"),
       "no animation for the fallback"},
      {"no fallback", Replace(m, "*=Rest\r\n", ""), "no animation for Acknowledge"},
      {"two fallbacks", m + "*=Wave\r\n", "two fallbacks"},
      {"too large", m + std::string(kMaxManifestBytes, ';'), "manifest is too large"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const Result<std::shared_ptr<const Character>> read =
        ReadCharacterFile(SmallCharacterFile(c.manifest));
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.status().code(), kInvalidDataFile);
    EXPECT_NE(read.status().file_error().find(c.fault), std::string::npos)
        << read.status().file_error();
  }
}

TEST(CharacterFile, TheFramesMustBePngsOfTheCharactersSizeAndEveryEntryAFrame) {
  struct Case {
    std::string_view what;
    std::string png;
    std::string_view fault;
  };
  const Case kCases[] = {
      {"no PNG", "GIF89a", "frame wave is no PNG"},
      {"a cut PNG header", PngHeader(40, 30).substr(0, 30), "frame wave is no PNG"},
      {"another size", PngHeader(41, 30), "not of the character's size"},
      {"a huge size", PngHeader(0xFFFFFFFF, 0xFFFFFFFF), "not of the character's size"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ArchiveFiles files = SmallCharacterFiles();
    files[3].second = c.png;
    const Result<std::shared_ptr<const Character>> read = ReadCharacterFile(UstarArchive(files));
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.status().file_error().find(c.fault), std::string::npos)
        << read.status().file_error();
  }
  ArchiveFiles files = SmallCharacterFiles();
  files.push_back({"frames/extra.png", PngHeader(40, 30)});
  EXPECT_FALSE(ReadCharacterFile(UstarArchive(files)).ok());
  // All frames together stay below the pixel limit.
  std::string big = Replace(SmallManifest(), "Width=40", "Width=1024");
  big = Replace(big, "Height=30", "Height=1024");
  for (int i = 0; i < 20; ++i) {
    big = Replace(big, "[Frames]\r\n",
                  std::string("[Frames]\r\nf") + std::to_string(i) + "=frames/rest.png\r\n");
  }
  files = SmallCharacterFiles(big);
  for (int i = 1; i < 4; ++i) files[i].second = PngHeader(1024, 1024);
  const Result<std::shared_ptr<const Character>> read = ReadCharacterFile(UstarArchive(files));
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.status().file_error().find("too many pixels"), std::string::npos);
}

TEST(CharacterFile, LoadReadsAPlainFileOnly) {
  files::TempDirForTest dir;
  ASSERT_EQ(mkdir(dir.File("Ms agent").c_str(), 0755), 0);
  dir.Write("Ms agent/Small.ACS", SmallCharacterFile());
  const Result<std::shared_ptr<const Character>> loaded =
      LoadCharacterFile(dir.File("Ms agent/Small.ACS"));
  ASSERT_TRUE(loaded.ok()) << loaded.status().ToString();
  EXPECT_EQ(loaded.value()->name, "Small");
  EXPECT_NE(LoadCharacter(dir.File("Ms agent/Small.ACS")), nullptr);

  EXPECT_EQ(LoadCharacterFile(dir.File("Ms agent/None.ACS")).status().code(), kFileNotFound);
  EXPECT_EQ(LoadCharacterFile(dir.File("Ms agent")).status().code(), kInvalidDataFile);
  ASSERT_EQ(mkfifo(dir.File("fifo.ACS").c_str(), 0644), 0);
  EXPECT_EQ(LoadCharacterFile(dir.File("fifo.ACS")).status().code(), kInvalidDataFile);
  EXPECT_EQ(LoadCharacter(dir.File("fifo.ACS")), nullptr);
}

}  // namespace
}  // namespace platform::agent
