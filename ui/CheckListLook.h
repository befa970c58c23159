#pragma once

#include <windows.h>

// What a check list's rows are drawn with, owned by the frame and read by its view.
struct CheckListLook {
    HBITMAP check = nullptr;
    HBITMAP uncheck = nullptr;
    HBITMAP middle = nullptr;
    SIZE box{};
    int cellWidth = 0;
    int cellHeight = 0;
    int rowHeight = 0;
    int margin = 0; // above the first row and left of the top-level boxes
    int inset = 0;  // the frame's margin around the view
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
};
