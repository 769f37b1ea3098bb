// Drives toravel.exe through its window as a user would: menu commands, message boxes read by
// their text and answered by their buttons, the file dialogs and the name dialog typed into.
// The file that the typical run exports is compared with what the same commands write when
// run here without a window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/batch_convert.h"
#include "app/command_table.h"
#include "d3dx_consumer.h"
#include "platform/windows/resource_ids.h"
#include "window_automation.h"

namespace toravel::testing::windows {
namespace {

using namespace std::chrono_literals;

// Build paths arrive as the host spells them; under Wine the host's root is drive Z:.
std::string HostPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string Example(const char* name) {
    return HostPath(std::string(TORAVEL_EXAMPLES_DIR) + "/" + name);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The nine items with availability rules, and the items that are always enabled.
const std::vector<int> kRuled = {32772, 32774, 32775, 32776, 32777, 32779, 32782, 32781, 32784};
const std::vector<int> kAlways = {32771, 32773, 32783, 32778, IDM_ABOUT, IDM_EXIT};

// Answers the commands run without a window with the answers the GUI test types.
class AnswerQueue : public UserInteraction {
  public:
    std::vector<FileChoice> files;
    std::vector<std::string> names;
    std::vector<std::string> unexpected;

    // Yes to discarding a loaded document, as the GUI test answers; any other question is
    // unexpected.
    bool AskYesNo(const Question& question) override {
        if (question.id == QuestionId::kDiscardDocument) {
            return true;
        }
        unexpected.push_back(question.title);
        return false;
    }
    void ShowMessage(const Notice& notice) override { unexpected.push_back(notice.title); }
    std::optional<std::string> AskAnimSetName(const NamePrompt&) override { return Take(names); }
    std::optional<FileChoice> AskOpenFileName(const FilePrompt&) override { return Take(files); }
    std::optional<FileChoice> AskSaveFileName(const FilePrompt&) override { return Take(files); }
    void RequestRepaint() override {}
    void ShowStatusLine(std::string_view) override {}

  private:
    template <typename T>
    std::optional<T> Take(std::vector<T>& queue) {
        if (queue.empty()) {
            return std::nullopt;
        }
        T next = queue.front();
        queue.erase(queue.begin());
        return next;
    }
};

FileChoice Choice(const std::string& path) {
    return {path, std::filesystem::path(path).filename().string()};
}

// A window of this process for the Direct3D device that D3DX loads meshes with.
class DeviceWindow {
  public:
    DeviceWindow()
        : window_(CreateWindowExA(0, "STATIC", "D3DX", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr)) {}
    ~DeviceWindow() { DestroyWindow(window_); }
    DeviceWindow(const DeviceWindow&) = delete;
    DeviceWindow& operator=(const DeviceWindow&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_;
};

// D3DX reads from `path` the frames, meshes and bones that this program's reader reads.
void ExpectD3dxReadsWhatWeRead(const std::string& path) {
    DeviceWindow window;
    const std::string ours = DescribeWithOurReader(path);
    ASSERT_NE(ours.find("  bone "), std::string::npos) << "no skinned mesh in " << path;
    EXPECT_EQ(DescribeWithD3dx(path, window.get()), ours) << path;
}

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::filesystem::path(temp) /
                  ("toravel-gui-" + std::to_string(GetCurrentProcessId()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);

        std::string command = HostPath(TORAVEL_APP_PATH);
        command.insert(command.begin(), '"');
        command.push_back('"');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process_))
            << "cannot start " << command;
        main_ = WaitForTopLevel(process_.dwProcessId, "Toravel_4", "Toravel_4");
        ASSERT_NE(main_, nullptr) << "no main window of class Toravel_4";
        ASSERT_TRUE(InjectMenuProbe(process_.hProcess, pid(), HostPath(TORAVEL_MENU_PROBE_PATH)));
        // The menu is brought up to date by the first paint.
        ASSERT_TRUE(WaitFor([&] { return IsMenuItemGreyed(main_, 32772); }))
            << "the first paint did not grey the menu";
    }

    void TearDown() override {
        if (process_.hProcess != nullptr) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                PostMessageA(main_, WM_COMMAND, IDM_EXIT, 0);
                if (WaitForSingleObject(process_.hProcess, 10000) == WAIT_TIMEOUT) {
                    TerminateProcess(process_.hProcess, 1);
                }
            }
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    DWORD pid() const { return process_.dwProcessId; }
    std::string File(const char* name) const { return (folder_ / name).string(); }

    void Command(int id) { PostMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // Answers the next file dialog of the main window with `path`.
    void ChooseFile(const std::string& path) {
        const HWND dialog = WaitForOwnedDialog(pid(), main_);
        ASSERT_NE(dialog, nullptr) << "no file dialog for " << path;
        const HWND edit = FirstEdit(dialog);
        ASSERT_NE(edit, nullptr) << "the file dialog has no name field";
        SetEditText(edit, path);
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << "the file dialog stayed open";
    }

    // Types `name` into the name dialog and presses OK.
    void NameSet(const std::string& name) {
        const HWND dialog = WaitForTopLevel(pid(), "#32770", "AnimationSet Name");
        ASSERT_NE(dialog, nullptr) << "no AnimationSet Name dialog";
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), main_);
        SetEditText(GetDlgItem(dialog, IDC_ANIMSET_NAME_EDIT), name);
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }

    void WaitEnabled(int id) {
        ASSERT_TRUE(WaitFor([&] { return !IsMenuItemGreyed(main_, id); }))
            << "menu item " << id << " stayed greyed";
    }

    // The ownerless message box titled `title`: its text and buttons.
    HWND MessageBoxTitled(const std::string& title) {
        const HWND box = WaitForTopLevel(pid(), "#32770", title);
        if (box != nullptr) {
            EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << title << " has an owner window";
        }
        return box;
    }

    std::string MessageText(HWND box) {
        const std::vector<std::string> texts = StaticTexts(box);
        return texts.empty() ? std::string() : texts.back();
    }

    void ExpectExitWithoutQuestion() {
        Command(IDM_EXIT);
        ASSERT_EQ(WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0)
            << "the application did not end on Exit";
        DWORD code = 1;
        GetExitCodeProcess(process_.hProcess, &code);
        EXPECT_EQ(code, 0u);
    }

    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
    std::filesystem::path folder_;
};

TEST_F(GuiTest, FirstPaintGreysTheRuledItemsAndLeavesTheOthersEnabled) {
    for (int id : kRuled) {
        EXPECT_TRUE(IsMenuItemGreyed(main_, id)) << id;
    }
    for (int id : kAlways) {
        EXPECT_FALSE(IsMenuItemGreyed(main_, id)) << id;
    }
    // The menu resource is the command table's menu tree.
    std::string expected;
    for (const Menu& menu : MenuTree()) {
        expected += std::string(menu.title) + "\n";
        for (const MenuItem& item : menu.items) {
            expected += "  " + std::to_string(item.id) + " " + std::string(item.text) + "\n";
        }
    }
    EXPECT_EQ(MenuDescription(main_), expected);
    ExpectExitWithoutQuestion();
}

TEST_F(GuiTest, AltQuestionMarkAndAltSlashOpenTheAboutBox) {
    // On a US keyboard "?" is Shift with the "/" key.
    const std::vector<std::pair<char, std::vector<WORD>>> keys = {
        {'?', {VK_MENU, VK_SHIFT, VK_OEM_2}}, {'/', {VK_MENU, VK_OEM_2}}};
    for (const auto& [key, strokes] : keys) {
        SetForegroundWindow(main_);
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main_; }));
        PressKeys(strokes);
        const HWND about = WaitForTopLevel(pid(), "#32770", "About");
        ASSERT_NE(about, nullptr) << "Alt+" << key << " opened no About box";
        EXPECT_EQ(GetWindow(about, GW_OWNER), main_);
        EXPECT_FALSE(IsWindowEnabled(main_)) << "the About box is modal";
        const std::vector<std::string> texts = StaticTexts(about);
        EXPECT_NE(std::find(texts.begin(), texts.end(), "Toravel Version 4.0"), texts.end());
        EXPECT_TRUE(HasIconControl(about));
        EXPECT_EQ(ButtonIds(about), std::vector<int>{IDOK});
        PressButton(about, IDOK);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
        EXPECT_TRUE(IsWindowEnabled(main_));
    }
    ExpectExitWithoutQuestion();
}

TEST_F(GuiTest, NameDialogRefusesAnEmptyNameAndCancelLoadsNothing) {
    Command(32771);
    ChooseFile(Example("soldier_reference.smd"));
    WaitEnabled(32772);
    Command(32772);
    WaitEnabled(32776);

    Command(32773);
    ChooseFile(Example("soldier_walk.smd"));
    const HWND dialog = WaitForTopLevel(pid(), "#32770", "AnimationSet Name");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_ANIMSET_NAME_EDIT)), "");
    PressButton(dialog, IDOK);
    const HWND notice = MessageBoxTitled("Enter Name");
    ASSERT_NE(notice, nullptr) << "OK with an empty name showed no notice";
    EXPECT_EQ(MessageText(notice), "Enter a name for the animationset.");
    EXPECT_EQ(ButtonIds(notice), std::vector<int>{IDOK});
    EXPECT_FALSE(HasIconControl(notice));
    PressButton(notice, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(notice); }));
    EXPECT_TRUE(IsWindow(dialog)) << "the name dialog closed on an empty name";
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    // No set was made, so there is nothing to set as primary.
    Sleep(200);
    EXPECT_TRUE(IsMenuItemGreyed(main_, 32774));
    EXPECT_TRUE(IsMenuItemGreyed(main_, 32775));

    // A name longer than the dialog takes is cut to its first 254 characters.
    const std::string longName(300, 'w');
    Command(32773);
    ChooseFile(Example("soldier_walk.smd"));
    if (const HWND discard = FindTopLevel(pid(), "#32770", "Discard SMD Animation Info")) {
        PressButton(discard, IDYES);
    }
    NameSet(longName);
    WaitEnabled(32774);
    Command(32774);
    WaitEnabled(32777);
    Command(32777);
    ChooseFile(File("long.x"));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(File("long.x")); }));
    ASSERT_TRUE(WaitFor([&] { return TopLevelWindows(pid()).size() == 1; }));
    const std::string named = ReadBytes(File("long.x"));
    EXPECT_NE(named.find("AnimationSet " + longName.substr(0, 254) + " {"), std::string::npos);

    // A second load of the reference asks before discarding it; No keeps it.
    Command(32771);
    ChooseFile(Example("soldier_reference.smd"));
    const HWND question = MessageBoxTitled("Discard SMD Reference Info");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageText(question),
              "Currently loaded SMD reference information will be lost.\nContinue?");
    EXPECT_EQ(ButtonIds(question), (std::vector<int>{IDYES, IDNO}));
    EXPECT_FALSE(HasIconControl(question));
    // While the question waits, the menu starts no other command.
    Command(32776);
    EXPECT_EQ(WaitForOwnedDialog(pid(), main_, 500ms), nullptr) << "a second command started";
    PressButton(question, IDNO);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(question); }));
    EXPECT_FALSE(IsMenuItemGreyed(main_, 32772));
    ExpectExitWithoutQuestion();
}

TEST_F(GuiTest, TypicalRunExportsWhatTheCommandsWriteWithoutAWindow) {
    Command(32771);
    ChooseFile(Example("soldier_reference.smd"));
    WaitEnabled(32772);
    Command(32772);
    WaitEnabled(32776);
    EXPECT_TRUE(IsMenuItemGreyed(main_, 32777));

    Command(32773);
    ChooseFile(Example("soldier_walk.smd"));
    NameSet("Walk");
    WaitEnabled(32775);
    Command(32775);
    WaitEnabled(32777);

    // A second animation; the first one's document is discarded on Yes.
    Command(32773);
    ChooseFile(Example("soldier_wave.smd"));
    const HWND question = MessageBoxTitled("Discard SMD Animation Info");
    ASSERT_NE(question, nullptr);
    PressButton(question, IDYES);
    NameSet("Wave");
    Command(32775);

    // The save dialog appends the default extension to a name typed without one.
    const std::string typed = File("typical");
    Command(32777);
    ChooseFile(typed);
    const std::string written = typed + ".x";
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(written); }))
        << "nothing written at " << written;
    ASSERT_TRUE(WaitFor([&] { return TopLevelWindows(pid()).size() == 1; }))
        << "a message is still open after the export";

    const std::string picture = HostPath(TORAVEL_SCREENSHOT_PATH);
    EXPECT_TRUE(SaveWindowPicture(main_, picture)) << picture;

    // The same commands and answers without a window.
    AnswerQueue answers;
    answers.files = {Choice(Example("soldier_reference.smd")), Choice(Example("soldier_walk.smd")),
                     Choice(Example("soldier_wave.smd")), Choice(File("expected.x"))};
    answers.names = {"Walk", "Wave"};
    {
        Application app(answers);
        for (int id : {32771, 32772, 32773, 32775, 32773, 32775, 32777}) {
            ASSERT_TRUE(DispatchCommand(app, id)) << id;
        }
    }
    EXPECT_TRUE(answers.unexpected.empty()) << answers.unexpected.front();
    const std::string expected = ReadBytes(File("expected.x"));
    ASSERT_FALSE(expected.empty());
    const std::string actual = ReadBytes(written);
    EXPECT_TRUE(actual == expected) << "the exported file differs from the windowless run";
    EXPECT_NE(actual.find("AnimationSet Wave {"), std::string::npos);
    ExpectD3dxReadsWhatWeRead(written);

    // Replacing the primary nodes asks first, with the warning icon; No keeps them.
    Command(32772);
    const HWND clear = MessageBoxTitled("Clear Current Data?");
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(MessageText(clear), "The current primary node set will be cleared.\nContinue?");
    EXPECT_EQ(ButtonIds(clear), (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(HasIconControl(clear));
    PressButton(clear, IDNO);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(clear); }));
    EXPECT_FALSE(IsMenuItemGreyed(main_, 32777));
    ExpectExitWithoutQuestion();
}

// The example conversion's file, as this build writes it and, when it has been made, as the
// host's build wrote it (scripts/convert-example.sh).
TEST(D3dxConsumer, ExampleConversionReadsBack) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string output = std::string(temp) + "toravel-example.x";
    ConvertRequest request;
    request.reference = Example("soldier_reference.smd");
    request.animations = {{Example("soldier_walk.smd"), std::nullopt},
                          {Example("soldier_wave.smd"), std::nullopt}};
    request.output = output;
    request.force = true;
    request.quiet = true;
    std::ostringstream messages;
    ASSERT_EQ(RunConvert(request, messages), kExitDone) << messages.str();
    ExpectD3dxReadsWhatWeRead(output);
    std::filesystem::remove(output);

    const std::string host = HostPath(std::string(TORAVEL_SOURCE_DIR) + "/out/example.x");
    if (std::filesystem::exists(host)) {
        ExpectD3dxReadsWhatWeRead(host);
    }
}

}  // namespace
}  // namespace toravel::testing::windows
