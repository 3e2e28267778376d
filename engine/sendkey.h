#pragma once
// Turns one prepared Key into key presses and releases through the input seam.

#include <string>

namespace kv {

constexpr int kKeyHoldMs = 40;

// Returns only after the key hold when a key was sent; Ctrl stays as "Strg an"/"Strg aus" left it.
void SendKey(const std::string& key);
// SendKey, telling whether someone else pressed `watchedKey` before or while this key was held.
// Where this key is the watched one, its own press is read away right after it is sent, so only a
// press that follows (the user's) counts.
bool SendKeyWatching(const std::string& key, int watchedKey);

}  // namespace kv
