// Forward declarations of the window runtime's types, for headers that only name them.
#pragma once

#include <cstdint>

namespace platform::ui {

using FieldId = int32_t;
using ThreadId = int32_t;
using WindowHandle = int64_t;
using EventId = int32_t;
using KeyCode = int32_t;

enum class ControlType : int32_t;
enum class Prop : int32_t;

class BaseWindow;
class Control;
class DisplayBackend;
class ErrorManager;
class IniManager;
class ListControl;
class Runtime;
class Window;
struct ControlDecl;
struct ControlView;
struct Input;
struct ListSnapshot;
struct WindowStructure;
struct WindowView;

}  // namespace platform::ui
