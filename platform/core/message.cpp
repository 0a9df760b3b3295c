#include "platform/core/message.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

std::atomic<DialogBackend*> g_backend{nullptr};

std::mutex g_mutex;  // guards the hook and the exit handler
MessageHook g_hook;
std::function<void()> g_stop_exit;

thread_local bool t_in_hook = false;

}  // namespace

void SetDialogBackend(DialogBackend* backend) { g_backend.store(backend); }
DialogBackend* GetDialogBackend() { return g_backend.load(); }

void SetMessageHook(MessageHook hook) {
  std::lock_guard lock(g_mutex);
  g_hook = std::move(hook);
}

MessageHook GetMessageHook() {
  std::lock_guard lock(g_mutex);
  return g_hook;
}

int32_t StandardMessage(const MessageRequest& request) {
  DialogBackend* backend = g_backend.load();
  return backend ? backend->ShowMessage(request) : 0;
}

namespace {

int32_t Route(const MessageRequest& request) {
  MessageHook hook;
  {
    std::lock_guard lock(g_mutex);
    hook = g_hook;
  }
  if (!hook || t_in_hook) return StandardMessage(request);
  struct InHook {
    InHook() { t_in_hook = true; }
    ~InHook() { t_in_hook = false; }
  } in_hook;
  return hook(request);
}

}  // namespace

int32_t Message(std::string_view text, std::string_view caption, std::string_view icon,
                int32_t buttons, int32_t default_button, int32_t style) {
  MessageRequest r;
  r.text = text;
  r.caption = caption;
  r.icon = icon;
  r.button_mask = buttons;
  r.default_button = default_button;
  r.style = style;
  return Route(r);
}

int32_t MessageWithCaptions(std::string_view text, std::string_view caption, std::string_view icon,
                            std::string_view captions, int32_t default_button) {
  MessageRequest r;
  r.text = text;
  r.caption = caption;
  r.icon = icon;
  r.button_mask = 0;
  r.captions = captions;
  r.blank_buttons = captions.empty();
  r.default_button = default_button;
  return Route(r);
}

void TEST_SetStopExitHandler(std::function<void()> handler) {
  std::lock_guard lock(g_mutex);
  g_stop_exit = std::move(handler);
}

void Stop(std::string_view text) {
  DialogBackend* backend = g_backend.load();
  if (!backend || !backend->ShowStop(text)) return;  // Ignore goes on
  std::function<void()> exit_handler;
  {
    std::lock_guard lock(g_mutex);
    exit_handler = g_stop_exit;
  }
  if (exit_handler) {
    exit_handler();
  } else {
    // As HALT: other threads still run, so no static destructors run underneath them.
    std::fflush(nullptr);
    std::_Exit(1);
  }
}

}  // namespace platform
