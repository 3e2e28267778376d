#pragma once
// The toolkit's start-up and shut-down, each in its fixed order.

namespace kv {

void StartToolkit();
// Everything short of ending the process: tray icons, OLE, windows, images, the main heap.
void StopToolkit();
// StopToolkit, then the process ends with exit code 0.
[[noreturn]] void EndToolkit();

}  // namespace kv
