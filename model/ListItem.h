// The base of the records kept in the program's lists: a display text and two numbers.
#pragma once

#include <windows.h>

class ListItem {
public:
    virtual ~ListItem() = default;

    // A hook applied to a display text before it is shown; returns the text.
    virtual wchar_t* ApplyTextHook(wchar_t* text) { return text; }
    virtual void SetNumbers(int first, int second) {
        number1 = first;
        number2 = second;
    }
    virtual const wchar_t* DisplayText() = 0;
    virtual int Query() = 0;

protected:
    wchar_t displayText[MAX_PATH] = {};
    int number1 = 0;
    int number2 = 0;
};
