// AboutTexts: the texts an About box shows, as the host gives them (UTF-8).
// Threads: a plain value.
#pragma once

#include <string>

struct AboutTexts {
    std::string title;
    std::string productName;
    std::string copyRight;
    std::string programmer;
    std::string webSite;
};
