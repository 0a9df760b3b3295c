#include "platform/agent/character_file.h"

#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/agent/ustar.h"
#include "platform/core/error_codes.h"
#include "platform/core/os_error.h"

namespace platform::agent {
namespace {

constexpr size_t kMaxNameBytes = 64;
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1A\n";
constexpr std::string_view kFallback = "*";

enum class Section { kNone, kCharacter, kFrames, kAnimations, kNames };

Status Fault(std::string what) {
  return Status::Error(kInvalidDataFile, {}, "character file: " + std::move(what));
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsName(std::string_view s) {
  if (s.empty() || s.size() > kMaxNameBytes) return false;
  for (const char c : s) {
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

// Whole UTF-8: no stray continuation bytes, no overlong forms, no surrogates.
bool IsUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t more = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      more = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      more = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      more = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + more >= s.size()) return false;  // cut off
    for (size_t k = 1; k <= more; ++k) {
      const unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += more + 1;
  }
  return true;
}

// Decimal digits only, from `low` to `high`.
std::optional<int32_t> Number(std::string_view s, int32_t low, int32_t high) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  int32_t value = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::optional<size_t> IndexOf(const std::vector<std::string>& names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualsNoCase(names[i], name)) return i;
  }
  return std::nullopt;
}

// The manifest as read, before its names are tied together.
struct Manifest {
  std::optional<std::string> name;
  std::optional<int32_t> width;
  std::optional<int32_t> height;
  std::optional<std::string> balloon;
  std::optional<std::string> speaking;
  std::vector<std::string> frame_names;
  std::vector<std::string> frame_paths;
  std::vector<std::string> animation_names;
  std::vector<std::string> animation_steps;
  std::vector<std::string> played_names;
  std::vector<std::string> played_animations;
  std::optional<std::string> fallback;
};

Status ReadCharacterKey(Manifest& m, std::string_view key, std::string_view value,
                        const std::string& where) {
  auto once = [&](auto& slot, auto v) -> Status {
    if (slot) return Fault(std::string(key) + " twice" + where);
    slot = std::move(v);
    return Status();
  };
  if (key == "Name") {
    if (value.empty() || value.size() > kMaxNameBytes) return Fault("bad Name" + where);
    for (const char c : value) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return Fault("bad Name" + where);
    }
    return once(m.name, std::string(value));
  }
  if (key == "Width" || key == "Height") {
    const std::optional<int32_t> n = Number(value, 1, kMaxSide);
    if (!n) return Fault("bad " + std::string(key) + where);
    return once(key == "Width" ? m.width : m.height, *n);
  }
  if (key == "Balloon") return once(m.balloon, std::string(value));
  if (key == "Speaking") return once(m.speaking, std::string(value));
  return Fault("unknown key " + std::string(key) + where);
}

Result<Manifest> ReadManifest(std::string_view text) {
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  if (!IsUtf8(text)) return Fault("the manifest is no UTF-8");
  Manifest m;
  Section section = Section::kNone;
  int line_number = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++line_number;
    const std::string where = " on line " + std::to_string(line_number);
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      constexpr std::pair<std::string_view, Section> kSections[] = {
          {"[Character]", Section::kCharacter},
          {"[Frames]", Section::kFrames},
          {"[Animations]", Section::kAnimations},
          {"[Names]", Section::kNames}};
      Section next = Section::kNone;
      for (const auto& [header, s] : kSections) {
        if (line == header) next = s;
      }
      if (next == Section::kNone) return Fault("unknown section" + where);
      section = next;
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return Fault("no '='" + where);
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    switch (section) {
      case Section::kNone:
        return Fault("a key before any section" + where);
      case Section::kCharacter: {
        Status s = ReadCharacterKey(m, key, value, where);
        if (!s.ok()) return s;
        break;
      }
      case Section::kFrames:
        if (!IsName(key) || IndexOf(m.frame_names, key)) return Fault("bad frame" + where);
        if (m.frame_names.size() == kMaxFrames) return Fault("too many frames");
        m.frame_names.emplace_back(key);
        m.frame_paths.emplace_back(value);
        break;
      case Section::kAnimations:
        if (!IsName(key) || IndexOf(m.animation_names, key)) {
          return Fault("bad animation" + where);
        }
        if (m.animation_names.size() == kMaxAnimations) return Fault("too many animations");
        m.animation_names.emplace_back(key);
        m.animation_steps.emplace_back(value);
        break;
      case Section::kNames:
        if (key == kFallback) {
          if (m.fallback) return Fault("two fallbacks" + where);
          m.fallback = std::string(value);
          break;
        }
        if (!IsName(key) || IndexOf(m.played_names, key)) return Fault("bad name" + where);
        if (m.played_names.size() == kMaxPlayedNames) return Fault("too many names");
        m.played_names.emplace_back(key);
        m.played_animations.emplace_back(value);
        break;
    }
  }
  if (!m.name || !m.width || !m.height || !m.balloon) {
    return Fault("Name, Width, Height and Balloon are needed");
  }
  return m;
}

// "frame ms, frame ms, ...": at least one step, at most kMaxSteps.
Result<std::vector<FrameStep>> ReadSteps(std::string_view text,
                                         const std::vector<std::string>& frames,
                                         const std::string& what) {
  std::vector<FrameStep> steps;
  for (;;) {
    const size_t comma = text.find(',');
    const std::string_view step = Trim(text.substr(0, comma));
    const size_t blank = step.find(' ');
    if (blank == std::string_view::npos) return Fault("bad step in " + what);
    const std::optional<size_t> frame = IndexOf(frames, step.substr(0, blank));
    const std::optional<int32_t> ms = Number(Trim(step.substr(blank + 1)), 1, kMaxStepMs);
    if (!frame || !ms) return Fault("bad step in " + what);
    if (steps.size() == kMaxSteps) return Fault("too many steps in " + what);
    steps.push_back(FrameStep{*frame, *ms});
    if (comma == std::string_view::npos) return steps;
    text.remove_prefix(comma + 1);
  }
}

// Width and height of a PNG, from its header chunk; nullopt when it is no PNG.
std::optional<std::pair<int64_t, int64_t>> PngSize(std::string_view png) {
  constexpr std::string_view kHeaderChunk("\0\0\0\x0DIHDR", 8);
  if (png.size() < 33 || !png.starts_with(kPngSignature) ||
      png.substr(kPngSignature.size(), kHeaderChunk.size()) != kHeaderChunk) {
    return std::nullopt;
  }
  auto be32 = [&png](size_t at) {
    int64_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(png[at + i]);
    return v;
  };
  return std::pair<int64_t, int64_t>{be32(16), be32(20)};
}

Result<std::shared_ptr<const Character>> Build(const Manifest& m,
                                               const std::vector<UstarEntry>& entries) {
  auto c = std::make_shared<Character>();
  c->name = *m.name;
  c->width = *m.width;
  c->height = *m.height;
  {
    const size_t comma = m.balloon->find(',');
    const std::string_view b = *m.balloon;
    const std::optional<int32_t> x =
        comma == std::string::npos ? std::nullopt : Number(Trim(b.substr(0, comma)), 0, c->width);
    const std::optional<int32_t> y =
        comma == std::string::npos ? std::nullopt : Number(Trim(b.substr(comma + 1)), 0, c->height);
    if (!x || !y) return Fault("bad Balloon");
    c->balloon_x = *x;
    c->balloon_y = *y;
  }
  if (m.frame_names.empty()) return Fault("no frames");
  const int64_t pixels = int64_t{c->width} * c->height;
  if (pixels * static_cast<int64_t>(m.frame_names.size()) > kMaxFramePixels) {
    return Fault("too many pixels");
  }
  std::vector<bool> used(entries.size(), false);
  for (size_t i = 0; i < entries.size(); ++i) used[i] = entries[i].name == kManifestName;
  for (size_t f = 0; f < m.frame_names.size(); ++f) {
    size_t e = 0;
    while (e < entries.size() && entries[e].name != m.frame_paths[f]) ++e;
    if (e == entries.size() || entries[e].name == kManifestName) {
      return Fault("no entry for frame " + m.frame_names[f]);
    }
    used[e] = true;
    const auto size = PngSize(entries[e].data);
    if (!size) return Fault("frame " + m.frame_names[f] + " is no PNG");
    if (size->first != c->width || size->second != c->height) {
      return Fault("frame " + m.frame_names[f] + " is not of the character's size");
    }
    c->frames.push_back(Frame{m.frame_names[f], std::string(entries[e].data), c->width, c->height});
  }
  for (size_t e = 0; e < entries.size(); ++e) {
    if (!used[e]) return Fault("entry " + entries[e].name + " is no frame");
  }
  for (size_t a = 0; a < m.animation_names.size(); ++a) {
    Result<std::vector<FrameStep>> steps =
        ReadSteps(m.animation_steps[a], m.frame_names, m.animation_names[a]);
    if (!steps.ok()) return steps.status();
    c->animations.push_back(Animation{m.animation_names[a], std::move(steps).value()});
  }
  if (m.speaking) {
    Result<std::vector<FrameStep>> steps = ReadSteps(*m.speaking, m.frame_names, "Speaking");
    if (!steps.ok()) return steps.status();
    c->speaking = std::move(steps).value();
  }
  for (size_t p = 0; p < m.played_names.size(); ++p) {
    const std::optional<size_t> a = IndexOf(m.animation_names, m.played_animations[p]);
    if (!a) return Fault("no animation for " + m.played_names[p]);
    c->played.push_back(Character::Played{m.played_names[p], *a});
  }
  std::optional<size_t> fallback;
  if (m.fallback) {
    fallback = IndexOf(m.animation_names, *m.fallback);
    if (!fallback) return Fault("no animation for the fallback");
  }
  for (const std::string_view name : kAnimationNames) {
    if (IndexOf(m.played_names, name)) continue;
    if (!fallback) return Fault("no animation for " + std::string(name));
    c->played.push_back(Character::Played{std::string(name), *fallback});
  }
  return std::shared_ptr<const Character>(std::move(c));
}

// Owns a file descriptor.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) (void)close(fd_);  // ignoring errors on purpose: the file was only read
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

Result<std::shared_ptr<const Character>> ReadCharacterFile(std::string_view file) {
  if (file.size() > kMaxFileBytes) return Fault("too large");
  Result<std::vector<UstarEntry>> entries = ReadUstar(file, kMaxEntries);
  if (!entries.ok()) return entries.status();
  const UstarEntry* manifest = nullptr;
  for (const UstarEntry& e : entries.value()) {
    if (e.name == kManifestName) manifest = &e;
  }
  if (manifest == nullptr) return Fault("no " + std::string(kManifestName));
  if (manifest->data.size() > kMaxManifestBytes) return Fault("the manifest is too large");
  Result<Manifest> m = ReadManifest(manifest->data);
  if (!m.ok()) return m.status();
  return Build(m.value(), entries.value());
}

Result<std::shared_ptr<const Character>> LoadCharacterFile(const std::string& path) {
  const Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return ErrnoStatus(errno);
  struct stat st;
  if (fstat(fd.get(), &st) != 0) return ErrnoStatus(errno);
  if (!S_ISREG(st.st_mode)) return Fault("not a plain file");
  if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > kMaxFileBytes) {
    return Fault("too large");
  }
  // One byte more than the size, to see a file that grew while it was read.
  std::string bytes(static_cast<size_t>(st.st_size) + 1, '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ErrnoStatus(errno);
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  if (got != static_cast<size_t>(st.st_size)) return Fault("changed while it was read");
  bytes.resize(got);
  return ReadCharacterFile(bytes);
}

std::shared_ptr<const Character> LoadCharacter(const std::string& path) {
  Result<std::shared_ptr<const Character>> c = LoadCharacterFile(path);
  return c.ok() ? std::move(c).value() : nullptr;
}

}  // namespace platform::agent
