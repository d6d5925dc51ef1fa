#include "about/core/AboutLayout.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace AboutLayout {

namespace {

using enum Look;

constexpr std::array<Row, 8> Rows{{
    {Part::Panel1, "Panel1", Part::Box, {8, 8, 281, 137}, EtchedFrame, Shows::Caption, ""},
    {Part::ProductName, "ProductName", Part::Panel1, {64, 8, 68, 13}, Label, Shows::ProductName, "Product Name"},
    {Part::Copyright, "Copyright", Part::Panel1, {64, 40, 44, 13}, Label, Shows::CopyRight, "Copyright"},
    {Part::Programmer, "Programmer", Part::Panel1, {64, 72, 59, 13}, WrappingLabel, Shows::Programmer, "Programmer:"},
    {Part::OKButton, "OKButton", Part::Box, {111, 152, 75, 25}, DefaultButton, Shows::Caption, "OK"},
    {Part::Panel2, "Panel2", Part::Panel1, {8, 8, 50, 50}, SunkenPanel, Shows::Caption, ""},
    {Part::Image1, "Image1", Part::Panel2, {1, 1, 48, 48}, Image, Shows::Caption, ""},
    {Part::Website, "Website", Part::Panel1, {64, 104, 44, 13}, WrappingLabel, Shows::WebSite, "WebSite:"},
}};

// The paragraph's words joined to lines, as wrapAtSpaces says.
void wrapParagraph(std::string_view paragraph, int width, const std::function<int(std::string_view)> &measure,
                   std::vector<std::string> &lines)
{
    std::string line;
    bool first = true;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(paragraph.find(' ', start), paragraph.size());
        const std::string_view word = paragraph.substr(start, end - start);
        if (first) {
            line = word;
            first = false;
        } else if (const std::string longer = line + ' ' + std::string(word); measure(longer) <= width) {
            line = longer;
        } else {
            lines.push_back(line);
            line = word;
        }
        if (end == paragraph.size())
            break;
        start = end + 1;
    }
    lines.push_back(line);
}

} // namespace

std::span<const Row> rows()
{
    return Rows;
}

const Row &row(Part part)
{
    for (const Row &candidate : Rows)
        if (candidate.part == part)
            return candidate;
    throw std::invalid_argument("the About box's client area has no row");
}

Rect inBox(Part part)
{
    Rect place{};
    for (Part at = part; at != Part::Box;) {
        const Row &of = row(at);
        place.left += of.rect.left;
        place.top += of.rect.top;
        at = of.parent;
    }
    const Row &own = row(part);
    place.width = own.rect.width;
    place.height = own.rect.height;
    return place;
}

std::string shownText(const Row &row, const AboutTexts &texts)
{
    switch (row.shows) {
    case Shows::ProductName:
        return texts.productName;
    case Shows::CopyRight:
        return texts.copyRight;
    case Shows::Programmer:
        return texts.programmer;
    case Shows::WebSite:
        return texts.webSite;
    case Shows::Caption:
        break;
    }
    return row.caption;
}

std::vector<std::string> wrapAtSpaces(std::string_view text, int width,
                                      const std::function<int(std::string_view)> &measure)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view paragraph = text.substr(start, end - start);
        if (end < text.size() && paragraph.ends_with('\r'))
            paragraph.remove_suffix(1);
        wrapParagraph(paragraph, width, measure, lines);
        if (end == text.size())
            break;
        start = end + 1;
    }
    return lines;
}

} // namespace AboutLayout
