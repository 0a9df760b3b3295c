#include "catalog/txd_writer_lines.h"

#include "catalog/make_label.h"
#include "platform/core/fixed_string.h"

namespace catalog {
namespace {

using platform::ClipView;

constexpr size_t kConnectStringShown = 100;

std::string Quoted(std::string_view text) {
  std::string out = "'";
  out += QuoteTxd(text);
  out += '\'';
  return out;
}

}  // namespace

std::vector<std::string> TxdHeaderLines() {
  // The version and dates are fixed texts: every dictionary carries the same ones.
  return {"  [DICTIONARY]",
          "VERSION '1.0'",
          "CREATED '26 SEP 2002' '10:31:14AM'",
          "MODIFIED '26 SEP 2002' '11:33:17AM'",
          "",
          "[FILES]"};
}

std::vector<std::string> GlobalVariablesLines(std::string_view connect_string) {
  const std::string_view clipped = ClipView(connect_string);
  const std::string_view shown = ClipView(platform::CutUtf8(clipped, kConnectStringShown));
  // The count in braces pads the declared text to 100; it is negative for a longer connect
  // string, and the INITIAL text always carries the whole of it.
  const int64_t pad =
      static_cast<int64_t>(kConnectStringShown) - static_cast<int64_t>(clipped.size());
  return {
      "GlobalVariables        FILE,DRIVER('TOPSPEED'),PRE(GLO),CREATE,THREAD",
      "!!> IDENT(1),USAGE(Global)",
      "Record                   RECORD",
      "[SCREENCONTROLS]",
      "! PROMPT('Connectstring:'),USE(?GLO:Connectstring:Prompt)",
      "! ENTRY(@s100),USE(GLO:Connectstring)",
      "[REPORTCONTROLS]",
      "! STRING(@s100),USE(GLO:Connectstring)",
      "Connectstring              STRING('" + QuoteTxd(shown) + "{" + std::to_string(pad) + "}')",
      "!!> IDENT(2),INITIAL(" + Quoted(clipped) +
          "),PROMPT('Connectstring:'),HEADER('Connectstring'),PICTURE(@s100)",
      "[SCREENCONTROLS]",
      "! PROMPT('Driver Options:'),USE(?GLO:DriverOptions:Prompt)",
      "! TEXT,USE(GLO:DriverOptions)",
      "[REPORTCONTROLS]",
      "! TEXT,USE(GLO:DriverOptions)",
      "DriverOptions              CSTRING(256)",
      "!!> IDENT(3),PROMPT('Driver Options:'),HEADER('Driver Options'),PICTURE(@s255)",
      "[SCREENCONTROLS]",
      "! PROMPT('Username:'),USE(?GLO:Username:Prompt)",
      "! ENTRY(@s80),USE(GLO:Username)",
      "[REPORTCONTROLS]",
      "! STRING(@s80),USE(GLO:Username)",
      "Username                   CSTRING(81)",
      "!!> IDENT(4),PROMPT('Username:'),HEADER('Username'),PICTURE(@s80)",
      "[SCREENCONTROLS]",
      "! PROMPT('Owner:'),USE(?GLO:Owner:Prompt)",
      "! ENTRY(@s80),USE(GLO:Owner)",
      "[REPORTCONTROLS]",
      "! STRING(@s80),USE(GLO:Owner)",
      "Owner                      CSTRING(81)",
      "!!> IDENT(5),PROMPT('Owner:'),HEADER('Owner'),PICTURE(@s80)",
      "                         END",
      "                       END",
  };
}

std::string TxdFileLine(std::string_view label, std::string_view driver,
                        std::string_view original_name, std::string_view prefix,
                        bool external_names) {
  std::string line(label);
  line += " FILE,DRIVER(" + Quoted(driver) + ",Glo:Driveroptions),OWNER(Glo:ConnectString)";
  if (!external_names) line += ",NAME(" + Quoted(ClipView(original_name)) + ")";
  line += ",PRE(";
  line += prefix;
  line += "),BINDABLE,THREAD";
  return line;
}

std::string IdentLine(int32_t id, std::string_view rest) {
  std::string line = "!!> IDENT(" + std::to_string(id) + ")";
  line += rest;
  return line;
}

std::string FieldLine(std::string_view label, std::string_view type, std::string_view name,
                      bool external_names) {
  std::string line(label);
  line += ' ';
  line += type;
  if (!external_names) line += ",NAME(" + Quoted(ClipView(name)) + ")";
  return line;
}

std::string FieldIdentLine(int32_t id, std::string_view label) {
  const std::string l(label);
  return IdentLine(id, ",PROMPT(" + Quoted(l + ":") + "),HEADER(" + Quoted(l) + "),MESSAGE(" +
                           Quoted(l) + "),TOOLTIP(" + Quoted(l) + ")");
}

std::vector<std::string> DateTimeGroupLines(std::string_view label, std::string_view name,
                                            int32_t first_id) {
  const std::string l(label);
  const std::string n(ClipView(name));
  return {
      l + "_GROUP                GROUP,OVER(" + l + ")",
      IdentLine(first_id),
      l + "_DATE                 DATE",
      IdentLine(first_id + 1, ",PROMPT(" + Quoted(n + " DATE:") + "),HEADER(" +
                                  Quoted(n + " DATE") + "),PICTURE(@d17),JUSTIFY(RIGHT,1)"),
      l + "_TIME                 TIME",
      IdentLine(first_id + 2, ",PROMPT(" + Quoted(n + " TIME:") + "),HEADER(" +
                                  Quoted(n + " TIME") + "),PICTURE(@t7),JUSTIFY(RIGHT,1)"),
      "  END",
      IdentLine(first_id + 3),
  };
}

}  // namespace catalog
