// Forward declarations of the window runtime's types, for headers that only name them.
#pragma once

#include <cstdint>

namespace platform::ui {

// A control's field number: controls 1..n in declaration order, menus and items -1..-n,
// 0 the window itself.
using FieldId = int32_t;
// A runtime thread's number; the main program runs on thread 1. 0 means "the current one".
using ThreadId = int32_t;
// A window's identity, answered by its Handle property (7C96h). Never reused in a run.
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
