// A fixture for tests that drive a fresh editor with default settings, closed without
// the save question at the end.
#pragma once
#include <gtest/gtest.h>
#include <richedit.h>

#include "Driver.h"

class EditorProgramTest : public ::testing::Test {
protected:
    RunningProgram program = {};
    HWND editor = 0;

    void SetUp() override
    {
        ClearSection("win.ini", "OrvelloWord");
        program = StartProgram("", "OrvelloWord");
        ASSERT_TRUE(program.main);
        editor = FindChild(program.main, "RichEdit20A");
        ASSERT_TRUE(editor);
    }

    void TearDown() override
    {
        if (!program.process.hProcess)
            return;
        SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
        CloseProgram(program);
        ClearSection("win.ini", "OrvelloWord");
    }
};
