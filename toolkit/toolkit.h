#pragma once
// The toolkit's start-up and shut-down, each in its fixed order. The libraries keep their
// objects in containers of their own, which go with the process.

namespace kv {

void StartToolkit();
// Everything short of ending the process: tray icons, OLE, windows, images.
void StopToolkit();
// StopToolkit, then the process ends with exit code 0.
[[noreturn]] void EndToolkit();

}  // namespace kv
