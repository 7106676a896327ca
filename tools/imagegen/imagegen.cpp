// imagegen: makes a PNG picture from a text description (see image_description.h).
//   imagegen [--frame I --frames N] description.img output.png
// Exit codes: 0 written, 1 bad description or a file that cannot be read or written, 2 usage.

#include "tools/description/description_reader.h"
#include "tools/imagegen/canvas.h"
#include "tools/imagegen/image_description.h"
#include "tools/imagegen/png_writer.h"
#include "tools/input/whole_number.h"

#include <cstdio>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: imagegen [--frame I --frames N] description.img output.png\n");
    return 2;
}

bool ParseCount(const char* text, int* out)
{
    long v = 0;
    if (!ParseWholeNumber(text, 0, 100000, &v))
        return false;
    *out = static_cast<int>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int frame = 0, frames = 1;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frame" && i + 1 < argc) {
            if (!ParseCount(argv[++i], &frame))
                return Usage();
        } else if (arg == "--frames" && i + 1 < argc) {
            if (!ParseCount(argv[++i], &frames))
                return Usage();
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2)
        return Usage();
    std::string text, error;
    if (!ReadTextFile(files[0], &text, &error)) {
        std::fprintf(stderr, "imagegen: %s\n", error.c_str());
        return 1;
    }
    TImageDescription description;
    if (!ParseImageDescription(files[0], text, frame, frames, &description, &error)) {
        std::fprintf(stderr, "imagegen: %s\n", error.c_str());
        return 1;
    }
    const TCanvas canvas = RenderImage(description);
    if (!WritePngRgba(files[1], canvas.Width(), canvas.Height(), canvas.ToRgba8(), &error)) {
        std::fprintf(stderr, "imagegen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
