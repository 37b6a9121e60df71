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
// pages. Nothing here waits for the user, and nothing returns what the window shows.

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

// The join list and the joined file's path (the text of Text4), as the engines fill them. What is in
// the list is no engine's to read: a join is given its pieces.
class JoinListDisplay
{
public:
    virtual ~JoinListDisplay() = default;
    virtual void clearJoinList() = 0;
    virtual void appendJoinList(const std::string& entry) = 0;
    virtual void setText4(const std::string& text) = 0;
};

// The progress bar; its minimum stays 0. Besides the bar's own numbers, the engines tell how many bytes
// they have copied of how many (-1 when that is not known), for a display that shows bytes, a rate and the
// time left; the window's bar has no use for it.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void setProgressMax(float maximum) = 0;
    virtual void setProgressValue(float value) = 0;
    virtual void showProgress() = 0;
    virtual void hideProgress() = 0;
    virtual void setBytesDone(std::int64_t done, std::int64_t total) { (void)done, (void)total; }
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
