// Build tool: draws the help pictures into FOLDER (the program's "qvx/help/"): for each
// package type a sub-folder, and the same pictures under "<folder>_ja" for the Japanese
// interface. The drawings are plain schematic views made with wxImage.
#include <cstdio>
#include <string>
#include <vector>

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/imagpng.h>
#include <wx/init.h>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Colour {
    unsigned char r, g, b;
};
const Colour kMold{70, 70, 80};
const Colour kLead{190, 190, 200};
const Colour kHighlight{255, 140, 0};
const Colour kDiePad{90, 160, 90};
const Colour kDie{200, 60, 60};
const Colour kBoard{40, 120, 60};
const Colour kBall{210, 210, 160};

void Fill(wxImage& image, int x, int y, int w, int h, Colour c) {
    for (int j = std::max(0, y); j < std::min(kHeight, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(kWidth, x + w); ++i) image.SetRGB(i, j, c.r, c.g, c.b);
}

void Disc(wxImage& image, int cx, int cy, int r, Colour c) {
    for (int j = cy - r; j <= cy + r; ++j)
        for (int i = cx - r; i <= cx + r; ++i)
            if ((i - cx) * (i - cx) + (j - cy) * (j - cy) <= r * r && i >= 0 && j >= 0 &&
                i < kWidth && j < kHeight)
                image.SetRGB(i, j, c.r, c.g, c.b);
}

// A leaded package seen from above; `part` picks what is highlighted.
void LeadFrame(wxImage& image, const std::string& part, bool fourSides) {
    const Colour lead = part == "lead" ? kHighlight : kLead;
    for (int k = 0; k < 8; ++k) {
        Fill(image, 100 + k * 16, 40, 8, 30, lead);
        Fill(image, 100 + k * 16, 170, 8, 30, lead);
        if (fourSides) {
            Fill(image, 60, 70 + k * 13, 40, 6, lead);
            Fill(image, 220, 70 + k * 13, 40, 6, lead);
        }
    }
    Fill(image, 95, 65, 130, 110, part == "mold" ? kHighlight : kMold);
    if (part == "die+diepad") {
        Fill(image, 125, 90, 70, 60, kDiePad);
        Fill(image, 140, 102, 40, 36, kDie);
    }
}

void BallGrid(wxImage& image, const std::string& part) {
    Fill(image, 40, 150, 240, 24, part == "board" || part == "board-detail" ? kHighlight : kBoard);
    if (part == "board-detail") {
        for (int k = 0; k < 4; ++k) Fill(image, 40, 154 + k * 5, 240, 2, kLead);
    }
    for (int k = 0; k < 10; ++k) Disc(image, 58 + k * 23, 184, 8, part == "solder" ? kHighlight : kBall);
    Fill(image, 70, 90, 180, 60, part == "mold" ? kHighlight : kMold);
    if (part == "die+diepad") Fill(image, 120, 130, 80, 20, kDie);
}

void PowerDevice(wxImage& image, const std::string& part) {
    Fill(image, 110, 20, 100, 40, kLead);  // tab
    Disc(image, 160, 40, 10, Colour{255, 255, 255});
    Fill(image, 100, 60, 120, 100, kMold);
    for (int k = 0; k < 3; ++k) Fill(image, 118 + k * 36, 160, 12, 60, kLead);
    if (part == "inside") {
        Fill(image, 115, 70, 90, 70, kDiePad);
        Fill(image, 140, 85, 40, 36, kDie);
    }
}

bool Draw(const std::string& folder, const std::string& prefix, const std::string& part,
          bool japanese, const std::string& base) {
    wxImage image(kWidth, kHeight);
    Fill(image, 0, 0, kWidth, kHeight, Colour{255, 255, 255});
    if (prefix == "qfp" || prefix == "sop") LeadFrame(image, part, prefix == "qfp");
    else if (prefix == "pbga" || prefix == "fcbga") BallGrid(image, part);
    else PowerDevice(image, part);
    if (japanese) Fill(image, 0, kHeight - 4, kWidth, 4, kHighlight);
    const std::string dir = base + "/" + folder + (japanese ? "_ja" : "");
    wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return image.SaveFile(dir + "/" + prefix + "_" + part + ".png", wxBITMAP_TYPE_PNG);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    wxInitializer initializer;
    wxImage::AddHandler(new wxPNGHandler);
    const std::vector<std::string> leadFrame = {"all", "mold", "lead", "die+diepad"};
    const std::vector<std::string> board = {"all",   "mold",         "die+diepad",
                                            "board", "board-detail", "solder"};
    const std::vector<std::string> power = {"outline", "inside"};
    struct Type {
        const char* folder;
        const char* prefix;
        const std::vector<std::string>* parts;
    };
    const Type types[] = {{"qfp", "qfp", &leadFrame},      {"sop", "sop", &leadFrame},
                          {"pbga", "pbga", &board},        {"fcbga", "fcbga", &board},
                          {"to220", "to-220", &power},     {"to247", "to-247", &power},
                          {"to263", "to-263", &power},     {"to252", "to-252", &power},
                          {"sot89", "sot-89", &power},     {"sot223", "sot-223", &power}};
    for (bool japanese : {false, true}) {
        for (const Type& type : types) {
            for (const std::string& part : *type.parts) {
                if (!Draw(type.folder, type.prefix, part, japanese, argv[1])) {
                    std::fprintf(stderr, "cannot write the help picture %s_%s\n", type.prefix,
                                 part.c_str());
                    return 1;
                }
            }
        }
    }
    return 0;
}
