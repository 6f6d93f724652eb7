#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <wx/image.h>

#include "app/opengl_view.h"
#include "models/detailed_model.h"
#include "models/model_tree.h"

// Ten colours for the groups of the model, by the order in which the groups are visited.
extern const std::array<std::array<unsigned char, 3>, 10> ModelNodePalette;

// LoadPngResource results.
constexpr int kPngLoaded = 0;
constexpr int kPngResourceNotFound = 1;
constexpr int kPngNotDecoded = 5;

// Decodes PNG bytes into `image`; with an alpha channel the colours are premultiplied by
// it (alpha 0 makes the pixel all zero). kPngResourceNotFound when there are no bytes,
// kPngNotDecoded when they are not a PNG image; `image` is then left as it was.
int LoadPngResource(const unsigned char* bytes, std::size_t size, wxImage& image);

// The root group of `model` as the preview holds it: sharing the model's ownership.
// Empty for no model.
std::shared_ptr<const pkg::Group> PreviewRootOf(
    const std::shared_ptr<const pkg::DetailedModel>& model);

// The main window's 3-D preview of the open part: a background, the detailed model's
// groups whose names begin with a visible component key as lit solids with black edges,
// and the logo in the top-right corner.
class PreviewView : public OpenGLView {
public:
    explicit PreviewView(wxWindow* parent, wxWindowID id = wxID_ANY,
                         const wxPoint& pos = wxDefaultPosition,
                         const wxSize& size = wxDefaultSize);

    // Set by the main frame; the caller refreshes the window. The root shares the
    // ownership of the model that holds it, so a part closed meanwhile is never drawn
    // from freed memory.
    std::shared_ptr<const pkg::Group> ModelRoot;
    std::vector<std::string> VisibleComponentKeys;
    int BackgroundType = 0;                  // 0 black, 2 gradation, anything else white
    std::uint32_t TopColor = 0xFFFFFF;       // 0x00BBGGRR
    std::uint32_t BottomColor = 0xFFFFFF;

protected:
    void DrawScene() override;

private:
    struct ModelDrawContext {
        std::vector<std::wstring> keys;
        unsigned node_index = 0;
        bool wireframe = false;
    };

    void DrawBackground();
    void DrawModelNode(ModelDrawContext& context, const pkg::Group& group);
    void DrawCuboid(const ModelDrawContext& context, const pkg::Cuboid& cuboid);
    void DrawPrism(const ModelDrawContext& context, const pkg::Prism& prism);
    void DrawBox(const ModelDrawContext& context, const std::array<Vec3, 8>& corners);
    void LoadLogo();
    void DrawLogo();

    wxImage logo_image_;
    GLuint logo_texture_ = 0;
    // A texture belongs to its context, so each view loads the logo once, on its first
    // frame; a failed load is not retried.
    bool logo_attempted_ = false;
};
