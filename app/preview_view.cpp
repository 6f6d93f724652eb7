#include "app/preview_view.h"

#include <GL/glu.h>

#include <cmath>

#include <wx/log.h>
#include <wx/mstream.h>

#include "platform/wide_string.h"
#include "resources/logo.h"

const std::array<std::array<unsigned char, 3>, 10> ModelNodePalette{{
    {255, 117, 25},
    {255, 209, 25},
    {209, 255, 25},
    {117, 255, 25},
    {25, 255, 25},
    {25, 255, 209},
    {25, 209, 255},
    {25, 117, 255},
    {25, 25, 255},
    {117, 25, 255},
}};

namespace {

// The six faces of a box, each a quad of corner numbers. Corners 0-3 run around the
// bottom, 4-7 around the top above them.
constexpr int kBoxFaces[6][4] = {{0, 4, 5, 1}, {1, 5, 6, 2}, {2, 6, 7, 3},
                                 {3, 7, 4, 0}, {0, 1, 2, 3}, {7, 6, 5, 4}};

void SetColor(std::uint32_t colorref) {
    glColor3ub(static_cast<GLubyte>(colorref & 0xFF), static_cast<GLubyte>((colorref >> 8) & 0xFF),
               static_cast<GLubyte>((colorref >> 16) & 0xFF));
}

}  // namespace

int LoadPngResource(const unsigned char* bytes, std::size_t size, wxImage& image) {
    if (bytes == nullptr || size == 0) {
        return kPngResourceNotFound;
    }
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
    wxImage decoded;
    {
        // A broken image is reported through the result, not a log dialog.
        wxLogNull quiet;
        wxMemoryInputStream stream(bytes, size);
        if (!decoded.LoadFile(stream, wxBITMAP_TYPE_PNG) || !decoded.IsOk()) {
            return kPngNotDecoded;
        }
    }
    if (decoded.HasAlpha()) {
        unsigned char* rgb = decoded.GetData();
        const unsigned char* alpha = decoded.GetAlpha();
        const long pixels = static_cast<long>(decoded.GetWidth()) * decoded.GetHeight();
        for (long i = 0; i < pixels; ++i) {
            const unsigned a = alpha[i];
            if (a == 255) {
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                rgb[3 * i + c] = static_cast<unsigned char>(rgb[3 * i + c] * a / 255);
            }
        }
    }
    image = decoded;
    return kPngLoaded;
}

std::shared_ptr<const pkg::Group> PreviewRootOf(
    const std::shared_ptr<const pkg::DetailedModel>& model) {
    if (!model) {
        return nullptr;
    }
    return std::shared_ptr<const pkg::Group>(model, &model->root);
}

PreviewView::PreviewView(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                         const wxSize& size)
    : OpenGLView(parent, id, pos, size) {}

void PreviewView::DrawScene() {
    DrawBackground();

    if (ModelRoot) {
        // Keep the tree alive for the whole frame even if the field is replaced meanwhile.
        const std::shared_ptr<const pkg::Group> root = ModelRoot;
        ModelDrawContext context;
        for (const std::string& key : VisibleComponentKeys) {
            context.keys.push_back(platform::Utf8ToWide(key));
        }
        glDepthMask(GL_TRUE);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        const GLfloat ambient[] = {0.4f, 0.4f, 0.4f, 1.0f};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        // Push the filled faces back so that the black edges lie cleanly on them.
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_LIGHTING);
        glEnable(GL_NORMALIZE);
        glEnable(GL_COLOR_MATERIAL);
        DrawModelNode(context, *root);

        context.wireframe = true;
        // The offset is for the filled faces only. Mesa applies it to the edges of faces
        // drawn as lines too, and a face seen edge-on (every side face from the top) has
        // an unbounded depth slope: its edges would get any depth and show through the
        // solids in front of them.
        glDisable(GL_POLYGON_OFFSET_FILL);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        DrawModelNode(context, *root);
    }

    if (!logo_attempted_) {
        logo_attempted_ = true;
        LoadLogo();
    }
    DrawLogo();
}

void PreviewView::DrawBackground() {
    std::uint32_t top = 0xFFFFFF;
    std::uint32_t bottom = 0xFFFFFF;
    if (BackgroundType == 0) {
        top = bottom = 0x000000;
    } else if (BackgroundType == 2) {
        top = TopColor;
        bottom = BottomColor;
    }
    const wxSize size = FramebufferSize();
    const double left = 0.0;
    const double right = size.x;
    const double upper = 0.0;
    const double lower = size.y;

    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(left, right, lower, upper);  // window y grows downwards
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // Smooth shading between the two colours gives the vertical gradation.
    glBegin(GL_QUADS);
    SetColor(bottom);
    glVertex2d(left, lower);
    glVertex2d(right, lower);
    SetColor(top);
    glVertex2d(right, upper);
    glVertex2d(left, upper);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void PreviewView::DrawModelNode(ModelDrawContext& context, const pkg::Group& group) {
    bool visible = false;
    for (const std::wstring& key : context.keys) {
        if (group.name.compare(0, key.size(), key) == 0) {
            visible = true;
            break;
        }
    }
    if (visible) {
        for (const pkg::NamedCuboid& cuboid : group.cuboids) {
            DrawCuboid(context, cuboid.box);
        }
        for (const pkg::NamedPrism& prism : group.prisms) {
            DrawPrism(context, prism.prism);
        }
    }
    // Every group visited takes the next colour, drawn or not, so the colours stay put
    // when components are ticked or unticked.
    ++context.node_index;
    for (const std::shared_ptr<pkg::Group>& child : group.children) {
        if (const std::shared_ptr<const pkg::Group> held = child) {
            DrawModelNode(context, *held);
        }
    }
}

void PreviewView::DrawCuboid(const ModelDrawContext& context, const pkg::Cuboid& c) {
    const double x1 = c.x + c.dx;
    const double y1 = c.y + c.dy;
    const double z1 = c.z + c.dz;
    DrawBox(context, {{{c.x, c.y, c.z},
                       {x1, c.y, c.z},
                       {x1, y1, c.z},
                       {c.x, y1, c.z},
                       {c.x, c.y, z1},
                       {x1, c.y, z1},
                       {x1, y1, z1},
                       {c.x, y1, z1}}});
}

void PreviewView::DrawPrism(const ModelDrawContext& context, const pkg::Prism& p) {
    // Only x and y of the stored corners count; the solid spans base_z to base_z + thickness.
    std::array<Vec3, 8> corners;
    for (int i = 0; i < 4; ++i) {
        corners[i] = {p.corner[i].x, p.corner[i].y, p.base_z};
        corners[4 + i] = {p.corner[i].x, p.corner[i].y, p.base_z + p.thickness};
    }
    DrawBox(context, corners);
}

void PreviewView::DrawBox(const ModelDrawContext& context, const std::array<Vec3, 8>& corners) {
    if (context.wireframe) {
        glColor3ub(0, 0, 0);
    } else {
        const auto& rgb = ModelNodePalette[context.node_index % ModelNodePalette.size()];
        glColor3ub(rgb[0], rgb[1], rgb[2]);
    }
    glBegin(GL_QUADS);
    for (const auto& face : kBoxFaces) {
        const Vec3& a = corners[face[0]];
        const Vec3& b = corners[face[1]];
        const Vec3& c = corners[face[2]];
        const Vec3 ca{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const Vec3 ba{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        Vec3 n{ca[1] * ba[2] - ca[2] * ba[1], ca[2] * ba[0] - ca[0] * ba[2],
               ca[0] * ba[1] - ca[1] * ba[0]};
        // A face without area keeps its zero normal.
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0.0) {
            n = {n[0] / length, n[1] / length, n[2] / length};
        }
        glNormal3d(n[0], n[1], n[2]);
        for (int corner : face) {
            glVertex3d(corners[corner][0], corners[corner][1], corners[corner][2]);
        }
    }
    glEnd();
}

void PreviewView::LoadLogo() {
    if (LoadPngResource(resources::kLogoPng, resources::kLogoPngSize, logo_image_) !=
            kPngLoaded ||
        !logo_image_.IsOk()) {
        return;
    }
    const int width = logo_image_.GetWidth();
    const int height = logo_image_.GetHeight();
    const unsigned char* rgb = logo_image_.GetData();
    const unsigned char* alpha = logo_image_.HasAlpha() ? logo_image_.GetAlpha() : nullptr;
    // Rows from top to bottom, as RGBA bytes.
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size() / 4; ++i) {
        pixels[4 * i + 0] = rgb[3 * i + 0];
        pixels[4 * i + 1] = rgb[3 * i + 1];
        pixels[4 * i + 2] = rgb[3 * i + 2];
        pixels[4 * i + 3] = alpha ? alpha[i] : 255;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenTextures(1, &logo_texture_);
    glBindTexture(GL_TEXTURE_2D, logo_texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

void PreviewView::DrawLogo() {
    if (logo_texture_ == 0) {
        return;
    }
    const wxSize size = FramebufferSize();
    const double right = size.x;
    const double w = logo_image_.GetWidth();
    const double h = logo_image_.GetHeight();

    glPolygonMode(GL_FRONT, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glViewport(0, 0, size.x, size.y);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, size.x, size.y, 0.0);
    glColor3ub(255, 255, 255);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, logo_texture_);
    // At its own pixel size in the top-right corner, upright.
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex2d(right - w, 0.0);
    glTexCoord2d(0.0, 1.0);
    glVertex2d(right - w, h);
    glTexCoord2d(1.0, 1.0);
    glVertex2d(right, h);
    glTexCoord2d(1.0, 0.0);
    glVertex2d(right, 0.0);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
