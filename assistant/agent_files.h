// The assistant's two keyed files in the current directory: AGNTFILE, the authored steps
// grouped by procedure and topic, and AGNTSET, the settings by name. Their field names and
// keys are a stored format: a file of another layout opens with error 47.
//
//   AgentFiles files;                      // records cleared, files closed
//   files.AGNTSET.Open(kReadWrite | kDenyNone);
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/file.h"

namespace assistant {

using platform::CString;
using platform::FixedString;

// One step of a topic; step 0 is the topic's header. An event step has EVENTPROCEDURE filled.
struct AgentFileRecord {
  CString<81> PROCEDURENAME;
  CString<81> PROCEDUREOMSCHRIJVING;
  CString<51> ONDERWERP;
  int32_t STEP = 0;
  int16_t POSITIONX = 0;  // -32768: none
  int16_t POSITIONY = 0;
  int16_t SPEED = 0;
  CString<81> EVENTPROCEDURE;
  int32_t EVENT = 0;
  int32_t CONTROL = 0;
  uint8_t DONNOTMOVE = 0;
  FixedString<1> ANIBEFOREORAFTER;  // "B" before the speech, "A" after
  CString<51> ANIMATE;
  CString<501> SPEAK;
  uint8_t ALLEENTEKST = 0;
  uint8_t AANWIJSRICHTING = 0;
  FixedString<2> CURSORPOSTOVAGENT;  // "LB", "RB", "MM", "LO", "RO"
  static const platform::RecordLayout& Layout();
};

// One setting: its name and its value as text.
struct AgentSettingRecord {
  CString<81> SETTING;
  CString<81> VALUE;
  static const platform::RecordLayout& Layout();
};

// Key numbers, as the files declare them.
inline constexpr size_t kAgentFilePrimaryKey = 0;    // AGF:KEY_AGF
inline constexpr size_t kAgentFileProcedureKey = 1;  // AGF:KEY_PRC
inline constexpr size_t kAgentSetPrimaryKey = 0;     // AGS:KEY_AGS

// The assistant module's files and their record buffers, one for the whole program. The
// records start cleared; the files are closed and have no CREATE attribute (Init creates a
// missing one itself, and never one that exists).
struct AgentFiles {
  AgentFiles();
  AgentFiles(const AgentFiles&) = delete;
  AgentFiles& operator=(const AgentFiles&) = delete;

  AgentFileRecord AGF;
  AgentSettingRecord AGS;
  platform::files::File AGNTFILE;
  platform::files::File AGNTSET;
};

}  // namespace assistant
