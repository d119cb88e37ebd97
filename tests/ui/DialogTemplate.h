#pragma once
// Reads a dialog resource of a module as the dialog manager reads it, in
// either the classic or the extended template format.
#include <windows.h>

#include <string>
#include <vector>

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string className;  // the predefined classes by name: "Button", "Edit", ...
    std::string text;       // empty when the text is a resource number
    int textResource = -1;  // the resource number given as the text, or -1
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string title;
    int pointSize = 0;
    int weight = 0;
    std::string faceName;
    std::vector<TemplateItem> items;
};

// Fails the calling test (and returns an empty template) when the resource
// is missing or malformed.
DialogTemplate readDialogTemplate(HINSTANCE module, int resource);
