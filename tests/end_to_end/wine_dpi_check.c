// Prints the DPI awareness Windows gives this process and the dpiAwareness of
// its manifest as the loader read it; built with the program's manifest and without.
#include <windows.h>
#include <stdio.h>

int main(void) {
  wchar_t awareness[64] = L"";
  QueryActCtxSettingsW(0, NULL, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                       L"dpiAwareness", awareness, 64, NULL);
  printf("awareness %d, dpiAwareness \"%ls\"\n",
         (int)GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()), awareness);
}
