#include "assistant/agent_files.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/files/keyed/keyed_driver.h"

namespace assistant {
namespace {

using platform::Field;
using platform::MakeLayout;
using platform::RecordLayout;
using platform::files::FileDeclaration;
using platform::files::FileKey;

FileDeclaration Declaration(std::string label, const RecordLayout& layout, void* record,
                            std::vector<FileKey> keys) {
  FileDeclaration d;
  d.name = label;
  d.label = std::move(label);
  d.layout = &layout;
  d.record = record;
  d.keys = std::move(keys);
  return d;
}

}  // namespace

const RecordLayout& AgentFileRecord::Layout() {
  using R = AgentFileRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "AGF", Field<&R::PROCEDURENAME>("PROCEDURENAME"),
      Field<&R::PROCEDUREOMSCHRIJVING>("PROCEDUREOMSCHRIJVING"), Field<&R::ONDERWERP>("ONDERWERP"),
      Field<&R::STEP>("STEP"), Field<&R::POSITIONX>("POSITIONX"), Field<&R::POSITIONY>("POSITIONY"),
      Field<&R::SPEED>("SPEED"), Field<&R::EVENTPROCEDURE>("EVENTPROCEDURE"),
      Field<&R::EVENT>("EVENT"), Field<&R::CONTROL>("CONTROL"), Field<&R::DONNOTMOVE>("DONNOTMOVE"),
      Field<&R::ANIBEFOREORAFTER>("ANIBEFOREORAFTER"), Field<&R::ANIMATE>("ANIMATE"),
      Field<&R::SPEAK>("SPEAK"), Field<&R::ALLEENTEKST>("ALLEENTEKST"),
      Field<&R::AANWIJSRICHTING>("AANWIJSRICHTING"),
      Field<&R::CURSORPOSTOVAGENT>("CURSORPOSTOVAGENT"));
  return layout;
}

const RecordLayout& AgentSettingRecord::Layout() {
  using R = AgentSettingRecord;
  static const RecordLayout layout =
      MakeLayout<R>("AGS", Field<&R::SETTING>("SETTING"), Field<&R::VALUE>("VALUE"));
  return layout;
}

AgentFiles::AgentFiles()
    : AGNTFILE(Declaration("AGNTFILE", AgentFileRecord::Layout(), &AGF,
                           {FileKey{"AGF:KEY_AGF",
                                    {{1}, {3}, {4}},
                                    /*duplicates=*/false,
                                    /*nocase=*/true,
                                    /*optional=*/false,
                                    /*primary=*/true},
                            FileKey{"AGF:KEY_PRC",
                                    {{1}},
                                    /*duplicates=*/true,
                                    /*nocase=*/true,
                                    /*optional=*/false,
                                    /*primary=*/false}}),
               platform::files::MakeKeyedDriver()),
      AGNTSET(Declaration("AGNTSET", AgentSettingRecord::Layout(), &AGS,
                          {FileKey{"AGS:KEY_AGS",
                                   {{1}},
                                   /*duplicates=*/false,
                                   /*nocase=*/true,
                                   /*optional=*/false,
                                   /*primary=*/true}}),
              platform::files::MakeKeyedDriver()) {}

}  // namespace assistant
