#pragma once

#include <QString>

// The addresses that the Support menu and the about box open, kept in one place. Quillock has no web site
// of its own: help is a page shipped beside the executable, and the other addresses are on the reserved
// ".example" domain, which names no real company.
namespace SupportPages {

// The maker's home page (the about box's first Go To WebPage button, and the text of its address box).
QString makerHomePage();
// The contact page: Support > Contact Us.
QString contactPage();
// The help page's file name, shipped and installed beside the executable.
QString helpPageFileName();
// A file:// link to the help page in the program folder: Support > Help.
QString helpPageLink();

} // namespace SupportPages
