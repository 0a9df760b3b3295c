// An access key: a public function that takes a Badge<T> can be called only by T, the one
// type that can make the badge. The runtime's notifications between its own parts (a control
// telling its window it changed, a window flushing its controls) are public for them and
// closed to the program and the libraries.
//
//   void NoteChanged(Badge<Control>, Control& c, bool layout);   // only Control calls it
//   window_.NoteChanged({}, *this, false);                       // inside Control
#pragma once

namespace platform::ui {

template <typename T>
class Badge {
 public:
  using Type = T;

 private:
  friend T;
  constexpr Badge() = default;
};

}  // namespace platform::ui
