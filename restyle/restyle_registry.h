// The registry of restyle objects as the restyle object sees it: each one is listed from its
// Init until it goes, so restyling every window reaches it. The style manager keeps the
// registry and implements this interface; the restyle engine knows only the interface.
#pragma once

namespace restyle {

class ZOVRestyleClass;

class RestyleRegistry {
 public:
  RestyleRegistry(const RestyleRegistry&) = delete;
  RestyleRegistry& operator=(const RestyleRegistry&) = delete;

  // Lists `restyle` (borrowed; it leaves before it is destroyed). Listing it twice lists it
  // once. Requires the runtime lock.
  virtual void AddRestyle(ZOVRestyleClass& restyle) = 0;
  // Takes `restyle` off the list; nothing when it is not listed. Requires the runtime lock.
  virtual void RemoveRestyle(ZOVRestyleClass& restyle) = 0;

 protected:
  RestyleRegistry() = default;
  ~RestyleRegistry() = default;
};

}  // namespace restyle
