// pixtor-cli convert: one picture to another file of the editor's kinds.
#include <algorithm>
#include <set>
#include "document/IcColors.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "tools/cli/Cli.h"
#include "tools/cli/TextImage.h"

namespace cli {

namespace {

// The image as a file of the given format index would hold it.
void ReduceToDepth(Image& image, int formatIndex) {
    MemoryStream file;
    if (Format(file, image.Pixels, formatIndex, 0, 0, 0) != FileOk) return;
    uint32_t pixels[ImagePixels];
    for (int i = 0; i < ImagePixels; ++i) pixels[i] = image.Pixels[i];
    const IconReadResult r = FormatOpen(file, pixels);
    if (r.Outcome != IconLoaded) return;
    for (int i = 0; i < ImagePixels; ++i) image.Pixels[i] = pixels[i] & 0x00FFFFFFu;
}

}  // namespace

// ---- convert -------------------------------------------------------------

struct ConvertOptions {
    int Size = 0;             // 0: the input's
    int Depth = 0;            // 0: the input's
    bool HotGiven = false;
    int HotX = 0, HotY = 0;
    int Entry = 0;            // 0: the best
    std::string To, Out;      // --to: many inputs, each to a file of that kind (in Out)
    bool Json = false;        // what was written, as JSON
};

bool IsOutputKind(const std::string& ext) { return ext == "ico" || ext == "cur" || ext == "txt" || ext == "png"; }

// OUT of IN under --to: IN's name with the new extension, beside IN or in DIR.
std::string OutputName(const std::string& in, const ConvertOptions& opt) { return OutputStem(in, opt.Out) + "." + opt.To; }

int ConvertOne(const std::string& inPath, const std::string& outPath, const ConvertOptions& opt);

int Convert(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    ConvertOptions opt;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        bool missing = false;
        if (OptionValue(args, i, "--size", value, missing)) {
            if (missing) return Usage("--size needs a value: 16 or 32");
            if (!ParseInt(value, opt.Size) || (opt.Size != 16 && opt.Size != 32))
                return Usage(("--size must be 16 or 32, not '" + value + "'").c_str());
        } else if (OptionValue(args, i, "--depth", value, missing)) {
            if (missing) return Usage("--depth needs a value: 1, 4, 8 or 24");
            if (!ParseInt(value, opt.Depth) || FormatIndexOf(16, opt.Depth) < 0)
                return Usage(("--depth must be 1, 4, 8 or 24, not '" + value + "'").c_str());
        } else if (OptionValue(args, i, "--hotspot", value, missing)) {
            if (missing) return Usage("--hotspot needs a value X,Y");
            const size_t comma = value.find(',');
            if (comma == std::string::npos || !ParseInt(value.substr(0, comma), opt.HotX) ||
                !ParseInt(value.substr(comma + 1), opt.HotY))
                return Usage(("--hotspot takes X,Y with two whole numbers, not '" + value + "'").c_str());
            opt.HotGiven = true;
        } else if (OptionValue(args, i, "--entry", value, missing)) {
            if (missing || !ParseInt(value, opt.Entry) || opt.Entry < 1)
                return Usage(("--entry takes an entry's number from 1, not '" + value + "'").c_str());
        } else if (OptionValue(args, i, "--to", value, missing)) {
            if (missing || !IsOutputKind(value)) return Usage(("--to takes ico, cur, png or txt, not '" + value + "'").c_str());
            opt.To = value;
        } else if (OptionValue(args, i, "--out", value, missing)) {
            if (missing || value.empty()) return Usage("--out needs a folder");
            opt.Out = value;
        } else if (args[i] == "--json") {
            opt.Json = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage(("unknown option '" + args[i] + "'").c_str());
        } else {
            files.push_back(args[i]);
        }
    }
    if (!opt.Out.empty() && opt.To.empty()) return Usage("--out goes with --to");
    if (opt.To.empty()) {
        if (files.size() != 2) return Usage("convert takes IN and OUT");
        if (!IsOutputKind(LowerExtension(files[1])))
            return Usage(("OUT must be a .ico, .cur, .png or .txt file: '" + files[1] + "'").c_str());
        return ConvertOne(files[0], files[1], opt);
    }
    if (files.empty()) return Usage("convert --to takes at least one IN");
    if (!opt.Out.empty()) MakeFolder(opt.Out);
    // Each input on its own, on every core: one that fails is told and the
    // rest go on. An output is never one of the inputs, nor written twice.
    std::vector<std::string> outs, refused(files.size());
    std::set<std::string> inputs(files.begin(), files.end()), written;
    for (size_t k = 0; k < files.size(); ++k) {
        outs.push_back(OutputName(files[k], opt));
        if (inputs.count(outs[k])) refused[k] = outs[k] + " is an input";
        else if (!written.insert(outs[k]).second) refused[k] = outs[k] + " is another input's output";
    }
    const int failed = RunBatch(files.size(), [&](size_t k) {
        if (!refused[k].empty()) return FailPlain(files[k], "not converted: " + refused[k]);
        return ConvertOne(files[k], outs[k], opt);
    });
    return BatchDone(failed, files.size(), "converted", opt.Json);
}

int ConvertOne(const std::string& inPath, const std::string& outPath, const ConvertOptions& opt) {
    const std::string outExt = LowerExtension(outPath);
    const bool outCursor = IsCursorFileName(outPath.c_str());
    const bool outText = outExt == "txt";

    Image image;
    image.Entry = opt.Entry;
    if (int rc = LoadImage(inPath, image, opt.Size)) return rc;

    const int pace = opt.Size ? opt.Size : image.Pace;
    const int bits = opt.Depth ? opt.Depth : image.Bits;
    const int index = FormatIndexOf(pace, bits);

    // The hot spot, in the output's pixels.
    int hotX = 0, hotY = 0;
    const char* hotFrom = "the default";
    if (opt.HotGiven) {
        hotX = opt.HotX;
        hotY = opt.HotY;
        hotFrom = "--hotspot";
    } else if (image.FromCursor) {
        hotX = image.HotX;
        hotY = image.HotY;
        if (pace > image.Pace) { hotX *= 2; hotY *= 2; }
        if (pace < image.Pace) { hotX /= 2; hotY /= 2; }
        hotFrom = pace == image.Pace ? "the input cursor" : "the input cursor, scaled";
    }
    if ((opt.HotGiven || outCursor) && (hotX >= pace || hotY >= pace)) {
        Print(stderr,
              "%s: hot spot %d,%d lies outside the %dx%d image (X and Y run from 0 to %d; taken from %s)\n",
              Program, hotX, hotY, pace, pace, pace - 1, hotFrom);
        return opt.HotGiven ? ExitUsage : ExitFailure;
    }

    if (pace != image.Pace) DimeChange(pace, image.Pace, image.Pixels);

    int rc;
    if (outText || outExt == "png") {
        if (opt.Depth && opt.Depth != 24) ReduceToDepth(image, index);
        rc = outText ? WriteText(outPath, FormatTextImage(pace, image.Pixels)) : WritePng(outPath, pace, image.Pixels);
    } else {
        if (outCursor && index == FormatIndexOf(16, 8) && (hotX || hotY))
            Warn(outPath, "a 16x16 8-bit cursor stores its hot spot as 0,0");
        const uint32_t* pixels = image.Pixels;
        rc = WriteOut(outPath, [&](ByteStream& file) {
            return Format(file, pixels, index, outCursor ? 1 : 0, static_cast<uint16_t>(hotX), static_cast<uint16_t>(hotY));
        });
    }
    if (rc == 0 && opt.Json)
        Print(stdout, "{\"file\": %s, \"written\": %s, \"size\": %d, \"depth\": %d}\n", JsonString(inPath).c_str(),
              JsonString(outPath).c_str(), pace, bits);
    return rc;
}

}  // namespace cli
