#include "platform/agent/character_file_testing.h"

#include <cstdio>
#include <cstring>

namespace platform::agent {
namespace {

void Octal(std::string& header, size_t at, size_t length, uint64_t value) {
  // length - 1 digits and a NUL.
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*llo", static_cast<int>(length - 1),
                static_cast<unsigned long long>(value));
  std::memcpy(header.data() + at, buf, length - 1);
  header[at + length - 1] = '\0';
}

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char ch : bytes) {
    crc ^= static_cast<unsigned char>(ch);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

void Be32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

}  // namespace

void RewriteChecksum(std::string& archive, size_t at) {
  std::memset(archive.data() + at + 148, ' ', 8);
  uint32_t sum = 0;
  for (size_t i = 0; i < 512; ++i) sum += static_cast<unsigned char>(archive[at + i]);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06o", sum);
  std::memcpy(archive.data() + at + 148, buf, 6);
  archive[at + 154] = '\0';
}

std::string UstarArchive(const ArchiveFiles& files) {
  std::string out;
  for (const auto& [name, data] : files) {
    std::string header(512, '\0');
    std::string prefix;
    std::string base = name;
    if (base.size() > 100) {
      const size_t slash = base.rfind('/', base.size() - 1);
      prefix = base.substr(0, slash);
      base = base.substr(slash + 1);
    }
    std::memcpy(header.data(), base.data(), std::min<size_t>(base.size(), 100));
    Octal(header, 100, 8, 0644);
    Octal(header, 108, 8, 0);
    Octal(header, 116, 8, 0);
    Octal(header, 124, 12, data.size());
    Octal(header, 136, 12, 0);
    header[156] = '0';
    std::memcpy(header.data() + 257,
                "ustar\0"
                "00",
                8);
    std::memcpy(header.data() + 345, prefix.data(), std::min<size_t>(prefix.size(), 155));
    RewriteChecksum(header, 0);
    out += header;
    out += data;
    out.append((512 - data.size() % 512) % 512, '\0');
  }
  out.append(1024, '\0');
  out.append((10240 - out.size() % 10240) % 10240, '\0');
  return out;
}

std::string PngHeader(int64_t width, int64_t height) {
  std::string png = "\x89PNG\r\n\x1A\n";
  std::string chunk = "IHDR";
  Be32(chunk, static_cast<uint32_t>(width));
  Be32(chunk, static_cast<uint32_t>(height));
  chunk += std::string("\x08\x06\0\0\0", 5);  // 8 bits, RGBA
  Be32(png, 13);
  png += chunk;
  Be32(png, Crc32(chunk));
  return png;
}

std::string SmallManifest() {
  return "; a character for the tests\r\n"
         "[Character]\r\n"
         "Name=Small\r\n"
         "Width=40\r\n"
         "Height=30\r\n"
         "Balloon=20,2\r\n"
         "Speaking=talk 100, rest 100\r\n"
         "\r\n"
         "[Frames]\r\n"
         "rest=frames/rest.png\r\n"
         "talk=frames/talk.png\r\n"
         "wave=frames/wave.png\r\n"
         "[Animations]\r\n"
         "Rest=rest 1000\r\n"
         "Wave = wave 120 , rest 80\r\n"
         "[Names]\r\n"
         "Greet=Wave\r\n"
         "RestPose=Rest\r\n"
         "Dance=Wave\r\n"
         "*=Rest\r\n";
}

ArchiveFiles SmallCharacterFiles(const std::string& manifest) {
  return {{"character.ini", manifest},
          {"frames/rest.png", PngHeader(40, 30)},
          {"frames/talk.png", PngHeader(40, 30)},
          {"frames/wave.png", PngHeader(40, 30)}};
}

std::string SmallCharacterFile(const std::string& manifest) {
  return UstarArchive(SmallCharacterFiles(manifest));
}

}  // namespace platform::agent
