// The Text Format dialog over a real RichEdit control: OK applies what the user changed
// and nothing else.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>
#include <string.h>

#include <string>

#include "EditorWindow.h"
#include "editor/EditorControl.h"
#include "format/TextFormatDialog.h"

namespace {

// Presses OK in the dialog once; a message box that follows (a refusal) is counted and
// answered, and the dialog then cancelled.
struct PressOk {
    static int boxes, presses;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND box = FindWindowA("#32770", "OrvelloWord");
        HWND dialog = FindWindowA("#32770", "Paragraph Format");
        if (box && IsWindowVisible(box)) {
            ++boxes;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        } else if (dialog && IsWindowVisible(dialog)) {
            PostMessageA(dialog, WM_COMMAND, presses++ ? IDCANCEL : IDOK, 0);
        }
    }
};
int PressOk::boxes = 0;
int PressOk::presses = 0;

std::string Paragraph(HWND control)
{
    PARAFORMAT para = {};
    para.cbSize = sizeof para;
    SendMessageA(control, EM_GETPARAFORMAT, 0, (LPARAM)&para);
    std::string text = std::to_string(para.dxStartIndent) + " " + std::to_string(para.dxOffset) +
                       " " + std::to_string(para.dxRightIndent) + " " +
                       std::to_string(para.wAlignment) + " tabs";
    for (int k = 0; k < para.cTabCount; ++k)
        text += " " + std::to_string(para.rgxTabs[k]);
    return text;
}

std::string Characters(HWND control)
{
    size_t units = 0;
    char16_t *all = GetUnicodeText(control, &units, false);
    delete[] all;
    std::string text;
    for (size_t i = 0; i < units; ++i) {
        CHARRANGE one = {(LONG)i, (LONG)i + 1};
        SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&one);
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
        text += std::string(format.szFaceName) + "/" + std::to_string(format.bPitchAndFamily) +
                "/" + std::to_string(format.yHeight) + "/" + std::to_string(format.dwEffects) +
                "/" + std::to_string(format.dwEffects & CFE_AUTOCOLOR ? 0 : format.crTextColor) + " ";
    }
    return text;
}

class TextFormatDialogTest : public EditorWindowTest {
protected:
    void RunDialogWithOk()
    {
        PressOk::boxes = PressOk::presses = 0;
        UINT_PTR timer = SetTimer(0, 0, 30, PressOk::Tick);
        EditTextFormat(parent);
        KillTimer(0, timer);
    }
};

}  // namespace

TEST_F(TextFormatDialogTest, OkWithoutChangesLeavesEveryValueAndIsNotRefused)
{
    // Values the dialog would refuse if typed: a right indentation of 23", a size of
    // half a point, a tab stop past 22"; and a face given in another case.
    const char *rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fmodern courier new;}{\\f1\\fswiss Arial;}}"
                      "\\pard\\ri33120\\tx1000\\tx33000\\qr\\f0\\fs1 tiny {\\f1\\fs24\\b big}\\par}";
    EditorControl.SetTextMode(TEXT_RICH);
    ASSERT_TRUE(StreamInText(Editor(), rtf, strlen(rtf), SF_RTF));
    std::string paragraph = Paragraph(Editor()), characters = Characters(Editor());
    for (int whole = 0; whole < 2; ++whole) {
        // The whole text (mixed values) and the tiny run alone.
        EditorControl.SetSelection(0, whole ? -1 : 4);
        RunDialogWithOk();
        EXPECT_EQ(PressOk::boxes, 0) << "OK refused";
        EXPECT_EQ(PressOk::presses, 1);
        EXPECT_EQ(Paragraph(Editor()), paragraph);
        EXPECT_EQ(Characters(Editor()), characters);
    }
    // Nothing to refuse: OK still changes nothing, not the face given in another case
    // nor the family that picks its stand-in.
    const char *ordinary = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fmodern courier new;}}"
                           "\\pard\\li720\\fi-360\\f0\\fs20 some words\\par}";
    ASSERT_TRUE(StreamInText(Editor(), ordinary, strlen(ordinary), SF_RTF));
    paragraph = Paragraph(Editor()), characters = Characters(Editor());
    EditorControl.SetSelection(0, -1);
    RunDialogWithOk();
    EXPECT_EQ(PressOk::boxes, 0);
    EXPECT_EQ(Paragraph(Editor()), paragraph);
    EXPECT_EQ(Characters(Editor()), characters);

    // A plain document stays plain.
    EditorControl.SetTextMode(TEXT_PLAIN);
    SetText("plain words");
    EditorControl.SetSelection(0, 5);
    RunDialogWithOk();
    EXPECT_EQ(PressOk::boxes, 0);
    EXPECT_EQ(EditorControl.GetTextMode(), TEXT_PLAIN);
}
