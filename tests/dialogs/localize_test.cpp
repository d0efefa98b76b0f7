// Dialog localisation through the common dialog hook: translation, the scale
// entry and rescaling to the pixel, combo boxes, the 512-child limit, help
// and right-to-left layout.
#include <gtest/gtest.h>

#include <climits>

#include "dialogs/dialog_fixture.h"
#include "localisation/dialog_hook.h"
#include "localisation/language_resources.h"

namespace dialog_test {
namespace {

using Builder = TemplateBuilder;

class LocalizeTest : public DialogTest {
  protected:
    std::string Text(os::Window window) { return machine().AnsiToUtf8(Window(window).text); }
    os::Rect Screen(os::Window window) {
        os::Rect r = {};
        EXPECT_TRUE(os::Gui().GetWindowRect(window, &r));
        return r;
    }
};

void ExpectRect(const os::Rect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

// The dialog W = (100, 50, 508, 380) with a client area of 402 x 304 and a
// child at R = (113, 90, 213, 110) under the entry 120*110, on a display
// whose dialog frame is 3 pixels (and whose caption is 20, which gives W and
// C of the example).
TEST_F(LocalizeTest, WorkedExampleToThePixel) {
    ui().Screen().SetMetric(os::kSmCyCaption, 20);
    ASSERT_EQ(os::Gui().GetSystemMetrics(os::kSmCyDlgFrame), 3);
    UseLanguageFile({Entry("TESTDLG", "", "120*110")});
    Builder t(kDialogStyle, 0, 0, 268, 187, u"Example", SansSerif8());
    t.Add(kControlStyle, 0, 0, 10, 10, 100, Builder::kStatic, u"Child");
    TestDialog test;
    test.arrange = [&](os::Window dialog) {
        os::Ui& ui = os::Gui();
        ui.SetWindowPos(dialog, nullptr, 100, 50, 408, 330, os::kSwpNoZOrder);
        ui.SetWindowPos(ui.GetDlgItem(dialog, 100), nullptr, 10, 17, 100, 20, os::kSwpNoZOrder);
        // The example's starting point.
        ExpectRect(Screen(dialog), 100, 50, 508, 380);
        os::Rect client = {};
        ui.GetClientRect(dialog, &client);
        ExpectRect(client, 0, 0, 402, 304);
        ExpectRect(Screen(ui.GetDlgItem(dialog, 100)), 113, 90, 213, 110);
    };
    OpenTestDialog(t, test, [&](os::Window dialog) {
        // Resized to 489 x 361 in place; the child at 12, 17, 121 x 23.
        ExpectRect(Screen(dialog), 100, 50, 589, 411);
        ExpectRect(Control(dialog, 100).rect, 12, 17, 133, 40);
    });
}

TEST_F(LocalizeTest, ScaleEntryIsReadAsTwoNumbers) {
    struct Case {
        int line;
        const char* entry;  // null: no scale entry
        int horizontal;
        int vertical;
        bool active;
    };
    const Case cases[] = {
        {__LINE__, nullptr, 100, 100, false},
        {__LINE__, "120*110", 120, 110, true},
        {__LINE__, "100*100", 100, 100, false},
        {__LINE__, "120", 100, 100, false},  // no asterisk: no scaling
        {__LINE__, "*150", 0, 150, true},
        {__LINE__, " \t+90*-5", 90, -5, true},
        {__LINE__, "a*b", 0, 0, true},
        {__LINE__, "100*100 percent", 100, 100, false},
        {__LINE__, "150*120*90", 150, 120, true},
        {__LINE__, "99999999999*-99999999999", INT_MAX, INT_MIN, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        std::vector<std::string> lines = {Entry("OTHERDLG", "", "50*50")};
        if (c.entry) lines.push_back(Entry("TESTDLG", "", c.entry));
        UseLanguageFile(lines);
        int horizontal = -1;
        int vertical = -1;
        EXPECT_EQ(TheLanguageResources().GetDialogScale("TESTDLG", &horizontal, &vertical),
                  c.active);
        EXPECT_EQ(horizontal, c.horizontal);
        EXPECT_EQ(vertical, c.vertical);
    }
}

// A dialog of 100 x 50 dialog units: client 150 x 81, window 156 x 106 (dialog
// frame 3, caption 19), so fw = 7 and fh = 26; a child of 20 x 10 units is
// 30 x 16 pixels.
TEST_F(LocalizeTest, ScaleEntriesThatChangeNoSizeShrinkOrGrowToTheLimit) {
    struct Case {
        int line;
        const char* entry;
        int32_t width;  // the dialog's window
        int32_t height;
        int32_t childWidth;
        int32_t childHeight;
    };
    const Case cases[] = {
        {__LINE__, "100*100", 156, 106, 30, 16},
        {__LINE__, "120", 156, 106, 30, 16},
        // Width 0 x 150 %: the frame alone; height 81 x 1.5 + 26.
        {__LINE__, "*150", 7, 147, 0, 25},
        // Beyond 10000 % a percentage counts as 10000 %; a negative size is 0.
        {__LINE__, "99999999999*-99999999999", 15007, 0, 3100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseLanguageFile({Entry("TESTDLG", "", c.entry), Entry("TESTDLG", "Alpha", "A1")});
        Builder t(kDialogStyle, 10, 10, 100, 50, u"Scaled", SansSerif8());
        t.Add(kControlStyle, 10, 10, 20, 10, 100, Builder::kStatic, u"Alpha");
        OpenTestDialog(t, TestDialog{}, [&](os::Window dialog) {
            const os::Rect w = Screen(dialog);
            EXPECT_EQ(w.right - w.left, c.width);
            EXPECT_EQ(w.bottom - w.top, c.height);
            const os::Rect r = Control(dialog, 100).rect;
            EXPECT_EQ(r.right - r.left, c.childWidth);
            EXPECT_EQ(r.bottom - r.top, c.childHeight);
            // Translation happens whatever the scale does.
            EXPECT_EQ(Text(os::Gui().GetDlgItem(dialog, 100)), "A1");
        });
    }
}

// A combo box of 100 x 60 dialog units at 150 % height: a drop-down box is 21
// pixels high with a 98-pixel list, so (21 + 1) x 1.5 + (98 + 1) x 1.5; a
// simple box is the 98 pixels themselves.
TEST_F(LocalizeTest, DropDownComboBoxKeepsRoomForItsList) {
    struct Case {
        int line;
        uint32_t comboStyle;
        int32_t before;
        int32_t after;
    };
    const Case cases[] = {
        {__LINE__, os::kCbsDropDown, 21, 33 + 148},
        {__LINE__, os::kCbsDropDownList, 21, 33 + 148},
        {__LINE__, os::kCbsSimple, 98, 148},
    };
    UseLanguageFile({Entry("TESTDLG", "", "100*150")});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        Builder t(kDialogStyle, 10, 10, 200, 150, u"Combo", SansSerif8());
        t.Add(kControlStyle | c.comboStyle, 10, 10, 100, 60, 100, Builder::kComboBox, u"");
        TestDialog test;
        test.arrange = [&](os::Window dialog) {
            const os::Rect r = Control(dialog, 100).rect;
            EXPECT_EQ(r.bottom - r.top, c.before);
        };
        OpenTestDialog(t, test, [&](os::Window dialog) {
            const os::Rect r = Control(dialog, 100).rect;
            EXPECT_EQ(r.bottom - r.top, c.after);
        });
    }
}

TEST_F(LocalizeTest, OnlyTheFirst512ChildrenAreTranslatedAndMoved) {
    UseLanguageFile({Entry("TESTDLG", "", "200*100"), Entry("TESTDLG", "Item", "Done")});
    Builder t(kDialogStyle, 0, 0, 300, 200, u"Many", SansSerif8());
    for (int i = 0; i < 600; ++i)
        t.Add(kControlStyle, 0, 0, 10, 10, 1000 + i, Builder::kStatic, u"Item");
    OpenTestDialog(t, TestDialog{}, [&](os::Window dialog) {
        const std::vector<sim::SimWindow*>& children = Window(dialog).children;
        ASSERT_EQ(children.size(), 600u);
        for (size_t i = 0; i < children.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "child " << i);
            const bool reached = i < 512;
            EXPECT_EQ(children[i]->text, reached ? "Done" : "Item");
            // 10 units are 15 pixels; scaled: (15 + 1) x 2.
            EXPECT_EQ(children[i]->rect.right - children[i]->rect.left, reached ? 32 : 15);
        }
    });
}

// Texts are translated under the dialog's own name; an empty text is left
// alone, although the empty text's key under the dialog's name is that of
// the scale entry.
TEST_F(LocalizeTest, CaptionAndControlTextsAreTranslated) {
    UseLanguageFile({
        Entry("TESTDLG", "", "100*100"),
        Entry("TESTDLG", "Установка", "Setup"),
        Entry("TESTDLG", "&Да", "&Yes"),
        Entry("OTHERDLG", "Beta", "B1"),
    });
    struct Case {
        int line;
        std::u16string caption;
        std::string translatedCaption;
    };
    const Case cases[] = {
        {__LINE__, u"Установка", "Setup"},
        {__LINE__, u"", ""},
        {__LINE__, u"Untranslated", "Untranslated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        Builder t(kDialogStyle, 10, 10, 100, 50, c.caption, SansSerif8());
        t.Add(kControlStyle | os::kBsAutoCheckBox, 5, 5, 50, 10, 101, Builder::kButton, u"&Да");
        t.Add(kControlStyle, 5, 20, 50, 10, 102, Builder::kStatic, u"");
        t.Add(kControlStyle, 5, 30, 50, 10, 103, Builder::kStatic, u"Beta");
        OpenTestDialog(t, TestDialog{}, [&](os::Window dialog) {
            EXPECT_EQ(Text(dialog), c.translatedCaption);
            EXPECT_EQ(Text(os::Gui().GetDlgItem(dialog, 101)), "&Yes");
            EXPECT_EQ(Text(os::Gui().GetDlgItem(dialog, 102)), "");
            EXPECT_EQ(Text(os::Gui().GetDlgItem(dialog, 103)), "Beta");
        });
    }
}

// A property-sheet page keeps its caption and its size; its controls are
// still translated and rescaled.
TEST_F(LocalizeTest, PageKeepsCaptionAndSize) {
    UseLanguageFile({Entry("TESTDLG", "", "200*200"), Entry("TESTDLG", "Page", "Seite"),
                     Entry("TESTDLG", "Alpha", "A1")});
    Builder t(kDialogStyle, 10, 10, 100, 50, u"Page", SansSerif8());
    t.Add(kControlStyle, 10, 10, 20, 10, 100, Builder::kStatic, u"Alpha");
    TestDialog page;
    page.page = true;
    OpenTestDialog(t, page, [&](os::Window dialog) {
        EXPECT_EQ(Text(dialog), "Page");
        const os::Rect w = Screen(dialog);
        EXPECT_EQ(w.right - w.left, 156);
        EXPECT_EQ(w.bottom - w.top, 106);
        EXPECT_EQ(Text(os::Gui().GetDlgItem(dialog, 100)), "A1");
        const os::Rect r = Control(dialog, 100).rect;
        EXPECT_EQ(r.right - r.left, 62);  // (30 + 1) x 2
    });
}

TEST_F(LocalizeTest, HelpOpensTheDialogsTopic) {
    const os::Window dialog = reinterpret_cast<os::Window>(0x4242);
    os::NotifyHeader sheetHelp = {dialog, 0, static_cast<unsigned>(os::kPsnHelp)};
    os::NotifyHeader otherNotice = {dialog, 0, static_cast<unsigned>(-2)};
    struct Case {
        int line;
        unsigned message;
        os::WParam wParam;
        os::NotifyHeader* notice;
        bool page;
        unsigned helpContext;
        bool opens;
    };
    const Case cases[] = {
        {__LINE__, os::kWmHelp, 0, nullptr, false, 4288, true},
        {__LINE__, os::kWmHelp, 0, nullptr, false, 0, false},
        {__LINE__, os::kWmCommand, os::kIdHelp, nullptr, false, 4976, true},
        // The notification code in the high word is not looked at.
        {__LINE__, os::kWmCommand, os::MakeWParam(os::kIdHelp, 1), nullptr, false, 4976, true},
        {__LINE__, os::kWmCommand, os::kIdHelp, nullptr, false, 0, false},
        {__LINE__, os::kWmCommand, os::kIdOk, nullptr, false, 4288, false},
        {__LINE__, os::kWmNotify, 0, &sheetHelp, false, 4288, false},
        {__LINE__, os::kWmNotify, 0, &sheetHelp, true, 4288, true},
        // PSN_HELP on a page opens help even without a topic.
        {__LINE__, os::kWmNotify, 0, &sheetHelp, true, 0, true},
        {__LINE__, os::kWmNotify, 0, &otherNotice, true, 4288, false},
        {__LINE__, os::kWmNotify, 0, nullptr, true, 4288, false},
        {__LINE__, os::kWmClose, 0, nullptr, false, 4288, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        Mark();
        CommonDialogHook(dialog, c.message, c.wParam, c.page, c.helpContext, "TESTDLG",
                         reinterpret_cast<os::LParam>(c.notice));
        const std::vector<std::string> help = Calls("WinHelpA");
        if (c.opens) {
            ASSERT_EQ(help.size(), 1u);
            EXPECT_EQ(help[0], "WinHelpA owner=0x4242 file=\"velkor.hlp\" command=1 data=" +
                                   std::to_string(c.helpContext) + " -> 1");
        } else {
            EXPECT_TRUE(help.empty()) << help[0];
        }
    }
}

// WM_SETFONT mirrors the dialog when the language is right to left; only a
// page mirrors its parent (the property sheet) too, and the sheet's tab
// control, which is redrawn. Here the parent is a dialog that answers
// PSM_GETTABCONTROL with one of its controls.
TEST_F(LocalizeTest, RightToLeftLayout) {
    struct Case {
        int line;
        bool rightToLeft;
        bool page;
        bool dialogMirrored;
        bool sheetMirrored;
    };
    const Case cases[] = {
        {__LINE__, false, false, false, false},
        {__LINE__, false, true, false, false},
        {__LINE__, true, false, true, false},
        {__LINE__, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseLanguageFile(c.rightToLeft ? std::vector<std::string>{RightToLeftEntry()}
                                      : std::vector<std::string>{Entry("X", "a", "b")});
        ASSERT_EQ(TheLanguageResources().RightToLeft(), c.rightToLeft);
        Builder outer(kDialogStyle, 10, 10, 200, 100, u"Sheet", SansSerif8());
        outer.Add(kControlStyle, 5, 5, 150, 80, 300, u"Static", u"");
        Builder inner(kDialogStyle, 10, 10, 100, 50, u"Page", SansSerif8());
        TestDialog sheet;
        sheet.hook = false;
        sheet.handle = [](os::Window dialog, unsigned message, os::WParam, os::LParam) {
            if (message != os::kPsmGetTabControl) return intptr_t{0};
            const os::Window tabs = os::Gui().GetDlgItem(dialog, 300);
            os::Gui().SetWindowLongA(dialog, os::kDwlpMsgResult,
                                     static_cast<int32_t>(reinterpret_cast<intptr_t>(tabs)));
            return intptr_t{1};
        };
        TestDialog page;
        page.page = c.page;
        OpenTestDialog(outer, sheet, [&](os::Window owner) {
            Mark();
            OpenTestDialog(
                inner, page,
                [&](os::Window dialog) {
                    EXPECT_EQ(Window(dialog).Mirrored(), c.dialogMirrored);
                    EXPECT_EQ(Window(owner).Mirrored(), c.sheetMirrored);
                    EXPECT_EQ(Control(owner, 300).Mirrored(), c.sheetMirrored);
                },
                owner);
            EXPECT_EQ(Calls("InvalidateRect").size(), c.sheetMirrored ? 1u : 0u);
            // A dialog that is no page never looks at its parent.
            if (!c.page) {
                EXPECT_TRUE(Calls("GetParent").empty());
            }
            if (!c.rightToLeft) {
                EXPECT_TRUE(Calls("SetWindowLongA").empty());
            }
        });
    }
}

// In a mirrored dialog a control's position counts from the right edge of
// the client area: rescaling keeps it there, scaled. A child of 20 x 10
// units at 10, 10 is 15 pixels from the right edge and 30 wide; at 200 % it
// is 30 from the right edge and (30 + 1) x 2 wide.
TEST_F(LocalizeTest, MirroredDialogScalesFromTheRightEdge) {
    UseLanguageFile({RightToLeftEntry(), Entry("TESTDLG", "", "200*100")});
    Builder t(kDialogStyle, 10, 10, 100, 50, u"Mirrored", SansSerif8());
    t.Add(kControlStyle, 10, 10, 20, 10, 100, Builder::kStatic, u"Alpha");
    TestDialog test;
    test.arrange = [&](os::Window dialog) {
        ASSERT_TRUE(Window(dialog).Mirrored());
        const os::Rect w = Screen(dialog);
        const os::Rect r = Screen(os::Gui().GetDlgItem(dialog, 100));
        EXPECT_EQ(w.right - 3 - r.right, 15);  // the dialog frame is 3 pixels
    };
    OpenTestDialog(t, test, [&](os::Window dialog) {
        const os::Rect r = Control(dialog, 100).rect;
        EXPECT_EQ(r.left, 30);
        EXPECT_EQ(r.right - r.left, 62);
        const os::Rect w = Screen(dialog);
        const os::Rect s = Screen(os::Gui().GetDlgItem(dialog, 100));
        EXPECT_EQ(w.right - 3 - s.right, 30);
    });
}

}  // namespace
}  // namespace dialog_test
