#pragma once

#include <cstdint>
#include <string>

namespace parvix {

// Buttons and icon of a message box.
enum class BoxStyle
{
    Warning,         // OK, exclamation icon
    Notice,          // OK, information icon
    Confirmation,    // Yes and No, no icon, Yes the default
    Question,        // Yes and No, question icon, Yes the default
    ReplaceQuestion, // Yes and No, question icon, No the default
    DiskError,       // OK, stop icon
};

// A box either names the title "Parvix" or has none of its own and shows the program's title.
enum class BoxTitle
{
    Parvix,
    Program,
};

inline constexpr const char* kParvixTitle = "Parvix";
inline constexpr const char* kProgramTitle = "Tavrin";

inline const char* titleText(BoxTitle title)
{
    return title == BoxTitle::Parvix ? kParvixTitle : kProgramTitle;
}

enum class Button
{
    Ok,
    Yes,
    No,
};

enum class TextBox
{
    Text1,
    Text2,
    Text3,
    Text4,
};

enum class Pointer
{
    Default,
    Hourglass,
};

inline constexpr int kSplitTab = 0;
inline constexpr int kJoinTab = 1;

// Everything the engines ask of the window. The main window, the console program and the tests each
// implement it; the engines never see anything else of them.
class WindowRequests
{
public:
    virtual ~WindowRequests() = default;

    // Modal; returns the button pressed. Line breaks in `text` are lone carriage returns.
    virtual Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) = 0;

    virtual void focus(TextBox box) = 0;
    // Caret to the start, selection as long as the text.
    virtual void selectAll(TextBox box) = 0;
    virtual void caretToEnd(TextBox box) = 0;

    virtual void clearJoinList() = 0;
    virtual void appendJoinList(const std::string& entry) = 0;
    virtual std::int64_t joinListCount() = 0;
    virtual std::string joinListEntry(std::int64_t index) = 0;
    virtual void setText4(const std::string& text) = 0;

    virtual void setPointer(Pointer pointer) = 0;

    // The minimum stays 0.
    virtual void setProgressMax(float maximum) = 0;
    virtual void setProgressValue(float value) = 0;
    virtual void showProgress() = 0;
    virtual void hideProgress() = 0;

    // A change of the current page runs the window's page-change rule before this returns.
    virtual void selectTab(int index) = 0;
};

} // namespace parvix
