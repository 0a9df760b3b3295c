// The records of the assistant's queues: the request ring's element (also the record of the
// queue of waiting requests), the open procedure windows, the window event being replayed and
// the assistant buttons made on windows.
#pragma once

#include <cstdint>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"

namespace assistant {

using platform::CString;

// A request to the agent thread that carries a text or coordinates.
struct AgentRequestRecord {
  int32_t EVENT = 0;  // the request event, 500h to 520h
  int32_t XPOS = 0;
  int32_t YPOS = 0;
  int32_t SPEED = 0;
  CString<500> STRINGVALUE;
  // The operation's name in the queue of waiting requests; the control's answer in the ring
  // once done.
  CString<21> REQUEST;
  uint8_t DONE = 0;
  static const platform::RecordLayout& Layout();
};

// An open procedure window and its thread.
struct ProcedureThreadRecord {
  CString<81> PROCEDURENAME;
  int32_t THREAD = 0;  // 0 once the window closed
  static const platform::RecordLayout& Layout();
};

// One window event, recorded or being replayed.
struct AgentEventRecord {
  CString<81> PROCEDURENAME;
  int32_t EVENT = 0;
  int32_t CONTROL = 0;
  int32_t XPOS = 0;
  int32_t YPOS = 0;
  CString<254> INFO;
  CString<254> VALUE;
  int32_t EVENTTIME = 0;
  static const platform::RecordLayout& Layout();
};

// The assistant button made on a procedure's window.
struct AgentButtonRecord {
  CString<81> PROCEDURENAME;
  int32_t CONTROLEQUATE = 0;
  static const platform::RecordLayout& Layout();
};

}  // namespace assistant
