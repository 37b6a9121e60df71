#pragma once

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
    // Looks as ReplaceQuestion; asks whether to go on with files that failed their checks, which a
    // console's "yes to everything" does not answer.
    DamagedQuestion,
    DiskError, // OK, stop icon
};

// Whether a box of this style offers Yes and No rather than OK alone.
constexpr bool isYesNo(BoxStyle style)
{
    return style == BoxStyle::Confirmation || style == BoxStyle::Question || style == BoxStyle::ReplaceQuestion ||
           style == BoxStyle::DamagedQuestion;
}

// Whether No is the button that Enter presses.
constexpr bool noIsDefault(BoxStyle style)
{
    return style == BoxStyle::ReplaceQuestion || style == BoxStyle::DamagedQuestion;
}

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

// The one thing that waits for the user: a modal message box, which returns the button pressed (OK for
// a box that offers nothing else). The engines and the directory chooser put their messages and
// questions through it; whoever shows boxes implements it.
class Questions
{
public:
    virtual ~Questions() = default;

    // Line breaks in `text` are lone carriage returns.
    virtual Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) = 0;
};

} // namespace parvix
