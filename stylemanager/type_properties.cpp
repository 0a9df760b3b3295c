// The properties the properties file lists for a control type, as the styling pass walks them.
#include <string>
#include <vector>

#include "platform/core/text.h"
#include "platform/files/file.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {

std::vector<restyle::TypePropertyRow> ZOVStylemanagerClass::TypeProperties(int32_t type) {
  std::vector<restyle::TypePropertyRow> rows;
  if (PROPERTYFILE == nullptr || !PROPERTYFILE->is_open()) return rows;
  PROPERTYFILE->Clear();
  *PROPERTYFILECONTROLTYPEEQUATEFIELD = type;
  *PROPERTYFILEPROPERTYFIELD = "";
  if (!PROPERTYFILE->SetKey(PROPERTYFILEPRIMARYKEY, /*from_buffer=*/true)) return rows;
  while (PROPERTYFILE->Next() && *PROPERTYFILECONTROLTYPEEQUATEFIELD == type) {
    rows.push_back(
        {platform::Clip(PROPERTYFILEPROPERTYFIELD->view()), *PROPERTYFILEPROPERTYEQUATEFIELD});
  }
  return rows;
}

}  // namespace stylemanager
