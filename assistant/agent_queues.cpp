#include "assistant/agent_queues.h"

namespace assistant {

using platform::Field;
using platform::MakeLayout;
using platform::RecordLayout;

const RecordLayout& AgentRequestRecord::Layout() {
  using R = AgentRequestRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "BUFFERAGENTEVENTQUE", Field<&R::EVENT>("EVENT"), Field<&R::XPOS>("XPOS"),
      Field<&R::YPOS>("YPOS"), Field<&R::SPEED>("SPEED"), Field<&R::STRINGVALUE>("STRINGVALUE"),
      Field<&R::REQUEST>("REQUEST"), Field<&R::DONE>("DONE"));
  return layout;
}

const RecordLayout& ProcedureThreadRecord::Layout() {
  using R = ProcedureThreadRecord;
  static const RecordLayout layout =
      MakeLayout<R>("PROCEDURETHREADQUEUE", Field<&R::PROCEDURENAME>("PROCEDURENAME"),
                    Field<&R::THREAD>("THREAD"));
  return layout;
}

const RecordLayout& AgentEventRecord::Layout() {
  using R = AgentEventRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "EVENTQUEUE", Field<&R::PROCEDURENAME>("PROCEDURENAME"), Field<&R::EVENT>("EVENT"),
      Field<&R::CONTROL>("CONTROL"), Field<&R::XPOS>("XPOS"), Field<&R::YPOS>("YPOS"),
      Field<&R::INFO>("INFO"), Field<&R::VALUE>("VALUE"), Field<&R::EVENTTIME>("EVENTTIME"));
  return layout;
}

const RecordLayout& AgentButtonRecord::Layout() {
  using R = AgentButtonRecord;
  static const RecordLayout layout =
      MakeLayout<R>("EXTAGENTBUTTONQUEUE", Field<&R::PROCEDURENAME>("PROCEDURENAME"),
                    Field<&R::CONTROLEQUATE>("CONTROLEQUATE"));
  return layout;
}

}  // namespace assistant
