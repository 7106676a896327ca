#pragma once
// The texts the movie host hands to the web view and to the loader movie: file addresses,
// the page that embeds the loader, the blank page that marks the end of a movie, and the
// strings file through which the movie gets the game's texts.

#include "core/text/str.h"

class TStringTable;

// "<html><body ...></body></html>" and a line end: 65 bytes.
extern const char kBlankMoviePage[];

// "file://" and the path, with every byte that could end an attribute, split the loader's
// variables or leave the address percent-encoded (a space as "%20", "+" as "%2B").
str AsFileURL(const str& path);

struct TMoviePageParts
{
    str loaderUrl;  // the loader movie
    unsigned width = 0, height = 0;
    bool loop = false;
    str stringsUrl;  // the strings file
    str movieUrl;    // the movie the loader plays
    str blankUrl;    // the page the loader goes to when the movie ends
};
str BuildMoviePage(const TMoviePageParts& parts);

// A label as the movie knows it: "flash..." labels whole, others without their first six
// characters ("FLASH_"); a shorter label gives an empty name.
str MovieStringName(const str& label);
// One "name@@~~@@~~text@@~~@@~~" record per movie label of the table, nothing between.
str BuildMovieStrings(TStringTable& table);
