// The box of MessageBoxA (message_box.cpp) in a web page: a modal <dialog>
// over the page with the caption, the text and an OK button. The call returns
// once the dialog is closed (OK, Enter or Escape): the program's stack waits
// meanwhile (Asyncify) while the page stays live.
// Limits: no icons.
#include <emscripten.h>

#include "win32/win32_internal.h"

namespace platform {
namespace {

constexpr int kPollMs = 20;

// Keys typed into the dialog stay there: the window's own key handlers do not
// see them, as a Windows message box keeps its keys from the window beneath.
void OpenDialog(const char* text, const char* caption) {
  // clang-format off
  EM_ASM({
    var dialog = document.createElement('dialog');
    dialog.className = 'ef-message-box';
    var title = document.createElement('h2');
    title.textContent = UTF8ToString($1);
    var body = document.createElement('p');
    body.textContent = UTF8ToString($0);
    var form = document.createElement('form');
    form.method = 'dialog';
    var ok = document.createElement('button');
    ok.textContent = 'OK';
    form.appendChild(ok);
    dialog.appendChild(title);
    dialog.appendChild(body);
    dialog.appendChild(form);
    var keep = function(e) { e.stopPropagation(); };
    dialog.addEventListener('keydown', keep);
    dialog.addEventListener('keyup', keep);
    dialog.addEventListener('keypress', keep);
    dialog.addEventListener('close', function() {
      dialog.remove();
      if (Module['canvas']) Module['canvas'].focus();
    });
    document.body.appendChild(dialog);
    dialog.showModal();
    ok.focus();
  }, text, caption);
  // clang-format on
}

bool DialogOpen() {
  return EM_ASM_INT({ return document.querySelector('dialog.ef-message-box') ? 1 : 0; }) != 0;
}

}  // namespace

void ShowMessageBoxWindow(HWND owner, const char* text, const char* caption, UINT type) {
  OpenDialog(text, caption);
  while (DialogOpen()) emscripten_sleep(kPollMs);
}

}  // namespace platform
