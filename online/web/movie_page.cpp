#include "online/web/movie_page.h"

#include "core/strings/string_table.h"
#include "core/text/str_view.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

const char kBlankMoviePage[] = "<html><body style=\"margin: 0px\" bgcolor='#000000'></body></html>\n";

namespace {

// Bytes kept as they are in a file address; the rest is percent-encoded. Quotes and angle
// brackets would end the page's attribute, "&" and "=" would split the loader's variables.
bool KeepInUrl(unsigned char c)
{
    if (c <= 0x20 || c == 0x7f)
        return false;
    return !strchr("\"#%&'+<=>?\\`", c);
}

}  // namespace

str AsFileURL(const str& path)
{
    std::string url("file://");
    for (const char* p = path.c_str(); *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (KeepInUrl(c))
            url += static_cast<char>(c);
        else
            url += str::getFormatted("%%%02X", c).c_str();
    }
    return ToStr(url);
}

str BuildMoviePage(const TMoviePageParts& parts)
{
    std::string page = "<html><body style=\"margin: 0px\" bgcolor='#000000'>";
    page += "<object name=\"flash\" data=\"" + std::string(parts.loaderUrl.c_str()) + "\" border=\"0\"";
    page += " width=\"" + std::to_string(parts.width) + "\" height=\"" + std::to_string(parts.height) + "\"";
    page += std::string(" loop=\"") + (parts.loop ? "true" : "false") + "\" >";
    page += "<PARAM NAME=\"flashvars\" VALUE=\"strings=" + std::string(parts.stringsUrl.c_str()) +
            "&swf=" + parts.movieUrl.c_str() + "&endurl=" + parts.blankUrl.c_str() + "\">";
    page += "</object></body></html>";
    return str(page.c_str(), page.size());
}

str MovieStringName(const str& label)
{
    if (strncmp(label.c_str(), "flash", 5) == 0)
        return label;
    if (label.length() <= 6)
        return str();
    return label.substr(6);
}

str BuildMovieStrings(TStringTable& table)
{
    std::vector<str> labels;
    table.GetFlashStrings(labels);
    std::string out;
    for (const str& label : labels) {
        out += MovieStringName(label).c_str();
        out += "@@~~@@~~";
        out += table.GetString(label).c_str();
        out += "@@~~@@~~";
    }
    return str(out.c_str(), out.size());
}
