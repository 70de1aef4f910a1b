#pragma once
// What a header, footer or menu-page button asks for when it is clicked. The container handles
// hide, quit, reset, home and help itself and hands every other action to the page that set the
// button; 4 to 12 mean whatever that page makes of them.
namespace OX
{

enum class PageAction : int {
    none = 0, // no button: a header or footer button set with it is hidden
    hide = 1,
    quit = 2,
    back = 3,
    apply = 4,
    tryIt = 5,
    settings = 7,
    reset = 8,
    restore = 9,
    revert = 10,
    refresh = 11,
    cancel = 12,
    home = 13,
    help = 14,
};

} // namespace OX
