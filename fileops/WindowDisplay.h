#pragma once

#include <cstdint>
#include <string>

namespace parvix {

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

// What the engines change in the window besides asking: the caret and focus of the text boxes, the
// join list and its destination, the pointer, the progress bar and the page in front. Nothing here waits
// for the user.
class WindowDisplay
{
public:
    virtual ~WindowDisplay() = default;

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
