#include "restyle/restyle_queues.h"

namespace restyle {

using platform::Field;
using platform::MakeLayout;
using platform::RecordLayout;

const RecordLayout& ControlSnapshotRecord::Layout() {
  using R = ControlSnapshotRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "CPQ", Field<&R::CONTROLEQUATE>("CONTROLEQUATE"),
      Field<&R::CONTROLEQUATESTRING>("CONTROLEQUATESTRING"),
      Field<&R::CONTROLDESCRIPTION>("CONTROLDESCRIPTION"),
      Field<&R::CONTROLTYPEEQUATE>("CONTROLTYPEEQUATE"), Field<&R::PROP_STD>("PROP:STD"),
      Field<&R::PROP_TEXT>("PROP:TEXT"), Field<&R::PROP_XPOS>("PROP:XPOS"),
      Field<&R::PROP_YPOS>("PROP:YPOS"), Field<&R::PROP_WIDTH>("PROP:WIDTH"),
      Field<&R::PROP_HEIGHT>("PROP:HEIGHT"), Field<&R::PROP_FONT>("PROP:FONT"),
      Field<&R::PROP_FONTNAME>("PROP:FONTNAME"), Field<&R::PROP_FONTSIZE>("PROP:FONTSIZE"),
      Field<&R::PROP_FONTCOLOR>("PROP:FONTCOLOR"), Field<&R::PROP_FONTSTYLE>("PROP:FONTSTYLE"),
      Field<&R::PROP_COLOR>("PROP:COLOR"), Field<&R::PROP_BACKGROUND>("PROP:BACKGROUND"),
      Field<&R::PROP_FILLCOLOR>("PROP:FILLCOLOR"),
      Field<&R::PROP_SELECTEDCOLOR>("PROP:SELECTEDCOLOR"),
      Field<&R::PROP_SELECTEDFILLCOLOR>("PROP:SELECTEDFILLCOLOR"),
      Field<&R::PROP_DISABLE>("PROP:DISABLE"), Field<&R::PROP_FLAT>("PROP:FLAT"),
      Field<&R::PROP_TRN>("PROP:TRN"), Field<&R::PROP_MAXIMIZE>("PROP:MAXIMIZE"),
      Field<&R::PROP_ICON>("PROP:ICON"), Field<&R::PROP_WALLPAPER>("PROP:WALLPAPER"));
  return layout;
}

const RecordLayout& ResizeRecord::Layout() {
  using R = ResizeRecord;
  static const RecordLayout layout =
      MakeLayout<R>("RSQ", Field<&R::CONTROLEQUATE>("CONTROLEQUATE"), Field<&R::XPOS>("XPOS"),
                    Field<&R::YPOS>("YPOS"), Field<&R::WIDTH>("WIDTH"), Field<&R::HEIGHT>("HEIGHT"),
                    Field<&R::FONTNAME>("FONTNAME"), Field<&R::FONTSIZE>("FONTSIZE"));
  return layout;
}

const RecordLayout& ImageButtonRecord::Layout() {
  using R = ImageButtonRecord;
  static const RecordLayout layout =
      MakeLayout<R>("IBQ", Field<&R::PARENTCONTROLEQUATE>("PARENTCONTROLEQUATE"),
                    Field<&R::CONTROLEQUATE>("CONTROLEQUATE"));
  return layout;
}

const RecordLayout& ImageEquateRecord::Layout() {
  using R = ImageEquateRecord;
  static const RecordLayout layout =
      MakeLayout<R>("IEQ", Field<&R::IMAGEEQUATE>("IMAGEEQUATE"), Field<&R::FIXED>("FIXED"));
  return layout;
}

const RecordLayout& TypePropertyRecord::Layout() {
  using R = TypePropertyRecord;
  static const RecordLayout layout =
      MakeLayout<R>("PQ", Field<&R::CONTROLTYPEEQUATE>("CONTROLTYPEEQUATE"),
                    Field<&R::PROPERTYEQUATE>("PROPERTYEQUATE"));
  return layout;
}

const RecordLayout& ConfigureMenuItemRecord::Layout() {
  using R = ConfigureMenuItemRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "CMSQ", Field<&R::CONTROLEQUATE>("CONTROLEQUATE"), Field<&R::MENUSETTING>("MENUSETTING"),
      Field<&R::ORGINALHIDESETTING>("ORGINALHIDESETTING"));
  return layout;
}

const RecordLayout& MenuStructureRecord::Layout() {
  using R = MenuStructureRecord;
  static const RecordLayout layout =
      MakeLayout<R>("MSQ", Field<&R::MENUITEM>("MENUITEM"), Field<&R::ICON>("ICON"),
                    Field<&R::LEVEL>("LEVEL"), Field<&R::STYLE>("STYLE"),
                    Field<&R::LOADED>("LOADED"), Field<&R::CONTROLEQUATE>("CONTROLEQUATE"),
                    Field<&R::PARENTEQUATE>("PARENTEQUATE"), Field<&R::CHILDINDEX>("CHILDINDEX"),
                    Field<&R::STDPROPERTY>("STDPROPERTY"), Field<&R::HASCHILDREN>("HASCHILDREN"),
                    Field<&R::AUTOOPENED>("AUTOOPENED"), Field<&R::MENUSETTING>("MENUSETTING"));
  return layout;
}

const RecordLayout& MenuStructureIconRecord::Layout() {
  using R = MenuStructureIconRecord;
  static const RecordLayout layout =
      MakeLayout<R>("MSIQ", Field<&R::ICONNUMBER>("ICONNUMBER"), Field<&R::ICON>("ICON"),
                    Field<&R::CONTROLEQUATE>("CONTROLEQUATE"));
  return layout;
}

const RecordLayout& MenuStructureFontRecord::Layout() {
  using R = MenuStructureFontRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "MSFQ", Field<&R::FONTNUMBER>("FONTNUMBER"), Field<&R::CONTROLEQUATE>("CONTROLEQUATE"),
      Field<&R::FONTNAME>("FONTNAME"), Field<&R::FONTSIZE>("FONTSIZE"),
      Field<&R::FONTSTYLE>("FONTSTYLE"), Field<&R::FONTCHARSET>("FONTCHARSET"),
      Field<&R::TEXTCOLOR>("TEXTCOLOR"), Field<&R::BACKCOLOR>("BACKCOLOR"),
      Field<&R::TEXTSELECTED>("TEXTSELECTED"), Field<&R::BACKSELECTED>("BACKSELECTED"));
  return layout;
}

}  // namespace restyle
