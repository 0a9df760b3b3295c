#include "platform/files/ini_file.h"

#include <mutex>
#include <optional>
#include <vector>

#include "platform/core/error_codes.h"

namespace platform::files {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One line of the file as it stands: `text` without, `end` with its line end.
struct Line {
  size_t begin = 0;
  size_t text_end = 0;
  size_t end = 0;
};

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;   // the section's or key's name, blanks trimmed
  std::string_view value;  // a key's value, blanks trimmed
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char FoldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < content.size()) {
    const size_t newline = content.find('\n', pos);
    Line line;
    line.begin = pos;
    line.end = newline == std::string_view::npos ? content.size() : newline + 1;
    line.text_end = newline == std::string_view::npos ? content.size() : newline;
    if (line.text_end > line.begin && content[line.text_end - 1] == '\r') --line.text_end;
    lines.push_back(line);
    pos = line.end;
  }
  return lines;
}

ParsedLine Parse(std::string_view content, const Line& line) {
  std::string_view text = content.substr(line.begin, line.text_end - line.begin);
  if (line.begin == 0 && text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    text.remove_prefix(kUtf8Bom.size());
  }
  const std::string_view trimmed = Trim(text);
  ParsedLine p;
  if (trimmed.empty()) {
    p.kind = LineKind::kBlank;
  } else if (trimmed.front() == ';') {
    p.kind = LineKind::kComment;
  } else if (trimmed.front() == '[' && trimmed.find(']') != std::string_view::npos) {
    p.kind = LineKind::kSection;
    p.name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
  } else if (const size_t eq = trimmed.find('='); eq != std::string_view::npos) {
    p.kind = LineKind::kKey;
    p.name = Trim(trimmed.substr(0, eq));
    p.value = Trim(trimmed.substr(eq + 1));
  }
  return p;
}

// Where a key stands in the file, or where a new one would go.
struct Place {
  std::optional<size_t> key_line;      // the line holding the key
  std::optional<size_t> section_line;  // the first line of the first such section
  size_t insert_after = 0;             // the section's header or its last entry
};

Place Find(std::string_view content, const std::vector<Line>& lines, std::string_view section,
           std::string_view key) {
  Place place;
  bool in_section = false;
  bool in_first = false;  // in the first section of that name, the one that takes new keys
  for (size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine p = Parse(content, lines[i]);
    if (p.kind == LineKind::kSection) {
      in_section = SameName(p.name, section);
      in_first = in_section && !place.section_line;
      if (in_first) {
        place.section_line = i;
        place.insert_after = i;
      }
      continue;
    }
    if (!in_section) continue;
    if (p.kind == LineKind::kKey && SameName(p.name, key)) {
      place.key_line = i;
      return place;
    }
    // Blank lines and comments after the last entry belong to what follows.
    if (in_first && (p.kind == LineKind::kKey || p.kind == LineKind::kOther)) {
      place.insert_after = i;
    }
  }
  return place;
}

// A line break becomes one blank, so nothing written can start a line of its own.
std::string OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
  }
  return out;
}

std::mutex& PutMutex() {
  static std::mutex mu;
  return mu;
}

}  // namespace

std::string GetIni(std::string_view section, std::string_view key, std::string_view default_value,
                   std::string_view file) {
  Result<std::string> content = ReadWholeFile(std::string(file));
  if (!content.ok()) return std::string(default_value);
  const std::string& text = content.value();
  const std::vector<Line> lines = SplitLines(text);
  const Place place = Find(text, lines, section, key);
  if (!place.key_line) return std::string(default_value);
  return std::string(Parse(text, lines[*place.key_line]).value);
}

Status PutIni(std::string_view section, std::string_view key, std::string_view value,
              std::string_view file, const AtomicFileOptions& options) {
  const std::string path(file);
  std::lock_guard<std::mutex> lock(PutMutex());
  std::string old;
  if (Result<std::string> content = ReadWholeFile(path); content.ok()) {
    old = std::move(content).value();
  } else if (content.status().code() != kFileNotFound) {
    return content.status();
  }
  const std::string section_text = OneLine(section);
  const std::string key_text = OneLine(key);
  const std::vector<Line> lines = SplitLines(old);
  const Place place = Find(old, lines, Trim(section_text), Trim(key_text));

  std::string updated;
  updated.reserve(old.size() + key_text.size() + value.size() + 16);
  auto key_line = [&](std::string_view name) {
    std::string line(name);
    line += '=';
    line += OneLine(value);
    line += kLineEnd;
    return line;
  };
  // A last line without its end gets one before anything follows it.
  auto append_old = [&](size_t from, size_t to) {
    updated.append(old, from, to - from);
    if (to == old.size() && !old.empty() && old.back() != '\n') updated += kLineEnd;
  };
  if (place.key_line) {
    const Line& line = lines[*place.key_line];
    updated.append(old, 0, line.begin);
    // The key keeps the spelling the file has.
    updated += key_line(Parse(old, line).name);
    updated.append(old, line.end, std::string::npos);
  } else if (place.section_line) {
    const size_t cut = lines[place.insert_after].end;
    append_old(0, cut);
    updated += key_line(Trim(key_text));
    updated.append(old, cut, std::string::npos);
  } else {
    append_old(0, old.size());
    if (!old.empty() && Parse(old, lines.back()).kind != LineKind::kBlank) updated += kLineEnd;
    updated += '[';
    updated += Trim(section_text);
    updated += ']';
    updated += kLineEnd;
    updated += key_line(Trim(key_text));
  }
  if (updated == old) return Status();
  return WriteFileAtomically(path, updated, options);
}

}  // namespace platform::files
