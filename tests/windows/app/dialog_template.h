// Reads a DLGTEMPLATEEX resource of this module as written by the resource
// compiler, so tests can check every item exactly as the dialog manager gets it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::string strClass;  // predefined classes by name: "Button", "Edit", "Static", "ComboBox"
    std::string strText;   // an ordinal text is written "#<number>"
};

struct DialogTemplate {
    bool bFound = false;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string strCaption;
    WORD wPointSize = 0;
    std::string strFont;
    std::vector<DialogItem> items;
};

DialogTemplate LoadDialogTemplate(UINT nID);
