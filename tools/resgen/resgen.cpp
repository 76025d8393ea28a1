// resgen: turns the readable picture sources in resources/art/ into the
// bitmap, cursor, icon and animation files the resource script includes.
// It runs on the build machine, so it uses only the standard library and
// the program's own portable icon and cursor writer.
//
//   resgen OUTDIR FILE.txt...
//
// Every source line is one command; see resources/art/README.txt.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include "document/Document.h"
#include "formats/ByteStream.h"
#include "formats/IcFormat.h"

namespace {

// Pixels are colour references 0x00BBGGRR, as everywhere in the program.
struct Picture {
    int Width = 0, Height = 0;
    uint32_t Background = 0;
    std::vector<uint32_t> Pixels;
    uint32_t& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
    uint32_t Get(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    void Put(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < Width && y < Height) At(x, y) = c;
    }
};

struct Glyph {
    int Width = 0;
    std::vector<std::string> Rows;
};

std::map<std::string, uint32_t> Colours;
std::map<std::string, Picture> Pictures;
std::map<char, Glyph> Font;
std::map<char, uint32_t> Keys;     // pixel-map characters of the current file
std::string OutDir;
std::string Where;                 // file:line of the command being run

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "resgen: %s: %s\n", Where.c_str(), why.c_str());
    std::exit(1);
}

int ToInt(const std::string& s) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end) Fail("not a number: " + s);
    return static_cast<int>(v);
}

// A colour is a name given by "colour", "mask" (the program's transparent
// colour) or six hex digits RRGGBB.
uint32_t ToColour(const std::string& s) {
    if (s == "mask") return MaskColor;
    auto named = Colours.find(s);
    if (named != Colours.end()) return named->second;
    if (s.size() != 6) Fail("not a colour: " + s);
    char* end = nullptr;
    unsigned long rgb = std::strtoul(s.c_str(), &end, 16);
    if (*end) Fail("not a colour: " + s);
    return MakeColour((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

Picture& Find(const std::string& name) {
    auto it = Pictures.find(name);
    if (it == Pictures.end()) Fail("no picture named " + name);
    return it->second;
}

Picture Blank(int w, int h, uint32_t bg) {
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096) Fail("bad picture size");
    Picture p;
    p.Width = w;
    p.Height = h;
    p.Background = bg;
    p.Pixels.assign(static_cast<size_t>(w) * h, bg);
    return p;
}

// ---- Drawing primitives ------------------------------------------------

void Line(Picture& p, int x0, int y0, int x1, int y1, uint32_t c) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        p.Put(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

// Inside test of the ellipse inscribed in the box, sampled at pixel centres.
bool InEllipse(int x, int y, int bx, int by, int w, int h) {
    double rx = w / 2.0, ry = h / 2.0;
    double u = (x + 0.5 - bx - rx) / rx, v = (y + 0.5 - by - ry) / ry;
    return u * u + v * v <= 1.0;
}

void Ellipse(Picture& p, int bx, int by, int w, int h, uint32_t c, bool filled) {
    for (int y = by; y < by + h; ++y)
        for (int x = bx; x < bx + w; ++x) {
            if (!InEllipse(x, y, bx, by, w, h)) continue;
            bool edge = !InEllipse(x - 1, y, bx, by, w, h) || !InEllipse(x + 1, y, bx, by, w, h) ||
                        !InEllipse(x, y - 1, bx, by, w, h) || !InEllipse(x, y + 1, bx, by, w, h);
            if (filled || edge) p.Put(x, y, c);
        }
}

void Text(Picture& p, int x, int y, uint32_t c, int scale, const std::string& s) {
    for (char ch : s) {
        if (ch == ' ') { x += 4 * scale; continue; }
        auto g = Font.find(ch);
        if (g == Font.end()) Fail(std::string("no glyph for '") + ch + "'");
        for (size_t r = 0; r < g->second.Rows.size(); ++r)
            for (int k = 0; k < g->second.Width; ++k)
                if (k < static_cast<int>(g->second.Rows[r].size()) && g->second.Rows[r][k] == '#')
                    for (int sy = 0; sy < scale; ++sy)
                        for (int sx = 0; sx < scale; ++sx)
                            p.Put(x + k * scale + sx, y + static_cast<int>(r) * scale + sy, c);
        x += (g->second.Width + 1) * scale;
    }
}

int TextWidth(int scale, const std::string& s) {
    int w = 0;
    for (char ch : s) {
        auto g = Font.find(ch);
        w += (ch == ' ' ? 4 : (g == Font.end() ? 0 : g->second.Width + 1)) * scale;
    }
    return w > 0 ? w - scale : 0;
}

void Flood(Picture& p, int x, int y, uint32_t c) {
    if (x < 0 || y < 0 || x >= p.Width || y >= p.Height) return;
    uint32_t old = p.Get(x, y);
    if (old == c) return;
    std::vector<std::pair<int, int>> todo{{x, y}};
    while (!todo.empty()) {
        auto [px, py] = todo.back();
        todo.pop_back();
        if (px < 0 || py < 0 || px >= p.Width || py >= p.Height || p.Get(px, py) != old) continue;
        p.At(px, py) = c;
        todo.push_back({px + 1, py});
        todo.push_back({px - 1, py});
        todo.push_back({px, py + 1});
        todo.push_back({px, py - 1});
    }
}

// Copies src onto dst at (x, y), leaving dst where src shows its background.
void Stamp(Picture& dst, const Picture& src, int x, int y) {
    for (int sy = 0; sy < src.Height; ++sy)
        for (int sx = 0; sx < src.Width; ++sx)
            if (src.Get(sx, sy) != src.Background) dst.Put(x + sx, y + sy, src.Get(sx, sy));
}

// ---- Whole-picture transformations (used by "derive") ------------------

Picture Transform(const Picture& src, const std::string& op) {
    bool turn = op == "rot90" || op == "rot270";
    Picture out = Blank(turn ? src.Height : src.Width, turn ? src.Width : src.Height, src.Background);
    for (int y = 0; y < src.Height; ++y)
        for (int x = 0; x < src.Width; ++x) {
            uint32_t c = src.Get(x, y);
            if (op == "rot90") out.At(src.Height - 1 - y, x) = c;        // clockwise
            else if (op == "rot180") out.At(src.Width - 1 - x, src.Height - 1 - y) = c;
            else if (op == "rot270") out.At(y, src.Width - 1 - x) = c;
            else if (op == "flipx") out.At(src.Width - 1 - x, y) = c;
            else if (op == "flipy") out.At(x, src.Height - 1 - y) = c;
            else Fail("unknown transformation " + op);
        }
    return out;
}

Picture Shift(const Picture& src, int dx, int dy) {
    Picture out = Blank(src.Width, src.Height, src.Background);
    for (int y = 0; y < src.Height; ++y)
        for (int x = 0; x < src.Width; ++x) out.Put(x + dx, y + dy, src.Get(x, y));
    return out;
}

// ---- File writers ------------------------------------------------------

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutFourCC(std::vector<uint8_t>& b, const char* f) { b.insert(b.end(), f, f + 4); }
void Patch32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Save(const std::string& file, const std::vector<uint8_t>& bytes) {
    std::string path = OutDir + "/" + file;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        Fail("cannot write " + path);
}

// The colours of one or more pictures as one table of at most 256 entries.
std::vector<uint32_t> PaletteOf(const std::vector<const Picture*>& pictures) {
    std::vector<uint32_t> table;
    std::map<uint32_t, int> seen;
    for (const Picture* p : pictures)
        for (uint32_t c : p->Pixels)
            if (seen.emplace(c & 0xFFFFFFu, static_cast<int>(table.size())).second) table.push_back(c & 0xFFFFFFu);
    if (table.size() > 256) Fail("more than 256 colours in an 8-bit picture");
    return table;
}

// BITMAPINFOHEADER followed by its colour table (blue, green, red, 0).
void PutInfoHeader(std::vector<uint8_t>& b, int w, int h, int bits, const std::vector<uint32_t>& table) {
    int stride = ((w * bits + 31) / 32) * 4;
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    Put32(b, 0);                               // BI_RGB
    Put32(b, static_cast<uint32_t>(stride * h));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, static_cast<uint32_t>(table.size()));
    Put32(b, 0);
    for (uint32_t c : table) {
        b.push_back(static_cast<uint8_t>(BlueOf(c)));
        b.push_back(static_cast<uint8_t>(GreenOf(c)));
        b.push_back(static_cast<uint8_t>(RedOf(c)));
        b.push_back(0);
    }
}

// Rows bottom-up, each padded to four bytes, as device-independent bitmaps keep them.
void PutRows(std::vector<uint8_t>& b, const Picture& p, int bits, const std::vector<uint32_t>& table) {
    std::map<uint32_t, int> index;
    for (size_t i = 0; i < table.size(); ++i) index[table[i]] = static_cast<int>(i);
    int stride = ((p.Width * bits + 31) / 32) * 4;
    for (int y = p.Height - 1; y >= 0; --y) {
        size_t start = b.size();
        for (int x = 0; x < p.Width; ++x) {
            uint32_t c = p.Get(x, y) & 0xFFFFFFu;
            if (bits == 8) {
                b.push_back(static_cast<uint8_t>(index.at(c)));
            } else {
                b.push_back(static_cast<uint8_t>(BlueOf(c)));
                b.push_back(static_cast<uint8_t>(GreenOf(c)));
                b.push_back(static_cast<uint8_t>(RedOf(c)));
            }
        }
        while (b.size() - start < static_cast<size_t>(stride)) b.push_back(0);
    }
}

void WriteBitmap(const Picture& p, const std::string& name, int bits) {
    std::vector<uint32_t> table;
    if (bits == 8) table = PaletteOf({&p});
    std::vector<uint8_t> info;
    PutInfoHeader(info, p.Width, p.Height, bits, table);
    std::vector<uint8_t> rows;
    PutRows(rows, p, bits, table);
    std::vector<uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    Put32(file, static_cast<uint32_t>(14 + info.size() + rows.size()));
    Put32(file, 0);
    Put32(file, static_cast<uint32_t>(14 + info.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), rows.begin(), rows.end());
    Save(name + ".bmp", file);
}

// Cursors and icons go through the program's own writer, 24 bits deep, so
// that the mask colour becomes the transparent part exactly as in a file the
// user saves.
void WriteIconFile(const Picture& p, const std::string& file, bool cursor, int hotX, int hotY) {
    int index = FormatIndexOf(p.Width, 24);
    if (p.Width != p.Height || index < 0) Fail("icons and cursors are 16x16 or 32x32");
    std::string path = OutDir + "/" + file;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) Fail("cannot write " + path);
    StdioStream out(f);
    int status = Format(out, p.Pixels.data(), index, cursor ? 1 : 0,
                        static_cast<uint16_t>(hotX), static_cast<uint16_t>(hotY));
    if (std::fclose(f) != 0 || status != 0) Fail("cannot write " + path);
}

// An icon file of several images, each as the program's own writer makes
// a single-image 24-bit icon: the writer's directory entries gathered in
// one directory, their image data after it in the same order.
void WriteIconGroup(const std::vector<const Picture*>& pictures, const std::string& file) {
    std::vector<std::vector<uint8_t>> singles;
    for (const Picture* p : pictures) {
        int index = FormatIndexOf(p->Width, 24);
        if (p->Width != p->Height || index < 0) Fail("icons are 16x16 or 32x32");
        MemoryStream one;
        if (Format(one, p->Pixels.data(), index, 0, 0, 0) != 0) Fail("cannot make " + file);
        singles.push_back(one.data);
    }
    const size_t count = singles.size();
    std::vector<uint8_t> out = {0, 0, 1, 0, static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8)};
    uint32_t offset = static_cast<uint32_t>(6 + 16 * count);
    for (const std::vector<uint8_t>& one : singles) {
        out.insert(out.end(), one.begin() + 6, one.begin() + 18);   // entry up to its image offset
        for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(offset >> (8 * k)));
        offset += static_cast<uint32_t>(one.size() - 22);
    }
    for (const std::vector<uint8_t>& one : singles) out.insert(out.end(), one.begin() + 22, one.end());
    std::string path = OutDir + "/" + file;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0)
        Fail("cannot write " + path);
}

// An uncompressed 8-bit AVI: one video stream of DIB frames ("00db") sharing
// the palette in the stream format, with an index, which is what the
// animation control plays without a codec.
void WriteAvi(const std::string& name, int framesPerSecond, const std::vector<const Picture*>& frames) {
    const Picture& first = *frames.front();
    for (const Picture* f : frames)
        if (f->Width != first.Width || f->Height != first.Height) Fail("AVI frames differ in size");
    std::vector<uint32_t> table = PaletteOf(frames);
    const int w = first.Width, h = first.Height;
    const uint32_t frameBytes = static_cast<uint32_t>(((w * 8 + 31) / 32) * 4 * h);
    const uint32_t count = static_cast<uint32_t>(frames.size());

    std::vector<uint8_t> strf;
    PutInfoHeader(strf, w, h, 8, table);

    std::vector<uint8_t> b;
    PutFourCC(b, "RIFF"); Put32(b, 0); PutFourCC(b, "AVI ");
    PutFourCC(b, "LIST");
    size_t hdrlSize = b.size();
    Put32(b, 0);
    PutFourCC(b, "hdrl");
    PutFourCC(b, "avih"); Put32(b, 56);
    Put32(b, 1000000u / static_cast<uint32_t>(framesPerSecond));
    Put32(b, frameBytes * static_cast<uint32_t>(framesPerSecond));
    Put32(b, 0);
    Put32(b, 0x10);                            // AVIF_HASINDEX
    Put32(b, count);
    Put32(b, 0);
    Put32(b, 1);                               // one stream
    Put32(b, frameBytes);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    for (int i = 0; i < 4; ++i) Put32(b, 0);
    PutFourCC(b, "LIST");
    size_t strlSize = b.size();
    Put32(b, 0);
    PutFourCC(b, "strl");
    PutFourCC(b, "strh"); Put32(b, 56);
    PutFourCC(b, "vids"); PutFourCC(b, "DIB ");
    Put32(b, 0); Put16(b, 0); Put16(b, 0); Put32(b, 0);
    Put32(b, 1);                               // scale
    Put32(b, static_cast<uint32_t>(framesPerSecond));
    Put32(b, 0);
    Put32(b, count);
    Put32(b, frameBytes);
    Put32(b, 0xFFFFFFFFu);                     // default quality
    Put32(b, 0);
    Put16(b, 0); Put16(b, 0); Put16(b, static_cast<uint32_t>(w)); Put16(b, static_cast<uint32_t>(h));
    PutFourCC(b, "strf"); Put32(b, static_cast<uint32_t>(strf.size()));
    b.insert(b.end(), strf.begin(), strf.end());
    Patch32(b, strlSize, static_cast<uint32_t>(b.size() - strlSize - 4));
    Patch32(b, hdrlSize, static_cast<uint32_t>(b.size() - hdrlSize - 4));

    PutFourCC(b, "LIST");
    size_t moviSize = b.size();
    Put32(b, 0);
    size_t moviStart = b.size();
    PutFourCC(b, "movi");
    std::vector<uint32_t> offsets;
    for (const Picture* f : frames) {
        offsets.push_back(static_cast<uint32_t>(b.size() - moviStart));
        PutFourCC(b, "00db"); Put32(b, frameBytes);
        PutRows(b, *f, 8, table);
    }
    Patch32(b, moviSize, static_cast<uint32_t>(b.size() - moviSize - 4));
    PutFourCC(b, "idx1"); Put32(b, count * 16);
    for (uint32_t off : offsets) {
        PutFourCC(b, "00db");
        Put32(b, 0x10);                        // AVIIF_KEYFRAME: every frame stands alone
        Put32(b, off);
        Put32(b, frameBytes);
    }
    Patch32(b, 4, static_cast<uint32_t>(b.size() - 8));
    Save(name + ".avi", b);
}

// ---- The source language -----------------------------------------------

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') { ++i; continue; }
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) Fail("unterminated string");
            out.push_back(line.substr(i, end - i + 1));
            i = end + 1;
            continue;
        }
        size_t end = line.find_first_of(" \t\r", i);
        if (end == std::string::npos) end = line.size();
        out.push_back(line.substr(i, end - i));
        i = end;
    }
    return out;
}

std::string Unquote(const std::string& s) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') Fail("expected a quoted string: " + s);
    return s.substr(1, s.size() - 2);
}

void Need(const std::vector<std::string>& t, size_t n) {
    if (t.size() < n) Fail("too few arguments to " + t[0]);
}

// ---- The commands of a picture source: one function each ---------------

// What a source file's commands work on.
struct Source {
    std::vector<std::string> t;     // the command's words
    Picture* current = nullptr;     // the picture being drawn
    enum { Commands, PixelRows, GlyphRows } mode = Commands;
    int rowX = 0, rowY = 0;         // where the next pixel row goes
    Glyph* glyph = nullptr;         // the glyph whose rows follow
};

Picture& Drawing(Source& s) {
    if (!s.current) Fail(s.t[0] + " outside a picture");
    return *s.current;
}

void CmdColour(Source& s) { Colours[s.t[1]] = ToColour(s.t[2]); }

void CmdKey(Source& s) {
    if (s.t[1].size() != 1) Fail("a key is one character");
    Keys[s.t[1][0]] = ToColour(s.t[2]);
}

void CmdGlyph(Source& s) {
    const char c = s.t[1] == "quote" ? '\'' : s.t[1][0];
    s.glyph = &Font[c];
    *s.glyph = Glyph();
    s.mode = Source::GlyphRows;
}

void CmdPicture(Source& s) {
    Pictures[s.t[1]] = Blank(ToInt(s.t[2]), ToInt(s.t[3]), ToColour(s.t[4]));
    s.current = &Pictures[s.t[1]];
}

void CmdPixels(Source& s) {
    Drawing(s);
    s.rowX = ToInt(s.t[1]);
    s.rowY = ToInt(s.t[2]);
    s.mode = Source::PixelRows;
}

// rect, box, ring, disc X Y W H COLOUR
void CmdArea(Source& s) {
    Picture& p = Drawing(s);
    const std::string& cmd = s.t[0];
    int x = ToInt(s.t[1]), y = ToInt(s.t[2]), w = ToInt(s.t[3]), h = ToInt(s.t[4]);
    uint32_t c = ToColour(s.t[5]);
    if (cmd == "rect") {
        for (int yy = y; yy < y + h; ++yy)
            for (int xx = x; xx < x + w; ++xx) p.Put(xx, yy, c);
    } else if (cmd == "box") {
        Line(p, x, y, x + w - 1, y, c);
        Line(p, x, y + h - 1, x + w - 1, y + h - 1, c);
        Line(p, x, y, x, y + h - 1, c);
        Line(p, x + w - 1, y, x + w - 1, y + h - 1, c);
    } else {
        Ellipse(p, x, y, w, h, c, cmd == "disc");
    }
}

// line X0 Y0 X1 Y1 COLOUR [PEN]: PEN is the width of a square pen
void CmdLine(Source& s) {
    const int pen = s.t.size() > 6 ? ToInt(s.t[6]) : 1;
    Picture& p = Drawing(s);
    for (int oy = -(pen - 1) / 2; oy <= pen / 2; ++oy)
        for (int ox = -(pen - 1) / 2; ox <= pen / 2; ++ox)
            Line(p, ToInt(s.t[1]) + ox, ToInt(s.t[2]) + oy, ToInt(s.t[3]) + ox, ToInt(s.t[4]) + oy, ToColour(s.t[5]));
}

// outline COLOUR: background pixels touching a shape (also diagonally)
// take COLOUR, so cursors read on any colour
void CmdOutline(Source& s) {
    Picture& p = Drawing(s);
    const Picture before = p;
    const uint32_t c = ToColour(s.t[1]);
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            if (before.Get(x, y) != before.Background) continue;
            bool touches = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < p.Width && ny < p.Height && before.Get(nx, ny) != before.Background)
                        touches = true;
                }
            if (touches) p.At(x, y) = c;
        }
}

void CmdDot(Source& s) { Drawing(s).Put(ToInt(s.t[1]), ToInt(s.t[2]), ToColour(s.t[3])); }

void CmdFlood(Source& s) { Flood(Drawing(s), ToInt(s.t[1]), ToInt(s.t[2]), ToColour(s.t[3])); }

// hgradient, vgradient X Y W H FROM TO: rows or columns blended from one
// colour to another
void CmdGradient(Source& s) {
    Picture& p = Drawing(s);
    const bool across = s.t[0] == "hgradient";
    int x = ToInt(s.t[1]), y = ToInt(s.t[2]), w = ToInt(s.t[3]), h = ToInt(s.t[4]);
    uint32_t a = ToColour(s.t[5]), z = ToColour(s.t[6]);
    int span = across ? w : h;
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            int k = across ? xx : yy;
            auto mix = [&](unsigned ca, unsigned cz) { return span > 1 ? (ca * (span - 1 - k) + cz * k) / (span - 1) : ca; };
            p.Put(x + xx, y + yy, MakeColour(mix(RedOf(a), RedOf(z)), mix(GreenOf(a), GreenOf(z)), mix(BlueOf(a), BlueOf(z))));
        }
}

// text, ctext X Y COLOUR SCALE "words"; ctext centres the words on X
void CmdText(Source& s) {
    const int scale = ToInt(s.t[4]);
    const std::string words = Unquote(s.t[5]);
    int x = ToInt(s.t[1]);
    if (s.t[0] == "ctext") x -= TextWidth(scale, words) / 2;
    Text(Drawing(s), x, ToInt(s.t[2]), ToColour(s.t[3]), scale, words);
}

void CmdStamp(Source& s) {
    Picture src = Find(s.t[1]);
    Stamp(Drawing(s), src, ToInt(s.t[2]), ToInt(s.t[3]));
}

// derive NEW FROM op... : ops rot90 rot180 rot270 flipx flipy, "shift DX
// DY", "recolour A B", "background C" (recolours the old background and
// makes C the new one), "invert"
void CmdDerive(Source& s) {
    const std::vector<std::string>& t = s.t;
    Picture p = Find(t[2]);
    for (size_t i = 3; i < t.size(); ++i) {
        if (t[i] == "shift") {
            Need(t, i + 3);
            p = Shift(p, ToInt(t[i + 1]), ToInt(t[i + 2]));
            i += 2;
        } else if (t[i] == "recolour" || t[i] == "background") {
            const bool bg = t[i] == "background";
            Need(t, i + (bg ? 2 : 3));
            const uint32_t from = bg ? p.Background : ToColour(t[i + 1]);
            const uint32_t to = ToColour(t[i + (bg ? 1 : 2)]);
            for (uint32_t& c : p.Pixels)
                if (c == from) c = to;
            if (bg || p.Background == from) p.Background = to;
            i += bg ? 1 : 2;
        } else if (t[i] == "invert") {
            for (uint32_t& c : p.Pixels) c = (~c) & 0xFFFFFFu;
            p.Background = (~p.Background) & 0xFFFFFFu;
        } else {
            p = Transform(p, t[i]);
        }
    }
    Pictures[t[1]] = p;
    s.current = &Pictures[t[1]];
}

// strip NEW A B C... : pictures side by side, the first one's height
void CmdStrip(Source& s) {
    std::vector<Picture*> parts;
    int w = 0;
    for (size_t i = 2; i < s.t.size(); ++i) {
        parts.push_back(&Find(s.t[i]));
        w += parts.back()->Width;
    }
    Picture p = Blank(w, parts[0]->Height, parts[0]->Background);
    int x = 0;
    for (Picture* part : parts) {
        if (part->Height != p.Height) Fail("strip parts differ in height");
        for (int yy = 0; yy < part->Height; ++yy)
            for (int xx = 0; xx < part->Width; ++xx) p.At(x + xx, yy) = part->Get(xx, yy);
        x += part->Width;
    }
    Pictures[s.t[1]] = p;
    s.current = &Pictures[s.t[1]];
}

void CmdBitmap(Source& s) { WriteBitmap(Find(s.t[1]), s.t[1], s.t[0] == "bmp8" ? 8 : 24); }

void CmdIcon(Source& s) { WriteIconFile(Find(s.t[1]), s.t[1] + ".ico", false, 0, 0); }

// icons FILE PICTURE...: one icon file holding every picture
void CmdIcons(Source& s) {
    std::vector<const Picture*> parts;
    for (size_t i = 2; i < s.t.size(); ++i) parts.push_back(&Find(s.t[i]));
    WriteIconGroup(parts, s.t[1] + ".ico");
}

// cur NAME X Y: the picture as a cursor with that hot spot
void CmdCursor(Source& s) {
    Picture& p = Find(s.t[1]);
    const int hx = ToInt(s.t[2]), hy = ToInt(s.t[3]);
    if (hx < 0 || hy < 0 || hx >= p.Width || hy >= p.Height) Fail("hot spot outside the cursor");
    WriteIconFile(p, s.t[1] + ".cur", true, hx, hy);
}

// avi NAME FRAMES-PER-SECOND FRAME...
void CmdAvi(Source& s) {
    std::vector<const Picture*> frames;
    for (size_t i = 3; i < s.t.size(); ++i) frames.push_back(&Find(s.t[i]));
    WriteAvi(s.t[1], ToInt(s.t[2]), frames);
}

// Each command with the fewest words it takes, its own name included.
struct CommandEntry { size_t Words; void (*Run)(Source&); };
const std::map<std::string, CommandEntry> CommandTable = {
    {"colour", {3, CmdColour}},   {"key", {3, CmdKey}},         {"glyph", {2, CmdGlyph}},
    {"picture", {5, CmdPicture}}, {"pixels", {3, CmdPixels}},   {"rect", {6, CmdArea}},
    {"box", {6, CmdArea}},        {"ring", {6, CmdArea}},       {"disc", {6, CmdArea}},
    {"line", {6, CmdLine}},       {"outline", {2, CmdOutline}}, {"dot", {4, CmdDot}},
    {"flood", {4, CmdFlood}},     {"hgradient", {7, CmdGradient}}, {"vgradient", {7, CmdGradient}},
    {"text", {6, CmdText}},       {"ctext", {6, CmdText}},      {"stamp", {4, CmdStamp}},
    {"derive", {3, CmdDerive}},   {"strip", {3, CmdStrip}},     {"bmp8", {2, CmdBitmap}},
    {"bmp24", {2, CmdBitmap}},    {"ico", {2, CmdIcon}},        {"icons", {3, CmdIcons}},
    {"cur", {4, CmdCursor}},      {"avi", {4, CmdAvi}},
};

void RunFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) { Where = path; Fail("cannot read"); }
    Keys.clear();
    Source s;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        Where = path + ":" + std::to_string(number);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        s.t = Tokens(line);
        // Pixel rows and glyph rows run until "end".
        if (s.mode != Source::Commands) {
            if (s.t.size() == 1 && s.t[0] == "end") { s.mode = Source::Commands; continue; }
            const std::string row = s.t.empty() ? std::string() : s.t[0];
            if (s.mode == Source::GlyphRows) {
                s.glyph->Rows.push_back(row);
                if (static_cast<int>(row.size()) > s.glyph->Width) s.glyph->Width = static_cast<int>(row.size());
                continue;
            }
            for (size_t k = 0; k < row.size(); ++k) {
                if (row[k] == '.') continue;   // '.' leaves what is underneath
                auto key = Keys.find(row[k]);
                if (key == Keys.end()) Fail(std::string("no key for '") + row[k] + "'");
                s.current->Put(s.rowX + static_cast<int>(k), s.rowY, key->second);
            }
            ++s.rowY;
            continue;
        }
        if (s.t.empty() || s.t[0][0] == '#') continue;
        auto command = CommandTable.find(s.t[0]);
        if (command == CommandTable.end()) Fail("unknown command " + s.t[0]);
        Need(s.t, command->second.Words);
        command->second.Run(s);
    }
    if (s.mode != Source::Commands) Fail("missing end");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: resgen OUTDIR FILE.txt...\n");
        return 2;
    }
    OutDir = argv[1];
    for (int i = 2; i < argc; ++i) RunFile(argv[i]);
    return 0;
}
