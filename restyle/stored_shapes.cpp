#include "restyle/stored_shapes.h"

namespace restyle {

using platform::Field;
using platform::MakeLayout;
using platform::RecordLayout;

const RecordLayout& ControlPropertyGroup::Layout() {
  using R = ControlPropertyGroup;
  static const RecordLayout layout =
      MakeLayout<R>("CPG", Field<&R::ENABLED>("ENABLED"), Field<&R::VALUE>("VALUE"),
                    Field<&R::CLARIONVALUE>("CLARIONVALUE"));
  return layout;
}

const RecordLayout& ImagePropertyGroup::Layout() {
  using R = ImagePropertyGroup;
  static const RecordLayout layout = MakeLayout<R>(
      "IPG", Field<&R::CHANGEIMAGESETTINGS>("CHANGEIMAGESETTINGS"),
      Field<&R::DONOTUSEIMAGES>("DONOTUSEIMAGES"), Field<&R::NUMBEROFIMAGES>("NUMBEROFIMAGES"));
  return layout;
}

const RecordLayout& ImageQueueRecord::Layout() {
  using R = ImageQueueRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "IMQ", Field<&R::IMAGEORDER>("IMAGEORDER"), Field<&R::IMAGEFILE>("IMAGEFILE"),
      Field<&R::XPOS>("XPOS"), Field<&R::YPOS>("YPOS"), Field<&R::WIDTH>("WIDTH"),
      Field<&R::WIDTHINPERCENTAGE>("WIDTHINPERCENTAGE"), Field<&R::HEIGHT>("HEIGHT"),
      Field<&R::HEIGHTINPERCENTAGE>("HEIGHTINPERCENTAGE"), Field<&R::STYLE>("STYLE"),
      Field<&R::MOVEFROM>("MOVEFROM"), Field<&R::SHIFTXPOS>("SHIFTXPOS"),
      Field<&R::SHIFTXINPERCENTAGE>("SHIFTXINPERCENTAGE"), Field<&R::SHIFTYPOS>("SHIFTYPOS"),
      Field<&R::SHIFTYINPERCENTAGE>("SHIFTYINPERCENTAGE"), Field<&R::IMAGEEQUATE>("IMAGEEQUATE"),
      Field<&R::FIXED>("FIXED"));
  return layout;
}

}  // namespace restyle
