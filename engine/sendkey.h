#pragma once
// Turns one prepared Key into key presses and releases through the input seam.

#include <string>

namespace kv {

constexpr int kKeyHoldMs = 40;

// Returns only after the key hold when a key was sent; Ctrl stays as "Strg an"/"Strg aus" left it.
void SendKey(const std::string& key);

}  // namespace kv
