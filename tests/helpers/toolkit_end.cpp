// Starts the toolkit, opens a window and ends through EndToolkit; any other exit code than 0
// tells the test that EndToolkit returned or ended the process otherwise.
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

int main() {
    kv::StartToolkit();
    kv::OpenWindow(0, 0, 0, 200, 100, "Ende", kv::kWindowDefaultFlags);
    kv::EndToolkit();
    return 7;
}
