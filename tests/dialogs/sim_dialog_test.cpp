// The simulated machine's dialogs themselves: pixels from dialog units by
// the template's font, placement, the order of the messages a dialog
// procedure gets, and what the user's actions do.
#include <gtest/gtest.h>

#include "dialogs/dialog_fixture.h"
#include "platform/sim/actions.h"

namespace dialog_test {
namespace {

using Builder = TemplateBuilder;

// The messages a recording dialog got, with what it saw of itself then.
struct Received {
    unsigned message;
    os::WParam wParam;
    bool hadChildren;
    unsigned check;  // of control 100
    int focus;       // WM_INITDIALOG: the id of the control it offers the focus
};
std::vector<Received>* g_received = nullptr;

intptr_t RecordingProc(os::Window dialog, unsigned message, os::WParam wParam, os::LParam) {
    os::Ui& ui = os::Gui();
    if (g_received && message != 0x0002) {
        const os::Window focus = reinterpret_cast<os::Window>(wParam);
        g_received->push_back(
            {message, wParam, ui.GetWindow(dialog, os::kGwChild) != nullptr,
             ui.GetDlgItem(dialog, 100) ? ui.IsDlgButtonChecked(dialog, 100) : 0,
             message == os::kWmInitDialog && focus ? ui.GetWindowLongA(focus, os::kGwlId) : 0});
    }
    if (message == os::kWmCommand && os::LowWord(wParam) == os::kIdCancel) {
        ui.EndDialog(dialog, 7);
    }
    return message == os::kWmInitDialog ? 1 : 0;
}

class SimDialogTest : public DialogTest {
  protected:
    intptr_t Record(Builder& t, std::vector<Received>* received) {
        g_received = received;
        const intptr_t result =
            os::Gui().DialogBoxIndirectParamA(Instance(), t.Data(), nullptr, RecordingProc, 0);
        g_received = nullptr;
        return result;
    }
};

// Client size and control rectangle from dialog units: MulDiv by the base
// units of the template's font (6 x 13 for the 8-point dialog faces, 8 x 16
// for the system font, 7 x 15 for Segoe UI 9), in both template forms.
TEST_F(SimDialogTest, DialogUnitsBecomePixelsByTheFont) {
    struct Case {
        int line;
        std::optional<Builder::Font> font;
        bool extended;
        int32_t clientWidth, clientHeight;
        os::Rect control;
    };
    const Case cases[] = {
        {__LINE__, Builder::Font{u"MS Sans Serif", 8}, false, 150, 81, {15, 16, 45, 34}},
        {__LINE__, Builder::Font{u"ms sans serif", 8}, true, 150, 81, {15, 16, 45, 34}},
        {__LINE__, Builder::Font{u"Tahoma", 8}, true, 150, 81, {15, 16, 45, 34}},
        {__LINE__, std::nullopt, false, 200, 100, {20, 20, 60, 42}},
        {__LINE__, Builder::Font{u"Segoe UI", 9}, true, 175, 94, {18, 19, 53, 40}},
        // Another face or size: the 8-point units scaled by points / 8.
        {__LINE__, Builder::Font{u"Arial", 16}, false, 300, 163, {30, 33, 90, 69}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        Builder t(kDialogStyle, 0, 0, 100, 50, u"Units", c.font, c.extended);
        t.Add(kControlStyle, 10, 10, 20, 11, 100, Builder::kStatic, u"x");
        OpenTestDialog(t, TestDialog{}, [&](os::Window dialog) {
            os::Rect client = {};
            os::Gui().GetClientRect(dialog, &client);
            EXPECT_EQ(client.right, c.clientWidth);
            EXPECT_EQ(client.bottom, c.clientHeight);
            const os::Rect r = Control(dialog, 100).rect;
            EXPECT_EQ(r.left, c.control.left);
            EXPECT_EQ(r.top, c.control.top);
            EXPECT_EQ(r.right, c.control.right);
            EXPECT_EQ(r.bottom, c.control.bottom);
        });
    }
}

// The window is the client area with frame and caption: centred on the 1024
// x 768 screen with DS_CENTER, else with its client area at the template's
// position, from the owner's client area when there is an owner.
TEST_F(SimDialogTest, PlacementAndFrame) {
    Builder centred(kDialogStyle | os::kDsCenter, 5, 5, 100, 50, u"Centred", SansSerif8());
    os::Rect owner = {};
    OpenTestDialog(centred, TestDialog{}, [&](os::Window dialog) {
        os::Gui().GetWindowRect(dialog, &owner);
        // 150 + 2 x 3 by 81 + 2 x 3 + 19.
        EXPECT_EQ(owner.left, (1024 - 156) / 2);
        EXPECT_EQ(owner.top, (768 - 106) / 2);
        EXPECT_EQ(owner.right - owner.left, 156);
        EXPECT_EQ(owner.bottom - owner.top, 106);
        Builder owned(kDialogStyle, 10, 10, 40, 20, u"Owned", SansSerif8());
        OpenTestDialog(
            owned, TestDialog{},
            [&](os::Window inner) {
                os::Rect r = {};
                os::Gui().GetWindowRect(inner, &r);
                // The owner's client area starts 3 and 22 pixels in; this
                // dialog's client area is 15, 16 pixels from there.
                EXPECT_EQ(r.left, owner.left + 3 + 15 - 3);
                EXPECT_EQ(r.top, owner.top + 22 + 16 - 22);
                EXPECT_FALSE(Window(dialog).Enabled()) << "the owner is disabled meanwhile";
            },
            dialog);
        EXPECT_TRUE(Window(dialog).Enabled());
    });
}

// WM_SETFONT comes before the controls exist, WM_INITDIALOG after, with the
// first tab stop as the focus; an auto check box has toggled when WM_COMMAND
// arrives; Esc is IDCANCEL, and so is the close box after WM_SYSCOMMAND and
// WM_CLOSE; F1 is WM_HELP; Enter is the default button.
TEST_F(SimDialogTest, MessagesInWindowsOrder) {
    struct Message {
        unsigned message;
        unsigned low;    // of wParam
        unsigned check;  // control 100's state when it comes
    };
    struct Case {
        int line;
        const char* action;
        std::vector<Message> brings;
    };
    const unsigned cancel = os::kIdCancel;
    const Case cases[] = {
        {__LINE__, "click 100", {{os::kWmCommand, 100, 1}}},
        {__LINE__, "escape", {{os::kWmCommand, cancel, 0}}},
        {__LINE__,
         "cancel",
         {{os::kWmSysCommand, os::kScClose & 0xFFFF, 0},
          {os::kWmClose, 0, 0},
          {os::kWmCommand, cancel, 0}}},
        {__LINE__, "help", {{os::kWmHelp, 0, 0}}},
        {__LINE__, "enter", {{os::kWmCommand, 101, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseFreshMachine();
        Builder t(kDialogStyle, 10, 10, 100, 50, u"Order", SansSerif8());
        t.Add(kControlStyle, 5, 5, 40, 10, 99, Builder::kStatic, u"label");
        t.Add(kControlStyle | os::kWsTabStop | os::kBsAutoCheckBox, 5, 20, 40, 10, 100,
              Builder::kButton, u"box");
        t.Add(kControlStyle | os::kWsTabStop | os::kBsDefPushButton, 50, 20, 40, 14, 101,
              Builder::kButton, u"Go");
        const bool ends =
            c.brings.back().message == os::kWmCommand && c.brings.back().low == cancel;
        Act(ends ? std::vector<std::string>{c.action}
                 : std::vector<std::string>{c.action, "escape"});
        std::vector<Received> got;
        EXPECT_EQ(Record(t, &got), 7);
        ASSERT_GE(got.size(), 2 + c.brings.size());
        EXPECT_EQ(got[0].message, os::kWmSetFont);
        EXPECT_FALSE(got[0].hadChildren);
        EXPECT_EQ(got[1].message, os::kWmInitDialog);
        EXPECT_TRUE(got[1].hadChildren);
        EXPECT_EQ(got[1].focus, 100);
        for (size_t i = 0; i < c.brings.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "message " << i);
            EXPECT_EQ(got[2 + i].message, c.brings[i].message);
            EXPECT_EQ(os::LowWord(got[2 + i].wParam), c.brings[i].low);
            EXPECT_EQ(got[2 + i].check, c.brings[i].check);
        }
    }
}

// A disabled control takes no click; a close box does nothing while the
// Cancel button is disabled.
TEST_F(SimDialogTest, DisabledControlsDoNothing) {
    Builder t(kDialogStyle, 10, 10, 100, 50, u"Disabled", SansSerif8());
    t.Add(kControlStyle | os::kWsDisabled | os::kBsAutoCheckBox, 5, 20, 40, 10, 100,
          Builder::kButton, u"box");
    t.Add(kControlStyle | os::kWsDisabled, 50, 20, 40, 14, os::kIdCancel, Builder::kButton,
          u"Cancel");
    Act({"click 100", "cancel", "escape"});
    std::vector<Received> got;
    EXPECT_EQ(Record(t, &got), 7);
    std::vector<unsigned> commands;
    for (const Received& r : got)
        if (r.message == os::kWmCommand) commands.push_back(os::LowWord(r.wParam));
    // Only Esc came through.
    EXPECT_EQ(commands, std::vector<unsigned>{static_cast<unsigned>(os::kIdCancel)});
    EXPECT_EQ(got.back().check, 0u);
}

TEST_F(SimDialogTest, DialogThatCannotBeMade) {
    struct Case {
        int line;
        uint32_t extraStyle;
        intptr_t result;
    };
    const Case cases[] = {
        {__LINE__, 0, -1},
        // DS_NOFAILCREATE leaves the control out instead.
        {__LINE__, os::kDsNoFailCreate, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        Builder t(kDialogStyle | c.extraStyle, 10, 10, 100, 50, u"Broken", SansSerif8());
        t.Add(kControlStyle, 5, 5, 40, 10, 100, u"NoSuchClass", u"x");
        if (c.result != -1) Act({"escape"});
        std::vector<Received> got;
        EXPECT_EQ(Record(t, &got), c.result);
        // A dialog that was not made sent its procedure nothing past the font.
        if (c.result == -1) {
            EXPECT_LE(got.size(), 1u);
        }
    }
}

// With no action left and no terminal the run ends, naming the dialog.
TEST_F(SimDialogTest, UnansweredDialogEndsTheRun) {
    Builder t(kDialogStyle, 10, 10, 100, 50, u"Waiting", SansSerif8());
    try {
        Record(t, nullptr);
        FAIL() << "the dialog returned without an answer";
    } catch (const sim::RunAborted& aborted) {
        EXPECT_NE(std::string(aborted.what()).find("\"Waiting\""), std::string::npos)
            << aborted.what();
    }
    // The machine goes on: the next dialog opens and ends as usual.
    Act({"escape"});
    EXPECT_EQ(Record(t, nullptr), 7);
}

}  // namespace
}  // namespace dialog_test
