// Small helpers the mirror and the widget families share: reading a control's stored
// properties, Qt strings, and handing a new widget to its Qt parent.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include <QString>

#include "platform/core/number.h"
#include "platform/ui/codes.h"
#include "platform/ui/prop.h"

namespace platform::qt {

using StoredProperties = std::map<std::pair<int32_t, int32_t>, std::string>;

// Qt objects are owned by their Qt parent, which deletes them; this is the one place that
// hands a new object to its parent.
template <class W, class... Args>
W* MakeChild(Args&&... args) {
  return new W(std::forward<Args>(args)...);  // owned by the Qt parent among `args`
}

// The stored text of property `p` at `index`; empty when it is not set.
inline std::string PropOf(const StoredProperties& props, ui::Prop p, int32_t index = 0) {
  const auto it = props.find({static_cast<int32_t>(p), index});
  return it != props.end() ? it->second : std::string();
}

// True when `p` is set to anything but "0".
inline bool Flag(const StoredProperties& props, ui::Prop p) {
  const std::string v = PropOf(props, p);
  return !v.empty() && v != "0";
}

// `p` as a number; `fallback` when it is not set.
inline int64_t Number(const StoredProperties& props, ui::Prop p, int64_t fallback,
                      int32_t index = 0) {
  const std::string v = PropOf(props, p, index);
  return v.empty() ? fallback : static_cast<int64_t>(TextToNumber(v));
}

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace platform::qt
