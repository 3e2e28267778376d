#include "engine/keys.h"
#include "engine/playback.h"
#include "engine/prepare.h"
#include "engine/sendkey.h"
#include "support.h"

namespace {

using namespace kv::test;

// Into the key recorder, a window of another process, which has the focus.
class SendKeyDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(PollUntil([] {
            return GetForegroundWindow() &&
                   GetForegroundWindow() == FindWindowA(nullptr, "Key recorder");
        })) << "the recorder never got the focus";
    }
    void TearDown() override {
        recorder_.reset();
        DeleteFileA(log_.c_str());
    }

    const std::string log_ = TempPath("keys.log");
    std::unique_ptr<Process> recorder_ = StartKeyRecorder(log_);
};

// The characters prove the German layout's Shift set and that a text arrives as written, AltGr and
// dead-key characters included; the named keys' scan codes are the same in every layout. Only
// canonical tokens and single printable characters are keys: the others among them send nothing.
TEST_F(SendKeyDesktop,
       KeysAndTextsArriveAsTheGermanLayoutTypesThemWithScanCodesExtendedBitsAndHolds) {
    // Of each kind: plain, extended, and F keys on both sides of their scan codes' gap.
    const char* const namedKeys[][2] = {
        {"RETURN", "D 1C 0"}, {"Tab", "9 F 0"},    {"BACK", "8 E 0"},     {"ESCAPE", "1B 1 0"},
        {"LEFT", "25 4B 1"},  {"NEXT", "22 51 1"}, {"DELETE", "2E 53 1"}, {"F1", "70 3B 0"},
        {"F10", "79 44 0"},   {"F11", "7A 57 0"}};
    const std::vector<std::string> noKeys = {"\x01",    "\x7F", "\x81", "",       "Return",
                                             "strg an", "ab",   "F13",  "RETURN "};
    const std::string text = "aA§/=Grüße aus Köln: a.b, x-y#+*?_;'\t@€{[\\~|<>^`´é";
    std::vector<std::string> keys = {kv::kTokenCtrlDown, "c", kv::kTokenCtrlUp};
    std::string named;
    for (const char character : text)
        keys.push_back(std::string(1, character));
    for (const auto& [key, event] : namedKeys) {
        keys.push_back(key);
        named += std::string("down ") + event + "\nup " + event + "\n";
    }
    for (const std::string& key : noKeys)
        kv::SendKey(key);
    for (const std::string& key : keys)
        kv::SendKey(key);
    Recording got;
    EXPECT_TRUE(PollUntil([&] {
        got = ReadLog(log_);
        return got.keys.find(named) != std::string::npos;
    })) << "the named keys did not arrive in order";
    // Ctrl+c, the text, RETURN, Tab, BACK, ESCAPE.
    EXPECT_EQ(got.characters, L"\3aA§/=Grüße aus Köln: a.b, x-y#+*?_;'\t@€{[\\~|<>^`´é\r\t\b\x1B");
    // The period went by the layout's own key, not as a character of its own.
    EXPECT_NE(got.keys.find("down BE 34 0\n"), std::string::npos);
    EXPECT_EQ(got.holds.size(), keys.size() - 2);  // all but Ctrl's
    for (const long hold : got.holds)              // event times are whole milliseconds
        EXPECT_TRUE(hold >= kv::kKeyHoldMs - 1 && hold <= 10 * kv::kKeyHoldMs) << hold;
}

// Caps Lock on, as the user set it: a run types its text as written and leaves Caps Lock on (an
// "a" sent by key before and after the runs arrives as "A"). Its own j and J go on; the user's J,
// held as a hand holds it, stops it within a character. This thread's key state exists before Caps
// Lock is turned on, as the program's does from its start.
TEST_F(SendKeyDesktop, ARunTypesAsWrittenWithCapsLockOnAndTheUsersJStopsItWithinACharacter) {
    ASSERT_FALSE(GetKeyState(VK_CAPITAL) & 1);
    RunOnHost("xdotool search --name '^Key recorder$' windowfocus --sync key Caps_Lock");
    std::string text = "Hallo Welt jJ";
    while (text.size() < 200)
        text += " abcdefghi";
    kv::PrepareStepTexts({{"0", text}});
    kv::SendKey("a");
    const DWORD start = GetTickCount();
    Process user("/bin/sh -c \"sleep 1.5; xdotool keydown j sleep 0.2 keyup j\"");
    kv::PlayRun(0);
    EXPECT_LT(GetTickCount() - start, 3000u) << "the run went on";
    Sleep(500);
    // A run that ends without the user's key, whose X events would tell Wine of Caps Lock anew.
    kv::PrepareStepTexts({{"0", "Ab"}});
    kv::PlayRun(0);
    kv::SendKey("a");
    std::wstring typed;
    ASSERT_TRUE(PollUntil([&] {
        typed = ReadLog(log_).characters;
        return typed.size() > 20 && typed[typed.size() - 2] == L'b';
    }));
    RunOnHost("xdotool key Caps_Lock");
    EXPECT_EQ(typed.front(), L'A');
    EXPECT_EQ(typed.substr(typed.size() - 3), L"AbA");
    typed = typed.substr(1, typed.size() - 4);
    // The characters after the user's J: its own, and at most the one the run was holding.
    const size_t usersJ = typed.find_first_of(L"jJ", text.find('J') + 1);
    ASSERT_NE(usersJ, std::wstring::npos);
    EXPECT_LE(typed.size() - usersJ, 2u);
    typed.erase(usersJ, 1);
    EXPECT_EQ(typed, std::wstring(text.begin(), text.begin() + typed.size()));
}

// Keys only: the layout's keys by their scan codes, Shift as the layout needs it, reach the other
// program as typed; a character without a key refuses the run before anything is sent.
TEST_F(SendKeyDesktop, KeysOnlyTypesByScanCodesAndRefusesACharacterWithoutAKey) {
    kv::RunOptions options;
    options.keys = kv::KeyMode::kScanCodes;
    kv::PrepareStepTexts({{"0", "aZ!.y"}, {"0", "Return"}});
    EXPECT_EQ(kv::PlayRun(0, options).end, kv::RunEnd::kPlayed);
    kv::PrepareStepTexts({{"0", "b"}, {"0", "c\xA4"}});
    const kv::RunResult refused = kv::PlayRun(0, options);
    EXPECT_EQ(refused.end, kv::RunEnd::kNoKey);
    EXPECT_EQ(refused.key + std::to_string(refused.step),
              "\xA4"
              "1");
    Recording got;
    EXPECT_TRUE(PollUntil([&] { return (got = ReadLog(log_)).characters.size() >= 6; }));
    Sleep(300);
    got = ReadLog(log_);
    EXPECT_EQ(got.characters, L"aZ!.y\r");
    EXPECT_EQ(got.keys.substr(0, 24), "down 41 1E 0\nup 41 1E 0\n");
}

}  // namespace
