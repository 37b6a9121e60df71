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

// What the engines change in the window besides asking, one role each, so that whoever implements a
// role needs nothing of the others: a console has a join list and progress, but no caret, pointer or
// pages. Nothing here waits for the user.

// The caret and the focus of the text boxes.
class TextBoxes
{
public:
    virtual ~TextBoxes() = default;
    virtual void focus(TextBox box) = 0;
    // Caret to the start, selection as long as the text.
    virtual void selectAll(TextBox box) = 0;
    virtual void caretToEnd(TextBox box) = 0;
};

// The join list and the joined file's path (the text of Text4).
class JoinListDisplay
{
public:
    virtual ~JoinListDisplay() = default;
    virtual void clearJoinList() = 0;
    virtual void appendJoinList(const std::string& entry) = 0;
    virtual std::int64_t joinListCount() = 0;
    virtual std::string joinListEntry(std::int64_t index) = 0;
    virtual void setText4(const std::string& text) = 0;
};

// The progress bar; its minimum stays 0.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void setProgressMax(float maximum) = 0;
    virtual void setProgressValue(float value) = 0;
    virtual void showProgress() = 0;
    virtual void hideProgress() = 0;
};

// The window's mouse pointer.
class BusyPointer
{
public:
    virtual ~BusyPointer() = default;
    virtual void setPointer(Pointer pointer) = 0;
};

// The page in front.
class Pages
{
public:
    virtual ~Pages() = default;
    // A change of the current page runs the window's page-change rule before this returns.
    virtual void selectTab(int index) = 0;
};

} // namespace parvix
