#pragma once
// The thirteen pages of the step-by-step tutorial: the window title of each
// page and its text, paragraphs separated by empty lines.
#include <array>
#include <string>

namespace kv::app {

inline constexpr int kTutorialPageCount = 13;

struct TutorialPage {
    const char* title;
    std::string text;
};

const std::array<TutorialPage, kTutorialPageCount>& TutorialPages();

}  // namespace kv::app
