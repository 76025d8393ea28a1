// pixtor-cli strip join and split: toolbar strips from pictures and back.
#include <algorithm>
#include "formats/FileErrors.h"
#include "formats/StripBitmap.h"
#include "tools/cli/Cli.h"
#include "tools/cli/TextImage.h"

namespace cli {

// ---- strip -----------------------------------------------------------------

namespace {

// Takes --json out of args; whether it was there.
bool TakeJson(std::vector<std::string>& args) {
    const auto json = std::find(args.begin(), args.end(), "--json");
    if (json == args.end()) return false;
    args.erase(json);
    return true;
}

}  // namespace

int StripJoin(std::vector<std::string> args) {
    const bool json = TakeJson(args);
    if (args.size() < 2) return Usage("strip join takes OUT.bmp and at least one IN");
    StripImages strip;
    strip.Count = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        Image image;
        if (int rc = LoadImage(args[i], image)) return rc;
        if (i == 1) {
            strip.Pace = image.Pace;
        } else if (image.Pace != strip.Pace) {
            return FailPlain(args[i], "image is " + std::to_string(image.Pace) + "x" + std::to_string(image.Pace) +
                                          " but " + args[1] + " is " + std::to_string(strip.Pace) + "x" +
                                          std::to_string(strip.Pace) +
                                          "; all images of a strip have one size (convert --size first)");
        }
        for (int p = 0; p < image.Pace * image.Pace; ++p) strip.Pixels.push_back(image.Pixels[p] & 0x00FFFFFFu);
        ++strip.Count;
    }
    if (int rc = WriteOut(args[0], [&](ByteStream& file) { return WriteStripBitmap(file, strip); })) return rc;
    if (json)
        Print(stdout, "{\"file\": %s, \"images\": %d, \"size\": %d}\n", JsonString(args[0]).c_str(), strip.Count,
              strip.Pace);
    return 0;
}

int StripSplit(std::vector<std::string> args) {
    const bool json = TakeJson(args);
    const auto txt = std::find(args.begin(), args.end(), "--txt");
    const bool asText = txt != args.end();
    if (asText) args.erase(txt);
    if (args.size() != 2) return Usage("strip split takes IN.bmp and PREFIX");
    const std::string& path = args[0];
    StripImages strip;
    {
        InputFile in(path);
        if (!in.file) return CantOpen(path, in.err);
        StdioStream stream(in.file);
        const int code = ReadStripBitmap(stream, strip);
        if (code != FileOk) return Fail(code, path);
    }
    const size_t each = static_cast<size_t>(strip.Pace) * strip.Pace;
    std::vector<std::string> written;
    for (int k = 0; k < strip.Count; ++k) {
        const std::string out = args[1] + "-" + std::to_string(k) + (asText ? ".txt" : ".png");
        const uint32_t* pixels = strip.Pixels.data() + k * each;
        if (int rc = asText ? WriteText(out, FormatTextImage(strip.Pace, pixels)) : WritePng(out, strip.Pace, pixels))
            return rc;
        written.push_back(JsonString(out));
    }
    if (json)
        Print(stdout, "{\"file\": %s, \"images\": %d, \"size\": %d, \"written\": %s}\n", JsonString(path).c_str(),
              strip.Count, strip.Pace, JsonList(written).c_str());
    else
        Print(stdout, "%d images of %dx%d\n", strip.Count, strip.Pace, strip.Pace);
    return 0;
}
}  // namespace cli
