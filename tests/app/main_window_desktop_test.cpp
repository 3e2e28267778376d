#include <windows.h>
#include <commctrl.h>

#include <ole2.h>
#include <shlobj.h>

#include <tuple>
#include <utility>

#include "app/main_window.h"
#include "app/numbers.h"
#include "app/playback.h"
#include "app/settings.h"
#include "app/steplist_text.h"
#include "engine/input.h"
#include "runtime/files.h"
#include "support.h"
#include "toolkit/gadget.h"
#include "toolkit/image.h"
#include "toolkit/internal.h"
#include "toolkit/toolkit.h"
#include "toolkit/window.h"

// The program's real main window, rename window and armed state in the test process; the shell's
// side of the tray and the keyboard's state go through their seams. The step list's menu takes a
// real right click, which is why this suite runs alone.

namespace kv {
namespace {

using Rows = std::vector<std::string>;

// Whether the main loop would have ended: a handled event said so.
bool mainLoopEnded = false;

// The shell's side of the tray icon: the icon of every call, null where none is given.
std::vector<HICON> trayIcons;
BOOL trayAnswer = FALSE;

BOOL RecordTrayCall(DWORD, NOTIFYICONDATAA* data) {
    trayIcons.push_back((data->uFlags & NIF_ICON) ? data->hIcon : nullptr);
    constexpr char kToolTip[] = "Korvalt: Strg+U spielt, J stoppt";
    EXPECT_STREQ((data->uFlags & NIF_TIP) ? data->szTip : kToolTip, kToolTip);
    return trayAnswer;
}

// Rows as "pause\nkey".
void AddRows(const Rows& rows) {
    for (const std::string& row : rows)
        AddGadgetItem(kGadgetStepList, -1, row.c_str());
}

// Every row as "pause|key".
Rows ListRows() {
    Rows rows;
    for (int32_t row = 0; row < CountGadgetItems(kGadgetStepList); ++row)
        rows.push_back(GetGadgetItemText(kGadgetStepList, row, 0) + "|" +
                       GetGadgetItemText(kGadgetStepList, row, 1));
    return rows;
}

// -1 clears the selection; the list holds one selected row at most.
void SelectRow(int32_t row) {
    const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(GadgetID(kGadgetStepList), row, row < 0 ? 0 : state, state);
}

// Typed characters, as the keyboard's WM_CHAR messages reach an edit control.
void PostTyping(HWND edit, const std::string& text) {
    for (char character : text)
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(character), 1);
}

// Actions run one per timer tick on this thread, each once `ready` holds, so that they act while
// a nested loop of the program (a popup menu, the rename window) waits for events.
using Action = std::function<void()>;
std::function<bool()> scriptReady;
std::vector<Action> scriptActions;
size_t scriptNext = 0;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    if (scriptNext < scriptActions.size() && scriptReady())
        scriptActions[scriptNext++]();
}

// The program's start-up as far as its event loop. The tray icon is refused unless a test says
// otherwise, so that a "Start..." acted on by mistake returns at once instead of staying armed.
class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        StartToolkit();
        BuildMainWindow();
        SetNotifyIconFunction(RecordTrayCall);
        mainLoopEnded = false;
        trayIcons.clear();
        trayAnswer = FALSE;
    }
    void TearDown() override {
        SetInput(PlatformInput());
        SetNotifyIconFunction(nullptr);
    }

    static bool Enabled(ObjectNumber gadget) { return IsWindowEnabled(GadgetID(gadget)) != 0; }
    static void Handle(int32_t event) { mainLoopEnded |= !HandleMainEvent(event); }
    static void HandlePendingEvents() {
        while (int32_t event = WindowEvent(0))
            Handle(event);
    }
    // A click as the button's own input would make it, handled when its message is fetched.
    static void PostClick(ObjectNumber gadget) { PostMessageA(GadgetID(gadget), BM_CLICK, 0, 0); }

    static void Click(ObjectNumber gadget) {
        PostClick(gadget);
        HandlePendingEvents();
    }

    static void Type(HWND edit, const std::string& text) {
        PostTyping(edit, text);
        HandlePendingEvents();
    }

    // Handles the main window's events while `actions` run; true when all ran within `limitMs`.
    static bool RunScript(std::function<bool()> ready, std::vector<Action> actions,
                          DWORD limitMs = 5000) {
        scriptReady = std::move(ready);
        scriptActions = std::move(actions);
        scriptNext = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, ScriptTick);
        const bool ran = test::PollUntil([] { return scriptNext == scriptActions.size(); }, limitMs,
                                         [] { Handle(WindowEvent(20)); });
        KillTimer(nullptr, timer);
        HandlePendingEvents();
        return ran;
    }

    static Action Retype(ObjectNumber field, const std::string& text) {
        return [field, text] {
            SetGadgetText(field, "");
            PostTyping(GadgetID(field), text);
        };
    }

    // Chooses "Umbenennen (Name+Zeit)" for `row` and runs `actions` while its window is open.
    static void Rename(int32_t row, std::vector<Action> actions) {
        SelectRow(row);
        PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemRename, 0);
        EXPECT_TRUE(
            RunScript([] { return WindowID(kRenameWindow) != nullptr; }, std::move(actions)));
        EXPECT_EQ(WindowID(kRenameWindow), nullptr);
    }
};

// "Add" follows the key field, typed or picked from its list, and appends what the fields hold;
// "Löschen" keeps the other rows in order. The expander keeps the window's place.
TEST_F(MainWindow, AddFollowsTheKeyFieldTheExpanderKeepsThePlaceTabGoesInOrder) {
    // A message that makes no event of its own still turns the loop once.
    PostMessageA(WindowID(kMainWindow), WM_APP, 0, 0);
    EXPECT_TRUE(HandleMainEvent(WaitWindowEvent()));
    EXPECT_FALSE(Enabled(kGadgetAdd));
    const int32_t x = WindowX(kMainWindow);
    const int32_t y = WindowY(kMainWindow);
    for (int32_t height : {460, 420}) {
        Click(kGadgetExpand);
        EXPECT_EQ(std::vector<int32_t>(
                      {WindowHeight(kMainWindow), WindowX(kMainWindow), WindowY(kMainWindow)}),
                  std::vector<int32_t>({height, x, y}));
    }
    for (bool enabled : {true, false}) {
        Click(kGadgetRepeatEnable);
        EXPECT_EQ(Enabled(kGadgetRepeatCount), enabled);
    }
    // Tab goes on from the key field's own edit part, past the disabled "Add" and count field.
    HWND keyEdit = GetWindow(GadgetID(kGadgetKey), GW_CHILD);
    SetFocus(keyEdit);
    for (ObjectNumber next :
         {kGadgetStart, kGadgetExpand, kGadgetRepeatEnable, kGadgetStepList, kGadgetPause}) {
        SendMessageA(WindowID(kMainWindow), WM_COMMAND, MAKEWPARAM(kCommandFocusNext, 1), 0);
        EXPECT_EQ(GetFocus(), GadgetID(next)) << next;
    }

    Type(keyEdit, " ");
    EXPECT_TRUE(Enabled(kGadgetAdd));
    Click(kGadgetAdd);
    Type(keyEdit, "\b");
    EXPECT_FALSE(Enabled(kGadgetAdd));
    // A pick from the drop-down list: the entry becomes the text and the combo box says so.
    HWND combo = GadgetID(kGadgetKey);
    SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("F5"));
    PostMessageA(WindowID(kMainWindow), WM_COMMAND, MAKEWPARAM(kGadgetKey, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    HandlePendingEvents();
    EXPECT_TRUE(Enabled(kGadgetAdd));
    Click(kGadgetAdd);
    SetGadgetText(kGadgetKey, "");
    Type(keyEdit, "Hallo Welt");
    Click(kGadgetAdd);
    SendMessageA(GadgetID(kGadgetPause), EM_SETSEL, 0, -1);
    Type(GadgetID(kGadgetPause), "\b");
    Click(kGadgetAdd);
    SelectRow(1);
    PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemDelete, 0);
    HandlePendingEvents();
    EXPECT_EQ(ListRows(), (Rows{"1000| ", "1000|Hallo Welt", "|Hallo Welt"}));
}

// The rename writes back to the row it was opened for, however the selection moves meanwhile,
// whether "Ändern" or a close request ends it; a close request for either window is no request
// to end the program. Clicks on the main window do nothing while it is open.
TEST_F(MainWindow, RenameShowsTheRowAndWritesBackToItHoweverItEnds) {
    AddRows({"1000\nF5", "500\na", "0\nReturn"});
    SetGadgetText(kGadgetKey, "F1");
    HandlePendingEvents();
    Rename(0, {[] {
                   EXPECT_EQ(
                       GetGadgetText(kGadgetRenamePause) + "|" + GetGadgetText(kGadgetRenameKey),
                       "1000|F5");
               },
               Retype(kGadgetRenamePause, "2x5-0"), Retype(kGadgetRenameKey, "Escape"),
               [] {
                   SelectRow(-1);
                   for (ObjectNumber button : {kGadgetAdd, kGadgetStart, kGadgetExpand})
                       PostClick(button);
               },
               [] { PostClick(kGadgetRenameApply); }});
    Rename(1, {Retype(kGadgetRenamePause, ""), Retype(kGadgetRenameKey, ""), [] { SelectRow(2); },
               [] { PostMessageA(WindowID(kRenameWindow), WM_CLOSE, 0, 0); }});
    Rename(2, {Retype(kGadgetRenameKey, "y"),
               [] { PostMessageA(WindowID(kMainWindow), WM_CLOSE, 0, 0); }});
    EXPECT_EQ(ListRows(), (Rows{"250|Escape", "|", "0|y"}));
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, -1, 1), "Key/Text");
    EXPECT_EQ(WindowHeight(kMainWindow), 420);
    EXPECT_TRUE(trayIcons.empty());
    EXPECT_FALSE(mainLoopEnded);
}

constexpr char kMenuClass[] = "#32768";

// A real right click at a point of the list's client area.
void RightClick(POINT point) {
    ClientToScreen(GadgetID(kGadgetStepList), &point);
    SetCursorPos(point.x, point.y);
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
}

TEST_F(MainWindow, RightClickShowsTheMenuOnlyWithARowSelected) {
    AddRows({"100\na", "100\nb", "100\nc"});
    SetForegroundWindow(WindowID(kMainWindow));
    HandlePendingEvents();
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(GadgetID(kGadgetStepList), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    const POINT onRow = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    const auto menuShown = [] { return IsWindowVisible(FindWindowA(kMenuClass, nullptr)) != 0; };

    SelectRow(0);
    RightClick({onRow.x, onRow.y + 120});
    EXPECT_FALSE(RunScript(menuShown, {[] { EndMenu(); }}, 500));
    EXPECT_EQ(GetGadgetState(kGadgetStepList), -1);

    RightClick(onRow);
    EXPECT_TRUE(RunScript(menuShown, {[] { EndMenu(); }}, 3000));
    EXPECT_EQ(GetGadgetState(kGadgetStepList), 1);
}

// Keys as the keyboard sends them to the focused list, with the events they bring for `ms`.
void PressInList(std::initializer_list<BYTE> keys, DWORD ms = 600) {
    SetForegroundWindow(WindowID(kMainWindow));
    SetFocus(GadgetID(kGadgetStepList));
    for (BYTE key : keys)
        keybd_event(key, 0, 0, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        keybd_event(*key, 0, KEYEVENTF_KEYUP, 0);
    test::PollUntil([] { return false; }, ms,
                    [] { mainLoopEnded |= !HandleMainEvent(WindowEvent(20)); });
}

// The text of the message box shown, "not owned: " first unless the main window owns it.
std::string shownMessage;

bool MessageShown() {
    return scriptNext == 0 || FindWindowA("#32770", kMessageTitle) != nullptr;
}

void CloseShownMessage() {
    HWND box = FindWindowA("#32770", kMessageTitle);
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    shownMessage = (GetWindow(box, GW_OWNER) == WindowID(kMainWindow) ? "" : "not owned: ") +
                   std::string(text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

std::string Folder() {
    return test::TempPath("");
}

using namespace test;  // Bytes, OtherClipboard, Write ...

template <class Text>
Text Repeated(const Text& line, size_t times) {
    Text text;
    while (times-- > 0)
        text += line;
    return text;
}

// Another program's real drag of `bytes` in `format` onto `row`; the effect it was told.
DWORD DragOnto(UINT format, const std::string& bytes, int32_t row) {
    HWND list = GadgetID(kGadgetStepList);
    POINT point = {};
    SendMessageA(list, LVM_GETITEMPOSITION, row, reinterpret_cast<LPARAM>(&point));
    ClientToScreen(list, &point);
    const std::string file = Write(Folder() + "drag", bytes);
    test::Process source(test::BesideThisExe("other_program.exe") + " drag " +
                         std::to_string(point.x + 20) + " " + std::to_string(point.y + 5) + " " +
                         std::to_string(format) + " " + file);
    DWORD effect = STILL_ACTIVE;
    // Under Wine 16 MiB take some 20 s from another process.
    test::PollUntil([&] { return (effect = source.ExitCode(0)) != STILL_ACTIVE; }, 60000,
                    [] { mainLoopEnded |= !HandleMainEvent(WindowEvent(20)); });
    while (int32_t event = WindowEvent(0))
        mainLoopEnded |= !HandleMainEvent(event);
    DeleteFileA(file.c_str());
    return effect;
}

TEST_F(MainWindow, CopyAndPasteTheWholeListByteForByteThroughAnotherProgram) {
    const std::wstring head = L"1000\tGr\u00FC\u00DFe, 5 \u20AC\r\n\tF5\r\n";
    const std::wstring tail = L"0\t \r\n20\ta\tb\r\n";
    const Rows rows = {"1000|Grüße, 5 €", "|F5", "0| ", "20|a\tb"};
    AddRows({"1000\nGrüße, 5 €", "\nF5", "0\n ", "20\na\tb"});
    OtherClipboard(L"-");
    PressInList({VK_CONTROL, 'C'});
    EXPECT_EQ(OtherClipboard(), head + tail);

    ClearGadgetItems(kGadgetStepList);
    OtherClipboard(head + tail);
    PressInList({VK_CONTROL, 'V'});
    EXPECT_EQ(ListRows(), rows);
    SelectRow(1);
    PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemPaste, 0);
    HandlePendingEvents();
    EXPECT_EQ(CountGadgetItems(kGadgetStepList), 8);
    EXPECT_EQ(GetGadgetState(kGadgetStepList), 2);
    PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemCopy, 0);
    HandlePendingEvents();
    EXPECT_EQ(OtherClipboard(), head + head + tail + tail);

    const std::pair<std::wstring, std::string> refused[] = {
        {L"1\ta\n2\tb\u4E2D",
         "Der Text enthält in Zeile 2 das Zeichen U+4E2D, das die Liste nicht aufnehmen kann."},
        {std::wstring((8 << 20) + 1, L'x'), "Der Text ist größer als 16 MiB."},
    };
    const Action paste = [] { PressInList({VK_CONTROL, 'V'}, 0); };
    for (const auto& [text, reason] : refused) {
        OtherClipboard(text);
        EXPECT_TRUE(RunScript(MessageShown, {paste, CloseShownMessage}));
        EXPECT_EQ(shownMessage, reason + " Nichts wurde übernommen.");
    }
    // Held by another program for longer than Korvalt waits for it.
    test::Process holder(test::BesideThisExe("other_program.exe") + " hold 4000");
    EXPECT_TRUE(test::PollUntil([] { return GetOpenClipboardWindow() != nullptr; }));
    for (const int32_t item : {kMenuItemPaste, kMenuItemCopy}) {
        const Action use = [item] { PostMessageA(WindowID(kMainWindow), WM_COMMAND, item, 0); };
        EXPECT_TRUE(RunScript(MessageShown, {use, CloseShownMessage}));
        EXPECT_EQ(shownMessage.rfind("Die Zwischenablage wird gerade von einem", 0), 0u);
    }
    EXPECT_EQ(CountGadgetItems(kGadgetStepList), 8);
}

// Files in every encoding, and text, dropped or opened: all of it, or nothing and the reason.
TEST_F(MainWindow, FilesAndDropsAreTakenWholeOrNotAtAllWithTheReasonNamed) {
    const std::string folder = Folder();
    const std::string good = Write(folder + "utf8.txt", "2\t\xE2\x82\xAC\n");
    const auto wide = [](const std::string& path) { return AnsiToUtf16(path); };
    OpenStepFiles({wide(Write(folder + "utf16.txt", "\xFF\xFE" + Bytes(L"1\t\u00E4"))), wide(good),
                   wide(Write(folder + "ansi.txt", "3\t\xE4\r\n\r\n"))});
    EXPECT_EQ(ListRows(), (Rows{"1|ä", "2|€", "3|ä"}));
    const std::pair<std::string, std::string> refused[] = {
        {folder + "missing.txt", "wurde nicht gefunden"},
        {Write(folder + "nul.txt", std::string("4\t\0x", 4)), "enthält Nullbytes"},
        {Write(folder + "han.txt", "1\tx\n5\t\xE4\xB8\xAD"),
         "enthält in Zeile 2 das Zeichen U+4E2D, das die Liste nicht aufnehmen kann"},
        {Write(folder + "big.txt", std::string((16 << 20) + 1, 'x')), "ist größer als 16 MiB"},
        {Write(folder + "bad8.txt", "\xEF\xBB\xBF\x31\ta\n2\t\xE4\n3\tb"),
         "ist kein gültiges UTF-8 (Zeile 2)"},
        {Write(folder + "odd16.txt", "\xFF\xFE" + Bytes(L"1\ta") + "b"),
         "ist kein gültiges UTF-16 (ungerade Länge)"},
        {Write(folder + "many.txt", Repeated<std::string>("1\ta\n", 100000 - 3)),
         "hat zu viele Schritte: die Liste fasst höchstens 100000"},
    };
    for (const auto& [file, reason] : refused) {
        const Action open = [&, &file = file] { OpenStepFiles({wide(good), wide(file)}); };
        EXPECT_TRUE(RunScript(MessageShown, {open, CloseShownMessage}));
        EXPECT_EQ(shownMessage,
                  "Die Datei „" + file + "“ " + reason + ". Nichts wurde übernommen.");
        EXPECT_EQ(CountGadgetItems(kGadgetStepList), 3);
    }

    // Text goes before the row under the drop point, files' Steps at the end; the source hears
    // "copy" only when Steps were added.
    SetForegroundWindow(WindowID(kMainWindow));
    EXPECT_EQ(DragOnto(CF_TEXT, "7\tx\r\n8\ty", 1), DROPEFFECT_COPY);
    EXPECT_EQ(ListRows(), (Rows{"1|ä", "7|x", "8|y", "2|€", "3|ä"}));
    EXPECT_EQ(GetGadgetState(kGadgetStepList), 1);
    // "č" is not in code page 1252, whose best fit for it, "c", names another file.
    const std::wstring caron = std::wstring(folder.begin(), folder.end()) + L"Liste-\u010D.txt";
    std::ofstream(caron.c_str(), std::ios::binary) << "9\tcaron";
    std::ofstream(folder + "Liste-c.txt", std::ios::binary) << "9\tplain";
    for (const BOOL unicode : {FALSE, TRUE}) {
        DROPFILES files = {sizeof files, {}, FALSE, unicode};
        const std::string names = unicode ? Bytes(caron) : good;
        const std::string list(reinterpret_cast<char*>(&files), sizeof files);
        EXPECT_EQ(DragOnto(CF_HDROP, list + names, 0), DROPEFFECT_COPY);
    }
    EXPECT_EQ(CountGadgetItems(kGadgetStepList), 7);
    EXPECT_EQ(GetGadgetItemText(kGadgetStepList, 6, 1), "caron");
    EXPECT_EQ(DragOnto(CF_TEXT, "\r\n\t\r\n", 0), DROPEFFECT_NONE);
    EXPECT_EQ(DragOnto(CF_WAVE, "7\tx", 0), DROPEFFECT_NONE);
    const std::tuple<UINT, std::string, std::string> refusedDrops[] = {
        {CF_UNICODETEXT, Bytes(L"1\tx\n\u4E2D"), "Der Text enthält in Zeile 2 das Zeichen"},
        {CF_TEXT, std::string((16 << 20) + 1, 'x'), "Der Text ist größer als 16 MiB."},
        {CF_TEXT, Repeated<std::string>("x\n", 100000 - 6), "Der Text hat zu viele Schritte"},
    };
    for (const auto& drop : refusedDrops) {
        DWORD effect = 0;
        const Action drag = [&] { effect = DragOnto(std::get<0>(drop), std::get<1>(drop), 0); };
        EXPECT_TRUE(RunScript(MessageShown, {drag, CloseShownMessage}, 60000));
        EXPECT_EQ(effect, DROPEFFECT_NONE);
        EXPECT_EQ(shownMessage.rfind(std::get<2>(drop), 0), 0u) << shownMessage;
        EXPECT_EQ(CountGadgetItems(kGadgetStepList), 7);
    }
    DeleteFileW(caron.c_str());
    for (const char* name : {"utf8.txt", "utf16.txt", "ansi.txt", "big.txt", "nul.txt", "han.txt",
                             "bad8.txt", "odd16.txt", "many.txt", "Liste-c.txt"})
        DeleteFileA((folder + name).c_str());
}

// Entf deletes the selected Step and F2 opens the rename window for it; with none selected
// neither does anything. While it is open, the main window takes no input and no drop.
TEST_F(MainWindow, DeleteAndF2ActOnTheSelectedStepOnly) {
    AddRows({"1\na", "2\nb", "3\nc"});
    SelectRow(-1);
    PressInList({VK_DELETE});
    PressInList({VK_F2});
    EXPECT_EQ(WindowID(kRenameWindow), nullptr);
    EXPECT_EQ(CountGadgetItems(kGadgetStepList), 3);
    SelectRow(1);
    PressInList({VK_DELETE});
    EXPECT_EQ(ListRows(), (Rows{"1|a", "3|c"}));
    SelectRow(1);
    EXPECT_TRUE(RunScript([] { return scriptNext == 0 || WindowID(kRenameWindow) != nullptr; },
                          {[] { PressInList({VK_F2}, 0); }, Retype(kGadgetRenameKey, "z"),
                           [] {
                               EXPECT_EQ(DragOnto(CF_TEXT, "7\tx", 0), DROPEFFECT_NONE);
                               PostClick(kGadgetRenameApply);
                           }}));
    EXPECT_EQ(ListRows(), (Rows{"1|a", "3|z"}));
    EXPECT_TRUE(IsWindowEnabled(WindowID(kMainWindow)));
}

// "Einstellungen" from the menu: each unusable field is named and changes nothing; usable ones
// are put in force and written to the settings file whole. Each entry: trigger key, Strg and
// Umschalt, stop, hold, and the refusal.
TEST_F(MainWindow, SettingsRefuseUnusableFieldsByNameAndKeepUsableOnesInTheFile) {
    static const char* const entries[][5] = {
        {"F9", "", "J", "40", "„Auslöser“: Wählen Sie mindestens"},
        {"F99", "1", "J", "40", "„Auslöser“: „F99“ ist keine bekannte Taste"},
        {"F9", "1", "umschalt+strg+f9", "40", "„Auslöser“: Er gleicht der Stopp-Taste"},
        {"F9", "1", "Hyper+J", "40", "„Stopp“: „Hyper+J“ ist keine"},
        {"F9", "1", "Alt+Pause", "1001", "„Haltezeit“: Erlaubt sind 0 bis 1000 ms"},
        {"F9", "1", "Alt+Pause", "10", nullptr}};
    std::vector<Action> actions;
    for (const auto& entry : entries) {
        actions.push_back([&entry] {
            for (const auto& [gadget, text] : {std::pair{kGadgetSettingsTriggerKey, entry[0]},
                                               {kGadgetSettingsStop, entry[2]},
                                               {kGadgetSettingsHold, entry[3]}})
                SetGadgetText(gadget, text);
            for (ObjectNumber box :
                 {kGadgetSettingsCtrl, kGadgetSettingsShift, kGadgetSettingsKeyMode})
                SetGadgetState(box, *entry[1] != 0);
            PostClick(kGadgetSettingsOk);
        });
        if (entry[4])
            actions.insert(actions.end(),
                           {CloseShownMessage, [&entry] {
                                EXPECT_NE(shownMessage.find(entry[4]), std::string::npos)
                                    << shownMessage;
                            }});
    }
    PostMessageA(WindowID(kMainWindow), WM_COMMAND, kMenuItemSettings, 0);
    EXPECT_TRUE(RunScript(
        [] { return scriptNext % 3 != 1 || FindWindowA("#32770", kMessageTitle); }, actions));
    const std::string written = ReadWholeFile(SettingsPath(), 1000).bytes;
    ApplySettings(RunOptions{});
    const WideText path = SettingsPath();
    DeleteFileW(std::wstring(path.begin(), path.end()).c_str());
    EXPECT_EQ(written,
              "[Korvalt]\r\nTrigger=Strg+Umschalt+F9\r\nStop=Alt+Pause\r\nHoldMs=10\r\n"
              "GapMs=0\r\nKeys=Scancodes\r\n");
}

// What the system answers for each key event: how many it inserted.
uint32_t keysInserted = 1;

// Arming needs the tray icon; the trigger plays the list with the running icon shown and the
// double click ends the armed state. A key the system does not insert ends the run with the likely
// cause, and Korvalt stays armed.
TEST_F(MainWindow, ArmedPlaysOnTheTriggerShowsTheRunInTheTrayAndEndsOnTheDoubleClick) {
    InputSeam seam = PlatformInput();
    seam.keyEvent = [](uint8_t, uint8_t, uint32_t) { return keysInserted; };
    seam.asyncKeyState = [](int) -> int16_t { return 0; };
    SetInput(seam);
    RunPlayback();  // the icon is refused: no way back from hiding, so it stays idle
    EXPECT_TRUE(IsWindowVisible(WindowID(kMainWindow)));

    trayAnswer = TRUE;
    AddRows({"0\na"});
    const auto post = [](UINT message, WPARAM wParam, LPARAM lParam) {
        return [=] { PostMessageA(WindowID(kMainWindow), message, wParam, lParam); };
    };
    const Action doubleClick = post(kMessageTrayCallback, kTrayIconPlayback, WM_LBUTTONDBLCLK);
    post(WM_HOTKEY, kHotKeyTrigger, 0)();
    doubleClick();
    RunPlayback();
    EXPECT_TRUE(IsWindowVisible(WindowID(kMainWindow)));
    const HICON armed = static_cast<HICON>(ImageID(kImageArmed));
    const HICON running = static_cast<HICON>(ImageID(kImageRunning));
    EXPECT_EQ(trayIcons, (std::vector<HICON>{armed, armed, nullptr, running, armed, nullptr}));

    keysInserted = 0;
    EXPECT_TRUE(RunScript([] { return scriptNext != 2 || FindWindowA("#32770", kMessageTitle); },
                          {[] { PostClick(kGadgetStart); }, post(WM_HOTKEY, kHotKeyTrigger, 0),
                           CloseShownMessage, doubleClick}));
    keysInserted = 1;
    EXPECT_NE(shownMessage.find("Das Zielprogramm läuft vermutlich mit höheren Rechten"),
              std::string::npos);
}

}  // namespace
}  // namespace kv
