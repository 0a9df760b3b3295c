#include "restyle/restyle_files.h"

#include <utility>

#include "platform/files/keyed/keyed_driver.h"

namespace restyle {
namespace {

using platform::Field;
using platform::MakeLayout;
using platform::RecordLayout;
using platform::files::FileDeclaration;
using platform::files::FileKey;

FileKey PrimaryKey(std::string label, std::vector<platform::files::KeyComponent> components) {
  FileKey key;
  key.label = std::move(label);
  key.components = std::move(components);
  key.primary = true;
  return key;
}

FileDeclaration Declaration(std::string label, std::string name, const RecordLayout& layout,
                            void* record, std::vector<FileKey> keys) {
  FileDeclaration d;
  d.label = std::move(label);
  d.name = std::move(name);
  d.layout = &layout;
  d.record = record;
  d.keys = std::move(keys);
  d.create = true;
  return d;
}

std::unique_ptr<platform::files::Driver> MakeDriver(const DriverFactory& make_driver) {
  return make_driver ? make_driver() : platform::files::MakeKeyedDriver();
}

}  // namespace

const RecordLayout& ZOVPropertiesRecord::Layout() {
  using R = ZOVPropertiesRecord;
  static const RecordLayout layout =
      MakeLayout<R>("ZOVPF", Field<&R::CONTROLTYPEEQUATE>("CONTROLTYPEEQUATE"),
                    Field<&R::PROPERTY>("PROPERTY"), Field<&R::PROPERTYEQUATE>("PROPERTYEQUATE"),
                    Field<&R::PROPERTYDESCRIPTION>("PROPERTYDESCRIPTION"),
                    Field<&R::HIDEFROMENDUSER>("HIDEFROMENDUSER"));
  return layout;
}

const RecordLayout& ZOVConditionSetRecord::Layout() {
  using R = ZOVConditionSetRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "ZOVCS", Field<&R::USERNAME>("USERNAME"), Field<&R::PROFILE>("PROFILE"),
      Field<&R::PROCEDURENAME>("PROCEDURENAME"), Field<&R::GROUPNAME>("GROUPNAME"),
      Field<&R::CONDITIONALSET>("CONDITIONALSET"), Field<&R::CONDITIONALSETID>("CONDITIONALSETID"));
  return layout;
}

const RecordLayout& ZOVConditionRecord::Layout() {
  using R = ZOVConditionRecord;
  static const RecordLayout layout =
      MakeLayout<R>("ZOVCD", Field<&R::CONDITIONALSETID>("CONDITIONALSETID"),
                    Field<&R::CONDITIONALID>("CONDITIONALID"), Field<&R::CONTROL>("CONTROL"),
                    Field<&R::PROPERTYEQUATE>("PROPERTYEQUATE"), Field<&R::OPERATOR>("OPERATOR"),
                    Field<&R::VALUE>("VALUE"), Field<&R::MANUALVALUE>("MANUALVALUE"));
  return layout;
}

const RecordLayout& ZOVRestyleRecord::Layout() {
  using R = ZOVRestyleRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "ZOVRF", Field<&R::CONDITIONALSETID>("CONDITIONALSETID"), Field<&R::PROPERTY>("PROPERTY"),
      Field<&R::PARAMETER>("PARAMETER"), Field<&R::VALUE>("VALUE"));
  return layout;
}

RestyleFiles::RestyleFiles(const DriverFactory& make_driver)
    : ZOVPROPERTIESFILE(
          Declaration("ZOVPROPERTIESFILE", "ZOVProperties", ZOVPropertiesRecord::Layout(), &ZOVPF,
                      {PrimaryKey("ZOVPROPERTIESFILE:P_KEY_ZOVPF", {{1}, {2}})}),
          MakeDriver(make_driver)),
      ZOVCONDITIONSETFILE(
          Declaration("ZOVCONDITIONSETFILE", "ZOVConditionalSet", ZOVConditionSetRecord::Layout(),
                      &ZOVCS,
                      {PrimaryKey("ZOVCONDITIONSETFILE:P_KEY_ZOVCS", {{6, /*descending=*/true}}),
                       FileKey{"ZOVCONDITIONSETFILE:S_KEY_ZOVCS",
                               {{1}, {2}, {3}, {4}, {5}},
                               /*duplicates=*/false,
                               /*nocase=*/true,
                               /*optional=*/false,
                               /*primary=*/false}}),
          MakeDriver(make_driver)),
      ZOVCONDITIONFILE(
          Declaration("ZOVCONDITIONFILE", "ZOVConditional", ZOVConditionRecord::Layout(), &ZOVCD,
                      {PrimaryKey("ZOVCONDITIONFILE:P_KEY_ZOVCD", {{1}, {2}})}),
          MakeDriver(make_driver)),
      ZOVRESTYLEFILE(Declaration("ZOVRESTYLEFILE", "ZOVRestyle", ZOVRestyleRecord::Layout(), &ZOVRF,
                                 {PrimaryKey("ZOVRESTYLEFILE:P_KEY_ZOVRF", {{1}, {2}, {3}})}),
                     MakeDriver(make_driver)) {}

}  // namespace restyle
